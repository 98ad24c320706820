// The elevation chart: tick grid and mapping onto the frame, axes, legend and series.
#include "CPlot.h"

#include "CDC.h"
#include "CDrawTools.h"
#include "ChartMath.h"
#include "ClippedPolyline.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>

namespace {
// Grid and frame intervals: one per 25 mm of page.
constexpr double kTicksPerMM = 0.04;
constexpr int kGridPen = 8;
// On screen the frame ends 12 mm before the page's right edge.
constexpr int kRightMarginMM = 12;
// Under the elevation chart room for its axis title and legend, between two graphs for the tick
// labels and the title; the pens of the graphs, by GraphKind.
constexpr int kChartGapMM = 19;
constexpr int kGraphGapMM = 11;
constexpr int kMinGraphMM = 8;
constexpr int kGraphPens[] = {7, 5, 10, 11, 9, 2};
// The series a coloured track colours: "Smoothed".
constexpr int kSmoothedSeries = 1;

int MM(double n, float fPixPerMM) {
    return MillimetresToPixels(n, fPixPerMM);
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
    LayoutPage(pDC, kRightMarginMM);
    if (m_nGraphs > 0)
        LayoutGraphs();

    ComputeRanges();
    m_nLegendX = m_rcPlot.left;
    // The page starts at 0, so its extent is its right and bottom edge.
    m_nXTicks = TruncToInt(m_sizeTotal.cx * kTicksPerMM / m_fPixPerMMX);
    m_nYTicks = TruncToInt(m_sizeTotal.cy * kTicksPerMM / m_fPixPerMMY);
    // Under graphs the chart has a share of the frame only, and its ticks follow its height.
    if (m_nGraphs > 0)
        m_nYTicks =
            std::max(TruncToInt((m_rcPlot.bottom - m_rcPlot.top) * kTicksPerMM / m_fPixPerMMY), 2);
    if (m_bTimeAxis)
        CTimeAxis::Scale(&m_fXMin, &m_fXMax, &m_fXStep, &m_nXTicks);
    else
        NiceScale(&m_fXMin, &m_fXMax, &m_fXStep, &m_nXTicks, m_szXFormat);
    NiceScale(&m_fYMin, &m_fYMax, &m_fYStep, &m_nYTicks, m_szYFormat);

    // The last tick falls on the right and on the top edge of the frame.
    const RECT& rc = m_rcPlot;
    m_fXScale = static_cast<float>((rc.right - rc.left) / (static_cast<double>(m_fXMax) - m_fXMin));
    m_fXOffset = static_cast<float>(rc.right - static_cast<double>(m_fXScale) * m_fXMax);
    m_fYScale = static_cast<float>((rc.top - rc.bottom) / (static_cast<double>(m_fYMax) - m_fYMin));
    m_fYOffset = static_cast<float>(rc.top - static_cast<double>(m_fYScale) * m_fYMax);
}

// The x axis's tick values, centred under their ticks with their tops at y.
void CPlot::DrawXTickLabels(CDC* pDC, int y) {
    char label[64];
    pDC->SetTextAlign(TA_CENTER | TA_TOP);
    for (int i = 0; i <= m_nXTicks; ++i) {
        const double v = i * static_cast<double>(m_fXStep) + m_fXMin;
        const int n = m_bTimeAxis ? CTimeAxis::Label(label, sizeof label, m_xAxis, v, m_fXStep)
                                  : FormatTick(label, sizeof label, m_szXFormat, v);
        pDC->TextOut(TruncToInt(v * m_fXScale + m_fXOffset), y, label, n);
    }
}

void CPlot::DrawAxes2D(CDC* pDC, const CDrawTools& tools) {
    const RECT& rc = m_rcPlot;
    const int xc = (rc.left + rc.right) / 2;
    const int yc = (rc.top + rc.bottom) / 2;
    const float px = m_fPixPerMMX;
    const float py = m_fPixPerMMY;
    char label[64];

    pDC->Rectangle(rc.left, rc.top, rc.right, rc.bottom);
    CPen* pOldPen = pDC->SelectObject(tools.m_pPen[kGridPen]);

    // Inner grid lines only: the frame already stands on the first and last tick.
    for (int i = 1; i < m_nXTicks; ++i) {
        const double v = i * static_cast<double>(m_fXStep) + m_fXMin;
        const int x = TruncToInt(v * m_fXScale + m_fXOffset);
        pDC->MoveTo(x, rc.bottom);
        pDC->LineTo(x, rc.top);
    }
    DrawXTickLabels(pDC, rc.bottom + MM(1, py));

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
    CFont* pFont = pDC->m_bPrinting ? tools.m_pFontPrinter : tools.m_pFontScreen;
    CFont* pOldFont = pDC->SelectObject(pFont);
    DrawText(pDC, rc.left - MM(1, px), yc, m_szYLabel);
    pDC->SelectObject(pOldFont);
}

void CPlot::Draw2D(CDC* pDC, const CDrawTools& tools) {
    Layout2D(pDC);
    DrawAxes2D(pDC, tools);
    CPen* pOldPen = pDC->SelectObject(tools.m_pPen[0]);
    pDC->SetTextAlign(TA_LEFT | TA_TOP);
    const int nSeries = std::min(m_nSeries, kMaxSeries);
    for (int s = 0; s < nSeries; ++s) {
        // Series s draws with pen slot s, its legend sample included.
        pDC->SelectObject(s == m_nTerrainSeries ? tools.m_pTerrainPen : tools.m_pPen[s]);
        // "Smoothed" is about as wide as a legend entry's room: the terrain's keeps clear of it.
        if (s == m_nTerrainSeries)
            m_nLegendX += MM(6, m_fPixPerMMX);
        DrawLegendEntry(pDC, s);
        // A coloured track colours the smoothed series, the one the 3D view draws.
        if (s == m_nTerrainSeries)
            DrawTerrainSeries(pDC, s);
        else if (m_pColourSteps && s == kSmoothedSeries)
            DrawColouredSeries(pDC, tools, s);
        else
            DrawSeries(pDC, s);
    }
    if (m_pColourSteps)
        DrawColourBar(pDC, tools, m_nLegendX + MM(8, m_fPixPerMMX),
                      m_rcPlot.bottom + MM(13, m_fPixPerMMY));
    for (int g = 0; g < m_nGraphs; ++g)
        DrawGraph(pDC, tools, g);
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

void CPlot::DrawColouredSeries(CDC* pDC, const CDrawTools& tools, int s) {
    const float* pX = m_pX[s];
    const float* pY = m_pY[s];
    if (!pX || !pY || m_nPoints[s] <= 0)
        return;
    DrawSteppedPolyline(
        pDC, m_nPoints[s],
        [&](int i) {
            return POINT{TruncToInt(static_cast<double>(pX[i]) * m_fXScale + m_fXOffset),
                         TruncToInt(static_cast<double>(pY[i]) * m_fYScale + m_fYOffset)};
        },
        m_pColourSteps, tools.m_pRampPen[m_colourBar.bDiverging ? 1 : 0]);
}

// One line from x, its boxes' bottom on y: the title, the low end's number (ending 40 mm in), the
// kRampSteps boxes of 4 mm by 2 mm, the high end's number.
void CPlot::DrawColourBar(CDC* pDC, const CDrawTools& tools, int x, int y) {
    const float px = m_fPixPerMMX, py = m_fPixPerMMY;
    const int w = MM(4, px), h = MM(2, py);
    const int bar = x + MM(40, px);
    const int d = m_colourBar.bDiverging ? 1 : 0;
    pDC->SetTextAlign(TA_LEFT | TA_BASELINE);
    DrawText(pDC, x, y, m_colourBar.szTitle);
    pDC->SetTextAlign(TA_RIGHT | TA_BASELINE);
    DrawText(pDC, bar - MM(1, px), y, m_colourBar.szLow);
    CPen* pOldPen = pDC->SelectObject(tools.m_pRampPen[d][0]);
    for (int k = 0; k < CDrawTools::kRampSteps; ++k) {
        pDC->SelectObject(tools.m_pRampPen[d][k]);
        CBrush* pOldBrush = pDC->SelectObject(tools.m_pRampBrush[d][k]);
        pDC->Rectangle(bar + k * w, y - h, bar + (k + 1) * w, y);
        pDC->SelectObject(pOldBrush);
    }
    pDC->SelectObject(pOldPen);
    pDC->SetTextAlign(TA_LEFT | TA_BASELINE);
    DrawText(pDC, bar + CDrawTools::kRampSteps * w + MM(1, px), y, m_colourBar.szHigh);
    pDC->SetTextAlign(TA_LEFT | TA_TOP);
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
    const auto pointAt = [&](int i) { return POINT{mapX(pX[i]), mapY(pY[i])}; };
    if (m_bColumnSeries)
        DrawColumnPolyline(pDC, n, pointAt, m_columnPoints);
    else
        DrawClippedPolyline(pDC, n, pointAt);
}

void CPlot::DrawTerrainSeries(CDC* pDC, int s) {
    const float* pX = m_pX[s];
    const float* pY = m_pY[s];
    const auto at = [&](int i) {
        return POINT{TruncToInt(static_cast<double>(pX[i]) * m_fXScale + m_fXOffset),
                     TruncToInt(static_cast<double>(pY[i]) * m_fYScale + m_fYOffset)};
    };
    for (int a = 0; a < m_nPoints[s];) {
        while (a < m_nPoints[s] && std::isnan(pY[a]))
            ++a;
        int b = a;
        while (b < m_nPoints[s] && !std::isnan(pY[b]))
            ++b;
        DrawClippedPolyline(pDC, b - a, [&](int k) { return at(a + k); });
        a = b;
    }
}

void CPlot::LayoutGraphs() {
    const float py = m_fPixPerMMY;
    const RECT whole = m_rcPlot;
    const int nGaps = MM(kChartGapMM, py) + (m_nGraphs - 1) * MM(kGraphGapMM, py);
    const int h = (whole.bottom - whole.top - nGaps) / (m_nGraphs + 2);
    // A page too small for the graphs keeps the chart alone.
    if (h < MM(kMinGraphMM, py)) {
        m_nGraphs = 0;
        return;
    }
    m_rcPlot.bottom = whole.top + 2 * h;
    int top = m_rcPlot.bottom + MM(kChartGapMM, py);
    for (int g = 0; g < m_nGraphs; ++g) {
        Graph& graph = m_graphs[g];
        graph.rc = RECT{whole.left, top, whole.right, top + h};
        top += h + MM(kGraphGapMM, py);
        graph.fYMin = graph.fValueMin;
        graph.fYMax = graph.fValueMax;
        graph.nYTicks = std::max(TruncToInt(h * kTicksPerMM / py), 2);
        NiceScale(&graph.fYMin, &graph.fYMax, &graph.fYStep, &graph.nYTicks, graph.szYFormat);
        graph.fYScale = static_cast<float>((graph.rc.top - graph.rc.bottom) /
                                           (static_cast<double>(graph.fYMax) - graph.fYMin));
        graph.fYOffset =
            static_cast<float>(graph.rc.top - static_cast<double>(graph.fYScale) * graph.fYMax);
    }
}

// The graph's frame and grid, its y ticks on the right as the chart's, the x ticks under it,
// its title over its left corner, and its line.
void CPlot::DrawGraph(CDC* pDC, const CDrawTools& tools, int g) {
    const Graph& graph = m_graphs[g];
    const RECT& rc = graph.rc;
    const float px = m_fPixPerMMX, py = m_fPixPerMMY;
    char label[64];
    pDC->SelectObject(tools.m_pPen[kGridPen]);
    pDC->Rectangle(rc.left, rc.top, rc.right, rc.bottom);
    for (int i = 1; i < m_nXTicks; ++i) {
        const int x =
            TruncToInt((i * static_cast<double>(m_fXStep) + m_fXMin) * m_fXScale + m_fXOffset);
        pDC->MoveTo(x, rc.bottom);
        pDC->LineTo(x, rc.top);
    }
    const auto mapY = [&graph](double v) { return TruncToInt(v * graph.fYScale + graph.fYOffset); };
    for (int i = 1; i < graph.nYTicks; ++i) {
        const int y = mapY(i * static_cast<double>(graph.fYStep) + graph.fYMin);
        pDC->MoveTo(rc.left, y);
        pDC->LineTo(rc.right, y);
    }
    pDC->SetTextAlign(TA_LEFT | TA_BOTTOM);
    for (int i = 0; i <= graph.nYTicks; ++i) {
        const double v = i * static_cast<double>(graph.fYStep) + graph.fYMin;
        const int n = FormatTick(label, sizeof label, graph.szYFormat, v);
        pDC->TextOut(rc.right + MM(1, px), TruncToInt(v * graph.fYScale + py + graph.fYOffset),
                     label, n);
    }
    DrawXTickLabels(pDC, rc.bottom + MM(1, py));
    pDC->SetTextAlign(TA_LEFT | TA_BOTTOM);
    DrawText(pDC, rc.left, rc.top - MM(1, py), graph.szTitle);
    pDC->SetTextAlign(TA_LEFT | TA_TOP);
    const float* pX = graph.pX;
    const float* pY = graph.pY;
    pDC->SelectObject(tools.m_pPen[kGraphPens[static_cast<int>(graph.kind)]]);
    const auto mapX = [&](int i) {
        return TruncToInt(static_cast<double>(pX[i]) * m_fXScale + m_fXOffset);
    };
    const auto mapYAt = [&](int i) { return mapY(pY[i]); };
    const auto pointAt = [&](int i) { return POINT{mapX(i), mapYAt(i)}; };
    if (graph.bAscendingX && m_fXScale > 0)
        DrawAscendingColumnPolyline(pDC, graph.nPoints, mapX, mapYAt, m_columnPoints);
    else
        DrawColumnPolyline(pDC, graph.nPoints, pointAt, m_columnPoints);
}
