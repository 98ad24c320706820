// Zoom and scroll geometry shared by both plots: the rubber-band zoom, the centre kept across a
// zoom command, and the scroll position that shows that centre in the middle of the window.
#include "CPlot.h"

#include "CDC.h"
#include "ChartMath.h"

#include <cmath>

namespace {
// The client size of the surface's window; false for a surface without one (a printer).
bool ClientSize(const CDC* pDC, int& cw, int& ch) {
    const CWnd* pWnd = pDC->GetWindow();
    if (!pWnd)
        return false;
    RECT rc;
    pWnd->GetClientRect(&rc);
    cw = rc.right;
    ch = rc.bottom;
    return true;
}
} // namespace

void CPlot::ZoomToRect(CDC* pDC) {
    int cw, ch;
    if (!ClientSize(pDC, cw, ch))
        return;
    RECT& r = m_tracker.m_rect;
    // The view never hands over a flat rectangle; if one arrives, the request is dropped.
    if (r.right == r.left || r.bottom == r.top) {
        m_bZoomRect = 0;
        return;
    }
    // The band is to fill the window in the direction where it fits first.
    const double fx = static_cast<double>(cw) / (r.right - r.left);
    const float fy = static_cast<float>(static_cast<double>(ch) / (r.bottom - r.top));
    const double f = std::fabs(fx) < std::fabs(fy) ? std::fabs(fx) : std::fabs(fy);
    const double zoom = m_fZoom * f;
    m_fZoom = zoom >= kMaxZoom ? kMaxZoom : static_cast<float>(zoom);
    m_bZoomRect = 0;

    POINT corners[2] = {{r.left, r.top}, {r.right, r.bottom}};
    pDC->DPtoLP(corners, 2);
    r = RECT{corners[0].x, corners[0].y, corners[1].x, corners[1].y};
    m_fCenterX = static_cast<float>(((r.left + r.right) * 0.5 - m_fXOffset) / m_fXScale);
    m_fCenterY = static_cast<float>(((r.top + r.bottom) * 0.5 - m_fYOffset) / m_fYScale);
}

void CPlot::Recenter(CDC* pDC) {
    int cw, ch;
    if (!ClientSize(pDC, cw, ch))
        return;
    POINT p{cw / 2, ch / 2};
    pDC->DPtoLP(&p);
    m_fCenterX = static_cast<float>((p.x - static_cast<double>(m_fXOffset)) / m_fXScale);
    m_fCenterY = static_cast<float>((p.y - static_cast<double>(m_fYOffset)) / m_fYScale);
}

BOOL CPlot::UpdateScrollPos(CDC* pDC) {
    int cw, ch;
    if (!ClientSize(pDC, cw, ch))
        return 0;
    POINT s{TruncToInt(static_cast<double>(m_fXScale) * m_fCenterX + m_fXOffset + 0.5),
            TruncToInt(static_cast<double>(m_fYScale) * m_fCenterY + m_fYOffset + 0.5)};
    pDC->LPtoDP(&s);
    s.x -= cw / 2;
    s.y -= ch / 2;
    const BOOL ok = pDC->DPtoLP(&s);
    m_ptScroll = s;
    m_bRecenter = 0;
    return ok;
}
