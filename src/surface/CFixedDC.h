// A drawing surface of a fixed device: given dots per inch, page size, printing flag and, for a
// screen, the client rectangle of its window. Base of the recording and SVG surfaces.
#pragma once

#include "CDC.h"

class CFixedDC : public CDC {
public:
    // pClient is the client rectangle of the window that owns the surface; nullptr for a
    // printer page.
    CFixedDC(int nDpiX, int nDpiY, int nHorzRes, int nVertRes, BOOL bPrinting, const RECT* pClient);

    int GetDeviceCaps(int nIndex) const override;
    CWnd* GetWindow() const override;

private:
    class Window : public CWnd {
    public:
        void GetClientRect(RECT* lpRect) const override { *lpRect = m_rcClient; }
        RECT m_rcClient;
    };

    int m_nDpiX;
    int m_nDpiY;
    int m_nHorzRes;
    int m_nVertRes;
    bool m_bHasWindow;
    Window m_wnd;
};
