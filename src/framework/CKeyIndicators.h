// The state of the Caps Lock, Num Lock and Scroll Lock keys for the status bar's indicator
// panes, as far as the window system tells it (X11 through XKB; elsewhere unknown).
#pragma once

class CKeyIndicators {
public:
    // False when the window system cannot tell; the flags are then left unchanged.
    static bool Query(bool* pCaps, bool* pNum, bool* pScroll);
};
