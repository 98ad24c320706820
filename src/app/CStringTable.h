// The application's string table: window titles, the document string, and the status-bar
// prompt and tooltip of every command. Used by the frames to label menus, buttons and the status
// bar.
#pragma once

#include "WinDef.h"

#include <QString>

class CStringTable {
public:
    // The text of a string id, or an empty string when the table has none.
    static QString Load(UINT nID);
    // A command string holds the status-bar prompt, a newline and the tooltip.
    static QString Prompt(UINT nID);
    static QString Tooltip(UINT nID);
    // What's This help of a command: one sentence on what it does and the keys or mouse
    // gestures that go with it; the prompt for a command without one.
    static QString WhatsThis(UINT nID);
    // One of the seven newline-separated fields of the document string (IDR_VORLANTYPE).
    enum DocStringIndex {
        windowTitle,
        docName,
        fileNewName,
        filterName,
        filterExt,
        regFileTypeId,
        regFileTypeName
    };
    static QString DocString(DocStringIndex index);
};
