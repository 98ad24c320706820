// A drawing surface that writes a standalone SVG document in logical units; used by
// vorlan-cli render and the tests. Each run of MoveTo and LineTo becomes one polyline.
#pragma once

#include "CFixedDC.h"

#include <string>

class CSvgDC : public CFixedDC {
public:
    // A screen surface: dpi in both directions and the client size of its window.
    static CSvgDC Screen(int nDpi, int cx, int cy);
    // A printer surface: dpi in both directions and the printable page in dots.
    static CSvgDC Printer(int nDpi, int cx, int cy);

    // pClient is the client rectangle of the window that owns the surface; nullptr for a
    // printer page.
    CSvgDC(int nDpiX, int nDpiY, int nHorzRes, int nVertRes, BOOL bPrinting, const RECT* pClient);

    CPen* SelectObject(CPen* pPen) override;
    using CDC::SelectObject;
    POINT MoveTo(int x, int y) override;
    BOOL Rectangle(int x1, int y1, int x2, int y2) override;
    BOOL TextOut(int x, int y, const char* lpszString, int nCount) override;
    BOOL FillRgn(CRgn* pRgn, CBrush* pBrush) override;

    // The complete document of the given size in logical units (the chart's page extent).
    std::string Document(CSize size);

    // Font size in logical units of text drawn without a font, or with a font of size 0.
    int DefaultFontSize() const;

protected:
    void DrawLine(POINT from, POINT to) override;

private:
    void EndPolyline();
    void AppendPoint(POINT pt);
    void AppendInt(int v);
    void AppendStroke(const CPen* pPen);
    void AppendFont(const CFont* pFont);

    std::string m_body;
    bool m_bInPolyline = false;
};
