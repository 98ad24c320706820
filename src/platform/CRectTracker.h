// The rubber-band tracker's state that the chart keeps: the last tracked rectangle.
#pragma once

#include "WinDef.h"

class CRectTracker {
public:
    // Client pixels after a drag: (left, top) is the press point and (right, bottom) the
    // release point, not normalised.
    RECT m_rect;
};
