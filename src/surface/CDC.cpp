#include "CDC.h"

POINT CDC::SetViewportOrg(int x, int y) {
    const POINT old = m_ptViewportOrg;
    m_ptViewportOrg = POINT{x, y};
    return old;
}

BOOL CDC::DPtoLP(POINT* lpPoints, int nCount) const {
    for (int i = 0; i < nCount; ++i) {
        lpPoints[i].x -= m_ptViewportOrg.x;
        lpPoints[i].y -= m_ptViewportOrg.y;
    }
    return 1;
}

BOOL CDC::LPtoDP(POINT* lpPoints, int nCount) const {
    for (int i = 0; i < nCount; ++i) {
        lpPoints[i].x += m_ptViewportOrg.x;
        lpPoints[i].y += m_ptViewportOrg.y;
    }
    return 1;
}

void CDC::SetClipBox(const RECT* pRect) {
    m_bClipBox = pRect != nullptr;
    if (pRect)
        m_rcClipBox = *pRect;
}

bool CDC::GetClipBox(RECT* pRect) const {
    if (m_bClipBox)
        *pRect = m_rcClipBox;
    return m_bClipBox;
}

CPen* CDC::SelectObject(CPen* pPen) {
    CPen* old = m_pPen;
    m_pPen = pPen;
    return old;
}

CBrush* CDC::SelectObject(CBrush* pBrush) {
    CBrush* old = m_pBrush;
    m_pBrush = pBrush;
    return old;
}

CFont* CDC::SelectObject(CFont* pFont) {
    CFont* old = m_pFont;
    m_pFont = pFont;
    return old;
}

POINT CDC::MoveTo(int x, int y) {
    const POINT old = m_ptCurrent;
    m_ptCurrent = POINT{x, y};
    return old;
}

BOOL CDC::LineTo(int x, int y) {
    const POINT from = m_ptCurrent;
    m_ptCurrent = POINT{x, y};
    DrawLine(from, m_ptCurrent);
    return 1;
}

UINT CDC::SetTextAlign(UINT nFlags) {
    const UINT old = m_nTextAlign;
    m_nTextAlign = nFlags;
    return old;
}

int CDC::SetBkMode(int nBkMode) {
    const int old = m_nBkMode;
    m_nBkMode = nBkMode;
    return old;
}

int CDC::SetROP2(int nDrawMode) {
    const int old = m_nROP2;
    m_nROP2 = nDrawMode;
    return old;
}
