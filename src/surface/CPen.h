// A pen: style, width in pixels (a pixel being 1/96 inch on paper) and colour.
#pragma once

#include "CGdiObject.h"

class CPen : public CGdiObject {
public:
    BOOL CreatePen(int nStyle, int nWidth, COLORREF crColor) {
        m_nStyle = nStyle;
        m_nWidth = nWidth;
        m_crColor = crColor;
        return m_bCreated = 1;
    }
    int m_nStyle = PS_SOLID;
    int m_nWidth = 1;
    COLORREF m_crColor = 0;
};
