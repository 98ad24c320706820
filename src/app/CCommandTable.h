// Every command of the application in one table: id, which object handles it, its button image,
// and the accelerator keys and toolbar layouts that refer to it. The main frame builds its
// actions, toolbars and shortcuts from it.
#pragma once

#include "CButtonImages.h"
#include "WinDef.h"

#include <QKeySequence>

#include <vector>

// The object whose message map carries a command.
enum class CmdOwner { Application, MainFrame, Document, View, Nobody };

struct CommandInfo {
    UINT nID;
    const char* pszName; // the id's name, for messages and tests
    CmdOwner owner;
    CButtonImages::Image image; // CButtonImages::None when the command has no button
};

struct AccelInfo {
    QKeySequence keys;
    UINT nID;
};

class CCommandTable {
public:
    static const std::vector<CommandInfo>& Commands();
    static const CommandInfo* Find(UINT nID);
    // The accelerator table IDR_MAINFRAME, used in every window.
    static const std::vector<AccelInfo>& Accelerators();
    // Commands that are one choice among several: their menu items show as radio items, and
    // checking one unchecks the others.
    static const std::vector<std::vector<UINT>>& RadioGroups();
    // The chart view's context menu in order; 0 is a separator.
    static const std::vector<UINT>& ContextMenu();
    // The buttons of toolbar IDR_MAINFRAME or IDR_ROTATEBAR in order; 0 is a gap.
    static const std::vector<UINT>& ToolBar(UINT nIDResource);
};
