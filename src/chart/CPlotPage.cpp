// The page and plot frame that the elevation chart and the 3D scene share: measured in
// millimetres on the device, the screen page enlarged by the zoom factor.
#include "CPlot.h"

#include "CDC.h"
#include "ChartMath.h"

namespace {
// Dots per inch to dots per millimetre.
constexpr float kInchesPerMM = 0.03937008f;
// Height of the printed frame relative to its width.
constexpr float kGoldenRatio = 0.618f;

int MM(double n, float fPixPerMM) {
    return MillimetresToPixels(n, fPixPerMM);
}

// The printable page, at least 160 x 100 mm. The zoom factor does not apply to paper.
RECT PrintedPage(const CDC* pDC, float px, float py) {
    RECT page{0, 0, TruncToInt(pDC->GetDeviceCaps(HORZRES)),
              TruncToInt(pDC->GetDeviceCaps(VERTRES))};
    if (page.right - page.left < MM(160, px))
        page.right = page.left + MM(160, px);
    if (page.bottom - page.top < MM(100, py))
        page.bottom = page.top + MM(100, py);
    return page;
}

float PixelsPerMM(double dpi) {
    return static_cast<float>(dpi * static_cast<double>(kInchesPerMM));
}

// The client area, at least 120 x 80 mm, enlarged by the zoom factor.
RECT ZoomedClient(RECT page, float px, float py, float fZoom) {
    if (page.right - page.left < MM(120, px))
        page.right = page.left + MM(120, px);
    if (page.bottom - page.top < MM(80, py))
        page.bottom = page.top + MM(80, py);
    page.right = TruncToInt(static_cast<double>(page.right) * fZoom);
    page.bottom = TruncToInt(static_cast<double>(page.bottom) * fZoom);
    return page;
}

// The screen page of a surface: its window's client area, or for a surface without a window that
// is not a printer (an image) a client area of its page size.
RECT ScreenPage(const CDC* pDC, float px, float py, float fZoom) {
    RECT page{0, 0, TruncToInt(pDC->GetDeviceCaps(HORZRES)),
              TruncToInt(pDC->GetDeviceCaps(VERTRES))};
    if (const CWnd* pWnd = pDC->GetWindow())
        pWnd->GetClientRect(&page);
    return ZoomedClient(page, px, py, fZoom);
}

// On paper the frame is 25 mm in from the left, top and right, and 0.618 times as tall as wide.
RECT PrintedFrame(const RECT& page, float px) {
    const int m = MM(25, px);
    return RECT{m, m, page.right - m,
                m + TruncToInt(static_cast<double>(kGoldenRatio) * (page.right - 2 * m))};
}

// On screen all four margins are measured with the horizontal resolution.
RECT ScreenFrame(const RECT& page, float px, int nRightMarginMM) {
    return RECT{MM(8, px), MM(10, px), page.right - MM(nRightMarginMM, px),
                page.bottom - MM(15, px)};
}
} // namespace

CSize CPlot::ScreenPageSize(int nDpiX, int nDpiY, int cxClient, int cyClient, float fZoom) {
    const RECT page =
        ZoomedClient(RECT{0, 0, cxClient, cyClient}, PixelsPerMM(nDpiX), PixelsPerMM(nDpiY), fZoom);
    return CSize{page.right - page.left, page.bottom - page.top};
}

void CPlot::LayoutPage(CDC* pDC, int nRightMarginMM) {
    m_fPixPerMMX = PixelsPerMM(pDC->GetDeviceCaps(LOGPIXELSX));
    m_fPixPerMMY = PixelsPerMM(pDC->GetDeviceCaps(LOGPIXELSY));
    const float px = m_fPixPerMMX;
    const float py = m_fPixPerMMY;

    // The requests convert with the mapping of the picture on screen, so they come first.
    if (m_bRecenter)
        Recenter(pDC);
    if (m_bZoomRect)
        ZoomToRect(pDC);

    const RECT page =
        pDC->m_bPrinting ? PrintedPage(pDC, px, py) : ScreenPage(pDC, px, py, m_fZoom);
    m_rcPlot = pDC->m_bPrinting ? PrintedFrame(page, px) : ScreenFrame(page, px, nRightMarginMM);
    m_sizeTotal = CSize{page.right - page.left, page.bottom - page.top};
}
