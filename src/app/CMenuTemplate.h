// The two menu resources: menu IDR_MAINFRAME while no document is open and IDR_VORLANTYPE while a
// document window is active. The main frame builds its menu bars from them.
#pragma once

#include "WinDef.h"

#include <vector>

struct MenuItem {
    const char* pszCaption; // nullptr for a separator; '&' marks the access key, '\t' the keys
    UINT nID;
    bool bGrayed; // the item starts disabled
    // A submenu's items; nID is 0 for a submenu.
    const std::vector<MenuItem>* pSubMenu = nullptr;
    // What's This of a submenu (a command item takes its text from the command's id).
    const char* pszWhatsThis = nullptr;
};

struct MenuPopup {
    const char* pszCaption;
    std::vector<MenuItem> items;
};

class CMenuTemplate {
public:
    static const std::vector<MenuPopup>& Menu(UINT nIDResource);
};
