#include "CCommandTable.h"

#include "Resource.h"

namespace {
using Img = CButtonImages::Image;
using Own = CmdOwner;

std::vector<CommandInfo> MakeCommands() {
    std::vector<CommandInfo> cmds = {
        {ID_FILE_NEW, "ID_FILE_NEW", Own::Application, Img::New},
        {ID_FILE_OPEN, "ID_FILE_OPEN", Own::Application, Img::Open},
        {ID_FILE_CLOSE, "ID_FILE_CLOSE", Own::Document, Img::None},
        {ID_FILE_SAVE, "ID_FILE_SAVE", Own::Document, Img::Save},
        {ID_FILE_SAVE_AS, "ID_FILE_SAVE_AS", Own::Document, Img::None},
        {ID_FILE_PRINT, "ID_FILE_PRINT", Own::View, Img::Print},
        {ID_FILE_PRINT_DIRECT, "ID_FILE_PRINT_DIRECT", Own::View, Img::None},
        {ID_FILE_PRINT_PREVIEW, "ID_FILE_PRINT_PREVIEW", Own::View, Img::None},
        {ID_FILE_PRINT_SETUP, "ID_FILE_PRINT_SETUP", Own::Application, Img::None},
        {ID_APP_EXIT, "ID_APP_EXIT", Own::Application, Img::None},
        {ID_APP_ABOUT, "ID_APP_ABOUT", Own::Application, Img::About},
        {ID_EDIT_UNDO, "ID_EDIT_UNDO", Own::Document, Img::None},
        {ID_EDIT_CUT, "ID_EDIT_CUT", Own::Nobody, Img::None},
        {ID_EDIT_COPY, "ID_EDIT_COPY", Own::View, Img::None},
        {ID_EDIT_PASTE, "ID_EDIT_PASTE", Own::Nobody, Img::None},
        {ID_VIEW_TOOLBAR, "ID_VIEW_TOOLBAR", Own::MainFrame, Img::None},
        {ID_VIEW_STATUS_BAR, "ID_VIEW_STATUS_BAR", Own::MainFrame, Img::None},
        {ID_WINDOW_NEW, "ID_WINDOW_NEW", Own::MainFrame, Img::None},
        {ID_WINDOW_CASCADE, "ID_WINDOW_CASCADE", Own::MainFrame, Img::None},
        {ID_WINDOW_TILE_HORZ, "ID_WINDOW_TILE_HORZ", Own::MainFrame, Img::None},
        {ID_WINDOW_ARRANGE, "ID_WINDOW_ARRANGE", Own::MainFrame, Img::None},
        {ID_WINDOW_SPLIT, "ID_WINDOW_SPLIT", Own::View, Img::None},
        {ID_NEXT_PANE, "ID_NEXT_PANE", Own::View, Img::None},
        {ID_PREV_PANE, "ID_PREV_PANE", Own::View, Img::None},
        {ID_HELP_FINDER, "ID_HELP_FINDER", Own::MainFrame, Img::None},
        {ID_HELP, "ID_HELP", Own::MainFrame, Img::None},
        {ID_CONTEXT_HELP, "ID_CONTEXT_HELP", Own::MainFrame, Img::ContextHelp},
        {ID_DEFAULT_HELP, "ID_DEFAULT_HELP", Own::MainFrame, Img::None},
        {ID_PLOT_ELEVATION, "ID_PLOT_ELEVATION", Own::View, Img::PlotElevation},
        {ID_FILE_IMPORT, "ID_FILE_IMPORT", Own::Document, Img::Import},
        {ID_PLOT_3D, "ID_PLOT_3D", Own::View, Img::Plot3D},
        {ID_ZOOM_IN, "ID_ZOOM_IN", Own::View, Img::ZoomIn},
        {ID_ZOOM_OUT, "ID_ZOOM_OUT", Own::View, Img::ZoomOut},
        {ID_ZOOM_RESTORE, "ID_ZOOM_RESTORE", Own::View, Img::ZoomRestore},
        {ID_ROTATE_UP, "ID_ROTATE_UP", Own::View, Img::RotateUp},
        {ID_ROTATE_DOWN, "ID_ROTATE_DOWN", Own::View, Img::RotateDown},
        {ID_ROTATE_LEFT, "ID_ROTATE_LEFT", Own::View, Img::RotateLeft},
        {ID_ROTATE_RIGHT, "ID_ROTATE_RIGHT", Own::View, Img::RotateRight},
        {ID_ROTATE_RESTORE, "ID_ROTATE_RESTORE", Own::View, Img::RotateRestore},
        {ID_VIEW_SMOOTH_LINES, "ID_VIEW_SMOOTH_LINES", Own::Application, Img::None},
        {ID_FILE_PROPERTIES, "ID_FILE_PROPERTIES", Own::Document, Img::None},
        {ID_VIEW_UNITS_IMPERIAL, "ID_VIEW_UNITS_IMPERIAL", Own::Application, Img::None},
        {ID_VIEW_UNITS_METRIC, "ID_VIEW_UNITS_METRIC", Own::Application, Img::None},
        {ID_FILE_EXPORT_IMAGE, "ID_FILE_EXPORT_IMAGE", Own::View, Img::None},
        {ID_FILE_EXPORT_TRACK, "ID_FILE_EXPORT_TRACK", Own::Document, Img::None},
        {ID_WINDOW_CHART_AND_3D, "ID_WINDOW_CHART_AND_3D", Own::View, Img::None},
        {ID_VIEW_XAXIS_DISTANCE, "ID_VIEW_XAXIS_DISTANCE", Own::Application, Img::None},
        {ID_VIEW_XAXIS_ELAPSED, "ID_VIEW_XAXIS_ELAPSED", Own::Application, Img::None},
        {ID_VIEW_XAXIS_TIME_OF_DAY, "ID_VIEW_XAXIS_TIME_OF_DAY", Own::Application, Img::None},
        {ID_VIEW_COLOUR_NONE, "ID_VIEW_COLOUR_NONE", Own::Application, Img::None},
        {ID_VIEW_COLOUR_GRADE, "ID_VIEW_COLOUR_GRADE", Own::Application, Img::None},
        {ID_VIEW_COLOUR_SPEED, "ID_VIEW_COLOUR_SPEED", Own::Application, Img::None},
        {ID_VIEW_COLOUR_HEART_RATE, "ID_VIEW_COLOUR_HEART_RATE", Own::Application, Img::None},
        {ID_VIEW_COLOUR_ELEVATION, "ID_VIEW_COLOUR_ELEVATION", Own::Application, Img::None},
        {ID_VIEW_GRAPH_FIRST, "ID_VIEW_GRAPH_SPEED", Own::View, Img::None},
        {ID_VIEW_GRAPH_FIRST + 1, "ID_VIEW_GRAPH_HEART_RATE", Own::View, Img::None},
        {ID_VIEW_GRAPH_FIRST + 2, "ID_VIEW_GRAPH_CADENCE", Own::View, Img::None},
        {ID_VIEW_GRAPH_FIRST + 3, "ID_VIEW_GRAPH_POWER", Own::View, Img::None},
        {ID_VIEW_GRAPH_FIRST + 4, "ID_VIEW_GRAPH_TEMPERATURE", Own::View, Img::None},
        {ID_VIEW_GRAPH_FIRST + 5, "ID_VIEW_GRAPH_GRADE", Own::View, Img::None},
        {ID_VIEW_TERRAIN, "ID_VIEW_TERRAIN", Own::Application, Img::None},
        {ID_VIEW_ELEVATION_FOLDER, "ID_VIEW_ELEVATION_FOLDER", Own::Application, Img::None},
        {ID_VIEW_PROPORTIONS_OFF, "ID_VIEW_PROPORTIONS_OFF", Own::Application, Img::None},
        {ID_VIEW_PROPORTIONS_1X, "ID_VIEW_PROPORTIONS_1X", Own::Application, Img::None},
        {ID_VIEW_PROPORTIONS_2X, "ID_VIEW_PROPORTIONS_2X", Own::Application, Img::None},
        {ID_VIEW_PROPORTIONS_5X, "ID_VIEW_PROPORTIONS_5X", Own::Application, Img::None},
        {ID_TRACK_ELEVATIONS_FROM_TERRAIN, "ID_TRACK_ELEVATIONS_FROM_TERRAIN", Own::Document,
         Img::None},
        {ID_FILE_EXPORT_MODEL, "ID_FILE_EXPORT_MODEL", Own::Document, Img::None},
    };
    static const char* const kMruNames[kMaxRecentFiles] = {
        "ID_FILE_MRU_FILE1", "ID_FILE_MRU_FILE2", "ID_FILE_MRU_FILE3", "ID_FILE_MRU_FILE4"};
    for (int i = 0; i < kMaxRecentFiles; ++i)
        cmds.push_back({ID_FILE_MRU_FILE1 + i, kMruNames[i], Own::Application, Img::None});
    return cmds;
}
} // namespace

const std::vector<CommandInfo>& CCommandTable::Commands() {
    static const std::vector<CommandInfo> cmds = MakeCommands();
    return cmds;
}

const CommandInfo* CCommandTable::Find(UINT nID) {
    for (const CommandInfo& c : Commands())
        if (c.nID == nID)
            return &c;
    return nullptr;
}

const std::vector<AccelInfo>& CCommandTable::Accelerators() {
    static const std::vector<AccelInfo> accels = {
        {QKeySequence(Qt::CTRL | Qt::Key_N), ID_FILE_NEW},
        {QKeySequence(Qt::CTRL | Qt::Key_O), ID_FILE_OPEN},
        {QKeySequence(Qt::CTRL | Qt::Key_S), ID_FILE_SAVE},
        {QKeySequence(Qt::CTRL | Qt::Key_P), ID_FILE_PRINT},
        {QKeySequence(Qt::CTRL | Qt::Key_Z), ID_EDIT_UNDO},
        {QKeySequence(Qt::CTRL | Qt::Key_X), ID_EDIT_CUT},
        {QKeySequence(Qt::CTRL | Qt::Key_C), ID_EDIT_COPY},
        {QKeySequence(Qt::CTRL | Qt::Key_V), ID_EDIT_PASTE},
        {QKeySequence(Qt::ALT | Qt::Key_Backspace), ID_EDIT_UNDO},
        {QKeySequence(Qt::SHIFT | Qt::Key_Delete), ID_EDIT_CUT},
        {QKeySequence(Qt::CTRL | Qt::Key_Insert), ID_EDIT_COPY},
        {QKeySequence(Qt::SHIFT | Qt::Key_Insert), ID_EDIT_PASTE},
        {QKeySequence(Qt::Key_F6), ID_NEXT_PANE},
        {QKeySequence(Qt::SHIFT | Qt::Key_F6), ID_PREV_PANE},
        {QKeySequence(Qt::SHIFT | Qt::Key_F1), ID_CONTEXT_HELP},
        {QKeySequence(Qt::Key_F1), ID_HELP},
        {QKeySequence(Qt::CTRL | Qt::Key_I), ID_FILE_IMPORT},
        // Ctrl+= is the unshifted key that carries "+" on most keyboards.
        {QKeySequence(Qt::CTRL | Qt::Key_Plus), ID_ZOOM_IN},
        {QKeySequence(Qt::CTRL | Qt::Key_Equal), ID_ZOOM_IN},
        {QKeySequence(Qt::CTRL | Qt::Key_Minus), ID_ZOOM_OUT},
        {QKeySequence(Qt::CTRL | Qt::Key_0), ID_ZOOM_RESTORE},
        {QKeySequence(Qt::ALT | Qt::Key_Return), ID_FILE_PROPERTIES},
        {QKeySequence(Qt::ALT | Qt::Key_Enter), ID_FILE_PROPERTIES},
    };
    return accels;
}

const std::vector<std::vector<UINT>>& CCommandTable::RadioGroups() {
    static const std::vector<std::vector<UINT>> groups = {
        {ID_VIEW_UNITS_IMPERIAL, ID_VIEW_UNITS_METRIC},
        {ID_VIEW_XAXIS_DISTANCE, ID_VIEW_XAXIS_ELAPSED, ID_VIEW_XAXIS_TIME_OF_DAY},
        {ID_VIEW_COLOUR_NONE, ID_VIEW_COLOUR_GRADE, ID_VIEW_COLOUR_SPEED, ID_VIEW_COLOUR_HEART_RATE,
         ID_VIEW_COLOUR_ELEVATION},
        {ID_VIEW_PROPORTIONS_OFF, ID_VIEW_PROPORTIONS_1X, ID_VIEW_PROPORTIONS_2X,
         ID_VIEW_PROPORTIONS_5X}};
    return groups;
}

const std::vector<UINT>& CCommandTable::ContextMenu() {
    static const std::vector<UINT> menu = {
        ID_PLOT_ELEVATION,    ID_PLOT_3D,  0, ID_ZOOM_IN, ID_ZOOM_OUT, ID_ZOOM_RESTORE, 0,
        ID_FILE_EXPORT_IMAGE, ID_EDIT_COPY};
    return menu;
}

const std::vector<UINT>& CCommandTable::ToolBar(UINT nIDResource) {
    static const std::vector<UINT> mainBar = {ID_FILE_NEW,
                                              ID_FILE_OPEN,
                                              ID_FILE_SAVE,
                                              0,
                                              ID_FILE_PRINT,
                                              0,
                                              ID_APP_ABOUT,
                                              ID_CONTEXT_HELP,
                                              0,
                                              ID_FILE_IMPORT,
                                              0,
                                              ID_PLOT_ELEVATION,
                                              ID_PLOT_3D,
                                              ID_ZOOM_IN,
                                              ID_ZOOM_OUT,
                                              ID_ZOOM_RESTORE};
    static const std::vector<UINT> rotateBar = {ID_ROTATE_LEFT, ID_ROTATE_RIGHT, ID_ROTATE_UP,
                                                ID_ROTATE_DOWN, ID_ROTATE_RESTORE};
    static const std::vector<UINT> none;
    if (nIDResource == IDR_MAINFRAME)
        return mainBar;
    if (nIDResource == IDR_ROTATEBAR)
        return rotateBar;
    return none;
}
