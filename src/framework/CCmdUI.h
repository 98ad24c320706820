// The enabled and checked state that an update handler gives one command; the main frame applies
// it to the command's menu items and toolbar buttons.
#pragma once

#include "WinDef.h"

class CCmdUI {
public:
    explicit CCmdUI(UINT nID) : m_nID(nID) {}

    void Enable(BOOL bOn = 1) { m_bEnabled = bOn != 0; }
    // 0 unchecked, 1 checked.
    void SetCheck(int nCheck = 1) { m_nCheck = nCheck; }

    UINT m_nID;
    bool m_bEnabled = true;
    int m_nCheck = -1; // -1: the handler said nothing about checking
};
