// The drawing surface that all chart and 3D drawing goes to: the window, a printer page, a
// preview page, an SVG document or a recording. Implementations draw; this base keeps the
// selected objects, the current position, the modes and the device-to-logical mapping.
#pragma once

#include "CBrush.h"
#include "CFont.h"
#include "CPen.h"
#include "CRgn.h"
#include "CWnd.h"
#include "WinDef.h"

class CDC {
public:
    CDC() = default;
    CDC(const CDC&) = delete;
    CDC& operator=(const CDC&) = delete;
    virtual ~CDC() = default;

    // Device capabilities: LOGPIXELSX/Y (dots per inch), HORZRES/VERTRES (page in dots).
    virtual int GetDeviceCaps(int nIndex) const = 0;
    // The window that owns the output device, or nullptr for a printer.
    virtual CWnd* GetWindow() const { return nullptr; }

    // Logical = device - viewport origin (the scroll view moves the origin by minus the scroll
    // position).
    POINT SetViewportOrg(int x, int y);
    POINT GetViewportOrg() const { return m_ptViewportOrg; }
    BOOL DPtoLP(POINT* lpPoints, int nCount = 1) const;
    BOOL LPtoDP(POINT* lpPoints, int nCount = 1) const;

    // The logical rectangle that can show on the device when it shows only part of the page (a
    // window scrolled over a page zoomed 16 times, one band of a large image): drawing may leave
    // out what lies wholly outside it. nullptr, the default, shows the whole page, as an SVG
    // document or a recording does.
    void SetClipBox(const RECT* pRect);
    // False when the whole page shows.
    bool GetClipBox(RECT* pRect) const;

    // Each returns the previously selected object of that kind (nullptr if none).
    virtual CPen* SelectObject(CPen* pPen);
    virtual CBrush* SelectObject(CBrush* pBrush);
    virtual CFont* SelectObject(CFont* pFont);
    CPen* GetCurrentPen() const { return m_pPen; }
    CBrush* GetCurrentBrush() const { return m_pBrush; }
    CFont* GetCurrentFont() const { return m_pFont; }

    // Consecutive LineTo calls with one pen form a polyline; implementations may batch them.
    virtual POINT MoveTo(int x, int y);
    virtual BOOL LineTo(int x, int y);
    POINT GetCurrentPosition() const { return m_ptCurrent; }

    virtual BOOL Rectangle(int x1, int y1, int x2, int y2) = 0;
    virtual BOOL TextOut(int x, int y, const char* lpszString, int nCount) = 0;
    virtual BOOL FillRgn(CRgn* pRgn, CBrush* pBrush) = 0;

    virtual UINT SetTextAlign(UINT nFlags);
    UINT GetTextAlign() const { return m_nTextAlign; }
    virtual int SetBkMode(int nBkMode);
    int GetBkMode() const { return m_nBkMode; }
    virtual int SetROP2(int nDrawMode);
    int GetROP2() const { return m_nROP2; }

    // Nonzero for a printer or print-preview surface.
    BOOL m_bPrinting = 0;

protected:
    // Called by LineTo with the segment's logical end points, after the position moved.
    virtual void DrawLine(POINT from, POINT to) = 0;

    CPen* m_pPen = nullptr;
    CBrush* m_pBrush = nullptr;
    CFont* m_pFont = nullptr;
    POINT m_ptCurrent;
    POINT m_ptViewportOrg;
    bool m_bClipBox = false;
    RECT m_rcClipBox;
    UINT m_nTextAlign = TA_LEFT | TA_TOP;
    int m_nBkMode = OPAQUE;
    int m_nROP2 = R2_COPYPEN;
};
