// The window that owns a screen drawing surface, as far as the chart needs it.
#pragma once

#include "WinDef.h"

class CWnd {
public:
    virtual ~CWnd() = default;
    // The client area; left and top are always 0.
    virtual void GetClientRect(RECT* lpRect) const = 0;
};
