// A drawing surface that draws nothing and writes down every call with its arguments, one line
// each, for tests (golden drawings) and benchmarks. Palette objects are named by their slot.
#pragma once

#include "CFixedDC.h"

#include <string>
#include <vector>

class CDrawTools;

class CRecordingDC : public CFixedDC {
public:
    // A screen surface: dpi in both directions and the client size of its window.
    static CRecordingDC Screen(int nDpi, int cx, int cy);
    // A printer surface: dpi in both directions and the printable page in dots.
    static CRecordingDC Printer(int nDpi, int cx, int cy);

    CRecordingDC(int nDpiX, int nDpiY, int nHorzRes, int nVertRes, BOOL bPrinting,
                 const RECT* pClient);

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

    // Pens, brushes and fonts of this palette are logged by slot ("SelectPen 8"), others by
    // their description; nullptr (the default) names none by slot.
    void SetPalette(const CDrawTools* pPalette) { m_pPalette = pPalette; }

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
    std::string PenName(const CPen* p) const;
    std::string BrushName(const CBrush* b) const;
    std::string FontName(const CFont* f) const;

    const CDrawTools* m_pPalette = nullptr;
};
