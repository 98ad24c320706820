// The elevation chart: page and frame layout in millimetres, axes, legend and series.
#include "CPlot.h"

#include "CDC.h"
#include "CDrawTools.h"
#include "ChartMath.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

namespace {
// Dots per inch to dots per millimetre.
constexpr float kInchesPerMM = 0.03937008f;
// Height of the printed frame relative to its width.
constexpr float kGoldenRatio = 0.618f;
// Grid and frame intervals: one per 25 mm of page.
constexpr double kTicksPerMM = 0.04;
constexpr int kGridPen = 8;

int MM(double n, float fPixPerMM) {
    return MillimetresToPixels(n, fPixPerMM);
}

// The printable page, at least 160 x 100 mm. The zoom factor does not apply to paper.
RECT PrintedPage(const CDC* pDC, float px, float py) {
    RECT page{0, 0, pDC->GetDeviceCaps(HORZRES), pDC->GetDeviceCaps(VERTRES)};
    if (page.right - page.left < MM(160, px))
        page.right = page.left + MM(160, px);
    if (page.bottom - page.top < MM(100, py))
        page.bottom = page.top + MM(100, py);
    return page;
}

// The client area, at least 120 x 80 mm, enlarged by the zoom factor. A surface without a window
// that is not a printer (an image) stands for a client area of its page size.
RECT ScreenPage(const CDC* pDC, float px, float py, float fZoom) {
    RECT page{0, 0, pDC->GetDeviceCaps(HORZRES), pDC->GetDeviceCaps(VERTRES)};
    if (const CWnd* pWnd = pDC->GetWindow())
        pWnd->GetClientRect(&page);
    if (page.right - page.left < MM(120, px))
        page.right = page.left + MM(120, px);
    if (page.bottom - page.top < MM(80, py))
        page.bottom = page.top + MM(80, py);
    page.right = TruncToInt(static_cast<double>(page.right) * fZoom);
    page.bottom = TruncToInt(static_cast<double>(page.bottom) * fZoom);
    return page;
}

// On paper the frame is 25 mm in from the left, top and right, and 0.618 times as tall as wide.
RECT PrintedFrame(const RECT& page, float px) {
    const int m = MM(25, px);
    return RECT{m, m, page.right - m,
                m + TruncToInt(static_cast<double>(kGoldenRatio) * (page.right - 2 * m))};
}

// On screen all four margins are measured with the horizontal resolution.
RECT ScreenFrame(const RECT& page, float px) {
    return RECT{MM(8, px), MM(10, px), page.right - MM(12, px), page.bottom - MM(15, px)};
}

// Label text of a tick value with the format that NiceScale chose.
int FormatTick(char* buf, std::size_t size, const char* pszFormat, double v) {
    const int n = std::snprintf(buf, size, pszFormat, v);
    return std::clamp(n, 0, static_cast<int>(size) - 1);
}

void DrawText(CDC* pDC, int x, int y, const char* psz) {
    pDC->TextOut(x, y, psz, static_cast<int>(std::strlen(psz)));
}
} // namespace

void CPlot::Layout2D(CDC* pDC) {
    const double inchesPerMM = static_cast<double>(kInchesPerMM);
    m_fPixPerMMX = static_cast<float>(pDC->GetDeviceCaps(LOGPIXELSX) * inchesPerMM);
    m_fPixPerMMY = static_cast<float>(pDC->GetDeviceCaps(LOGPIXELSY) * inchesPerMM);
    const float px = m_fPixPerMMX;
    const float py = m_fPixPerMMY;

    // The requests convert with the mapping of the picture on screen, so they come first.
    if (m_bRecenter)
        Recenter(pDC);
    if (m_bZoomRect)
        ZoomToRect(pDC);

    const RECT page =
        pDC->m_bPrinting ? PrintedPage(pDC, px, py) : ScreenPage(pDC, px, py, m_fZoom);
    m_rcPlot = pDC->m_bPrinting ? PrintedFrame(page, px) : ScreenFrame(page, px);
    m_sizeTotal = CSize{page.right - page.left, page.bottom - page.top};

    ComputeRanges();
    m_nLegendX = m_rcPlot.left;
    m_nXTicks = TruncToInt(page.right * kTicksPerMM / px);
    m_nYTicks = TruncToInt(page.bottom * kTicksPerMM / py);
    NiceScale(&m_fXMin, &m_fXMax, &m_fXStep, &m_nXTicks, m_szXFormat);
    NiceScale(&m_fYMin, &m_fYMax, &m_fYStep, &m_nYTicks, m_szYFormat);

    // The last tick falls on the right and on the top edge of the frame.
    const RECT& rc = m_rcPlot;
    m_fXScale = static_cast<float>((rc.right - rc.left) / (static_cast<double>(m_fXMax) - m_fXMin));
    m_fXOffset = static_cast<float>(rc.right - static_cast<double>(m_fXScale) * m_fXMax);
    m_fYScale = static_cast<float>((rc.top - rc.bottom) / (static_cast<double>(m_fYMax) - m_fYMin));
    m_fYOffset = static_cast<float>(rc.top - static_cast<double>(m_fYScale) * m_fYMax);
}

void CPlot::DrawAxes2D(CDC* pDC) {
    CDrawTools* pTools = CDrawTools::GetTools();
    if (!pTools)
        return;
    const RECT& rc = m_rcPlot;
    const int xc = (rc.left + rc.right) / 2;
    const int yc = (rc.top + rc.bottom) / 2;
    const float px = m_fPixPerMMX;
    const float py = m_fPixPerMMY;
    char label[64];

    pDC->Rectangle(rc.left, rc.top, rc.right, rc.bottom);
    CPen* pOldPen = pDC->SelectObject(pTools->m_pPen[kGridPen]);

    // Inner grid lines only: the frame already stands on the first and last tick.
    for (int i = 1; i < m_nXTicks; ++i) {
        const double v = i * static_cast<double>(m_fXStep) + m_fXMin;
        const int x = TruncToInt(v * m_fXScale + m_fXOffset);
        pDC->MoveTo(x, rc.bottom);
        pDC->LineTo(x, rc.top);
    }
    pDC->SetTextAlign(TA_CENTER | TA_TOP);
    for (int i = 0; i <= m_nXTicks; ++i) {
        const double v = i * static_cast<double>(m_fXStep) + m_fXMin;
        const int n = FormatTick(label, sizeof label, m_szXFormat, v);
        pDC->TextOut(TruncToInt(v * m_fXScale + m_fXOffset), rc.bottom + MM(1, py), label, n);
    }

    for (int i = 1; i < m_nYTicks; ++i) {
        const double v = i * static_cast<double>(m_fYStep) + m_fYMin;
        const int y = TruncToInt(v * m_fYScale + m_fYOffset);
        pDC->MoveTo(rc.left, y);
        pDC->LineTo(rc.right, y);
    }
    // Right of the frame, the text's bottom 1 mm below its tick line.
    pDC->SetTextAlign(TA_LEFT | TA_BOTTOM);
    for (int i = 0; i <= m_nYTicks; ++i) {
        const double v = i * static_cast<double>(m_fYStep) + m_fYMin;
        const int n = FormatTick(label, sizeof label, m_szYFormat, v);
        pDC->TextOut(rc.right + MM(1, px), TruncToInt(v * m_fYScale + py + m_fYOffset), label, n);
    }
    pDC->SelectObject(pOldPen);

    pDC->SetTextAlign(TA_CENTER | TA_TOP);
    DrawText(pDC, xc, rc.bottom + MM(5, py), m_szXLabel);
    pDC->SetTextAlign(TA_CENTER | TA_BOTTOM);
    DrawText(pDC, xc, rc.top - MM(1, py), m_szTitle);

    // The upward-running font turns "centred, bottom" into a title that ends just left of the
    // frame, centred on its middle.
    CFont* pFont = pDC->m_bPrinting ? &pTools->m_fontPrinter : &pTools->m_fontScreen;
    CFont* pOldFont = pDC->SelectObject(pFont);
    DrawText(pDC, rc.left - MM(1, px), yc, m_szYLabel);
    pDC->SelectObject(pOldFont);
}

void CPlot::Draw2D(CDC* pDC) {
    Layout2D(pDC);
    DrawAxes2D(pDC);
    CDrawTools* pTools = CDrawTools::GetTools();
    if (!pTools)
        return;
    CPen* pOldPen = pDC->SelectObject(pTools->m_pPen[0]);
    pDC->SetTextAlign(TA_LEFT | TA_TOP);
    const int nSeries = std::min(m_nSeries, kMaxSeries);
    for (int s = 0; s < nSeries; ++s) {
        // Series s draws with pen slot s, its legend sample included.
        pDC->SelectObject(pTools->m_pPen[s]);
        DrawLegendEntry(pDC, s);
        DrawSeries(pDC, s);
    }
    pDC->SelectObject(pOldPen);
}

void CPlot::DrawLegendEntry(CDC* pDC, int s) {
    const float px = m_fPixPerMMX;
    const float py = m_fPixPerMMY;
    const int y = m_rcPlot.bottom + MM(12, py);
    const int e = m_nLegendX + MM(7, px);
    pDC->MoveTo(m_nLegendX, y);
    pDC->LineTo(e, y);
    DrawText(pDC, e + MM(1, px), y - MM(2, py), m_szLegend[s]);
    m_nLegendX += MM(20, px);
}

void CPlot::DrawSeries(CDC* pDC, int s) {
    const float* pX = m_pX[s];
    const float* pY = m_pY[s];
    const int n = m_nPoints[s];
    if (!pX || !pY || n <= 0)
        return;
    auto mapX = [this](float x) {
        return TruncToInt(static_cast<double>(x) * m_fXScale + m_fXOffset);
    };
    auto mapY = [this](float y) {
        return TruncToInt(static_cast<double>(y) * m_fYScale + m_fYOffset);
    };
    pDC->MoveTo(mapX(pX[0]), mapY(pY[0]));
    for (int i = 1; i < n; ++i)
        pDC->LineTo(mapX(pX[i]), mapY(pY[i]));
}
