// A solid brush.
#pragma once

#include "CGdiObject.h"

class CBrush : public CGdiObject {
public:
    BOOL CreateSolidBrush(COLORREF crColor) {
        m_crColor = crColor;
        return m_bCreated = 1;
    }
    COLORREF m_crColor = 0;
};
