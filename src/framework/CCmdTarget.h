// Base of everything that handles commands (application, frames, documents, views): a message
// map from command ids to a handler and an update handler, consulted by the main frame's routing.
#pragma once

#include "CCmdUI.h"
#include "WinDef.h"

#include <cstddef>

enum class CmdCode {
    Command, // run the handler
    Update,  // run the update handler with a CCmdUI
    Query    // only say whether a handler exists
};

class CCmdTarget {
public:
    virtual ~CCmdTarget() = default;
    // Nonzero when this target (or one it routes to) handled the request.
    virtual BOOL OnCmdMsg(UINT nID, CmdCode nCode, CCmdUI* pCmdUI) = 0;
};

// One row of a message map: a command id, its handler and its update handler (either may be
// null).
template <class T> struct CmdEntry {
    UINT nID;
    void (T::*pfnCommand)();
    void (T::*pfnUpdate)(CCmdUI*);
};

template <class T, std::size_t N>
BOOL DispatchCmdMsg(T* pTarget, const CmdEntry<T> (&map)[N], UINT nID, CmdCode nCode,
                    CCmdUI* pCmdUI) {
    for (const CmdEntry<T>& e : map) {
        if (e.nID != nID)
            continue;
        switch (nCode) {
        case CmdCode::Command:
            if (e.pfnCommand) {
                (pTarget->*e.pfnCommand)();
                return 1;
            }
            break;
        case CmdCode::Update:
            if (e.pfnUpdate) {
                (pTarget->*e.pfnUpdate)(pCmdUI);
                return 1;
            }
            break;
        case CmdCode::Query:
            if (e.pfnCommand)
                return 1;
            break;
        }
    }
    return 0;
}
