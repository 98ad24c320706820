#include "CFixedDC.h"

CFixedDC::CFixedDC(int nDpiX, int nDpiY, int nHorzRes, int nVertRes, BOOL bPrinting,
                   const RECT* pClient)
    : m_nDpiX(nDpiX), m_nDpiY(nDpiY), m_nHorzRes(nHorzRes), m_nVertRes(nVertRes),
      m_bHasWindow(pClient != nullptr) {
    m_bPrinting = bPrinting;
    if (pClient)
        m_wnd.m_rcClient = *pClient;
}

int CFixedDC::GetDeviceCaps(int nIndex) const {
    switch (nIndex) {
    case LOGPIXELSX:
        return m_nDpiX;
    case LOGPIXELSY:
        return m_nDpiY;
    case HORZRES:
        return m_nHorzRes;
    case VERTRES:
        return m_nVertRes;
    default:
        return 0;
    }
}

CWnd* CFixedDC::GetWindow() const {
    return m_bHasWindow ? const_cast<Window*>(&m_wnd) : nullptr;
}
