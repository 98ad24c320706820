// Base of the drawing objects (pens, brushes, fonts, regions): plain descriptions that a CDC
// implementation turns into its own (a QPen, an SVG stroke, a line of a recording).
#pragma once

#include "WinDef.h"

// Pen styles, background modes, raster operations, fill modes and device-cap indices as the
// drawing code passes them.
enum : int { PS_SOLID = 0, PS_DASH = 1, PS_DOT = 2 };
enum : int { TRANSPARENT = 1, OPAQUE = 2 };
enum : int { R2_COPYPEN = 13 };
enum : int { ALTERNATE = 1, WINDING = 2 };
enum : int { HORZRES = 8, VERTRES = 10, LOGPIXELSX = 88, LOGPIXELSY = 90 };
// Text alignment flags: 0 is left and top. TA_CENTER and TA_BASELINE also serve as the masks
// of the horizontal and the vertical part.
enum : UINT {
    TA_LEFT = 0,
    TA_TOP = 0,
    TA_RIGHT = 2,
    TA_CENTER = 6,
    TA_BOTTOM = 8,
    TA_BASELINE = 24
};

class CGdiObject {
public:
    CGdiObject() = default;
    CGdiObject(const CGdiObject&) = delete;
    CGdiObject& operator=(const CGdiObject&) = delete;
    virtual ~CGdiObject() = default;

    // True while the object has been created and not deleted.
    BOOL IsCreated() const { return m_bCreated; }
    BOOL DeleteObject() {
        const BOOL was = m_bCreated;
        m_bCreated = 0;
        return was;
    }

protected:
    BOOL m_bCreated = 0;
};
