// Command, string and window ids that the framework itself handles or shows: file, edit,
// window, help and pane commands, the status bar's panes and the framework's strings. Used by
// the framework's classes and, through Resource.h, by the program.
#pragma once

#include "WinDef.h"

constexpr UINT ID_SEPARATOR = 0;

// Standard commands.
constexpr UINT ID_FILE_NEW = 57600;
constexpr UINT ID_FILE_OPEN = 57601;
constexpr UINT ID_FILE_CLOSE = 57602;
constexpr UINT ID_FILE_SAVE = 57603;
constexpr UINT ID_FILE_SAVE_AS = 57604;
constexpr UINT ID_FILE_PRINT_SETUP = 57606;
constexpr UINT ID_FILE_PRINT = 57607;
constexpr UINT ID_FILE_PRINT_DIRECT = 57608;
constexpr UINT ID_FILE_PRINT_PREVIEW = 57609;
constexpr UINT ID_FILE_MRU_FILE1 = 57616;
constexpr UINT ID_FILE_MRU_LAST = 57631;

constexpr UINT ID_EDIT_COPY = 57634;
constexpr UINT ID_EDIT_CUT = 57635;
constexpr UINT ID_EDIT_PASTE = 57637;
constexpr UINT ID_EDIT_UNDO = 57643;

constexpr UINT ID_WINDOW_NEW = 57648;
constexpr UINT ID_WINDOW_ARRANGE = 57649;
constexpr UINT ID_WINDOW_CASCADE = 57650;
constexpr UINT ID_WINDOW_TILE_HORZ = 57651;
constexpr UINT ID_WINDOW_SPLIT = 57653;

constexpr UINT ID_APP_ABOUT = 57664;
constexpr UINT ID_APP_EXIT = 57665;
constexpr UINT ID_HELP_FINDER = 57667;
constexpr UINT ID_CONTEXT_HELP = 57669;
constexpr UINT ID_HELP = 57670;
constexpr UINT ID_DEFAULT_HELP = 57671;

constexpr UINT ID_NEXT_PANE = 57680;
constexpr UINT ID_PREV_PANE = 57681;

constexpr UINT ID_INDICATOR_CAPS = 59137;
constexpr UINT ID_INDICATOR_NUM = 59138;
constexpr UINT ID_INDICATOR_SCRL = 59139;

// Both toolbars carry the toolbar's child-window id, which is also the View menu's command.
constexpr UINT AFX_IDW_TOOLBAR = 59392;
constexpr UINT AFX_IDW_STATUS_BAR = 59393;
constexpr UINT ID_VIEW_TOOLBAR = AFX_IDW_TOOLBAR;
constexpr UINT ID_VIEW_STATUS_BAR = AFX_IDW_STATUS_BAR;

// Framework strings.
constexpr UINT AFX_IDS_APP_TITLE = 57344;
constexpr UINT AFX_IDS_IDLEMESSAGE = 57345;
constexpr UINT AFX_IDS_HELPMODEMESSAGE = 57346;

// The recent-file list holds at most this many entries.
constexpr int kMaxRecentFiles = 4;
