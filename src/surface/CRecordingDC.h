// A drawing surface that draws nothing and writes down every call with its arguments, one line
// each, for tests (golden drawings) and benchmarks. Objects it is handed names for are logged by
// name (a palette's slot), others by their attributes.
#pragma once

#include "CFixedDC.h"
#include "CSurfaceNames.h"

#include <string>
#include <vector>

class CRecordingDC : public CFixedDC {
public:
    // A screen surface: dpi in both directions and the client size of its window.
    static CRecordingDC Screen(int nDpi, int cx, int cy, CSurfaceNames names = {});
    // A printer surface: dpi in both directions and the printable page in dots.
    static CRecordingDC Printer(int nDpi, int cx, int cy, CSurfaceNames names = {});

    CRecordingDC(int nDpiX, int nDpiY, int nHorzRes, int nVertRes, BOOL bPrinting,
                 const RECT* pClient, CSurfaceNames names = {});

    CPen* SelectObject(CPen* pPen) override;
    CBrush* SelectObject(CBrush* pBrush) override;
    CFont* SelectObject(CFont* pFont) override;
    POINT MoveTo(int x, int y) override;
    BOOL Rectangle(int x1, int y1, int x2, int y2) override;
    BOOL TextOut(int x, int y, const char* lpszString, int nCount) override;
    BOOL FillRgn(CRgn* pRgn, CBrush* pBrush) override;
    UINT SetTextAlign(UINT nFlags) override;
    int SetBkMode(int nBkMode) override;
    int SetROP2(int nDrawMode) override;

    // All lines, each ending in '\n'.
    std::string Text() const;
    // Only the lines that start with the given word ("TextOut", "Rectangle", ...).
    std::vector<std::string> Lines(const std::string& word) const;

    std::vector<std::string> m_log;
    // With false, calls are only counted in m_nCalls (for benchmarks).
    bool m_bRecord = true;
    long m_nCalls = 0;

protected:
    void DrawLine(POINT from, POINT to) override;

private:
    void Add(std::string line);

    CSurfaceNames m_names;
};
