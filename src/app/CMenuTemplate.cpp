#include "CMenuTemplate.h"

#include "Resource.h"

namespace {
constexpr MenuItem kSeparator = {nullptr, 0, false};

// View, Units: the units every number is shown in.
const std::vector<MenuItem> kUnitsMenu = {
    {"&Imperial (ft, mi)", ID_VIEW_UNITS_IMPERIAL, false},
    {"&Metric (m, km)", ID_VIEW_UNITS_METRIC, false},
};
const MenuItem kUnitsItem = {"&Units", 0, false, &kUnitsMenu,
                             "Chooses the units of every distance and elevation shown."};
const std::vector<MenuItem> kXAxisMenu = {
    {"&Distance", ID_VIEW_XAXIS_DISTANCE, false},
    {"&Elapsed Time", ID_VIEW_XAXIS_ELAPSED, false},
    {"&Time of Day", ID_VIEW_XAXIS_TIME_OF_DAY, false},
};
const MenuItem kXAxisItem = {"&X Axis", 0, false, &kXAxisMenu,
                             "Chooses what the elevation chart's horizontal axis shows."};
const std::vector<MenuItem> kColourMenu = {
    {"&None", ID_VIEW_COLOUR_NONE, false},
    {"&Grade", ID_VIEW_COLOUR_GRADE, false},
    {"&Speed", ID_VIEW_COLOUR_SPEED, false},
    {"&Heart Rate", ID_VIEW_COLOUR_HEART_RATE, false},
    {"&Elevation", ID_VIEW_COLOUR_ELEVATION, false},
};
const MenuItem kColourItem = {"&Colour Track By", 0, false, &kColourMenu,
                              "Colours the track point by point by what it measures."};
const std::vector<MenuItem> kGraphsMenu = {
    {"&Speed", ID_VIEW_GRAPH_FIRST, false},
    {"&Heart Rate", ID_VIEW_GRAPH_FIRST + 1, false},
    {"&Cadence", ID_VIEW_GRAPH_FIRST + 2, false},
    {"&Power", ID_VIEW_GRAPH_FIRST + 3, false},
    {"&Temperature", ID_VIEW_GRAPH_FIRST + 4, false},
    {"&Grade", ID_VIEW_GRAPH_FIRST + 5, false},
};
const std::vector<MenuItem> kProportionsMenu = {
    {"&Off", ID_VIEW_PROPORTIONS_OFF, false},
    {"&1x", ID_VIEW_PROPORTIONS_1X, false},
    {"&2x", ID_VIEW_PROPORTIONS_2X, false},
    {"&5x", ID_VIEW_PROPORTIONS_5X, false},
};
const MenuItem kProportionsItem = {"True &Proportions", 0, false, &kProportionsMenu,
                                   "One scale for the three axes of the 3D box, the heights "
                                   "exaggerated 1, 2 or 5 times."};
const MenuItem kGraphsItem = {"&Graphs", 0, false, &kGraphsMenu,
                              "Stacks graphs of the track's channels under the elevation chart."};

const std::vector<MenuPopup>& MainFrameMenu() {
    static const std::vector<MenuPopup> menu = {
        {"&File",
         {{"&New\tCtrl+N", ID_FILE_NEW, false},
          {"&Open...\tCtrl+O", ID_FILE_OPEN, false},
          kSeparator,
          {"P&rint Setup...", ID_FILE_PRINT_SETUP, false},
          kSeparator,
          {"Recent File", ID_FILE_MRU_FILE1, true},
          kSeparator,
          {"E&xit", ID_APP_EXIT, false}}},
        {"&View",
         {{"&Toolbar", ID_VIEW_TOOLBAR, false},
          {"&Status Bar", ID_VIEW_STATUS_BAR, false},
          kSeparator,
          {"S&mooth Lines", ID_VIEW_SMOOTH_LINES, false},
          kUnitsItem,
          kXAxisItem,
          kGraphsItem,
          kColourItem,
          kSeparator,
          kProportionsItem,
          {"Te&rrain", ID_VIEW_TERRAIN, false},
          {"&Elevation Data Folder...", ID_VIEW_ELEVATION_FOLDER, false}}},
        {"&Help",
         {{"&Help Topics", ID_HELP_FINDER, false},
          kSeparator,
          {"&About Vorlan...", ID_APP_ABOUT, false}}},
    };
    return menu;
}

const std::vector<MenuPopup>& DocumentMenu() {
    static const std::vector<MenuPopup> menu = {
        {"&File",
         {{"&New\tCtrl+N", ID_FILE_NEW, false},
          {"&Open...\tCtrl+O", ID_FILE_OPEN, false},
          {"&Close", ID_FILE_CLOSE, false},
          {"&Save\tCtrl+S", ID_FILE_SAVE, false},
          {"Save &As...", ID_FILE_SAVE_AS, false},
          kSeparator,
          {"&Import...\tCtrl+I", ID_FILE_IMPORT, false},
          kSeparator,
          {"&Print...\tCtrl+P", ID_FILE_PRINT, false},
          {"Print Pre&view", ID_FILE_PRINT_PREVIEW, false},
          {"P&rint Setup...", ID_FILE_PRINT_SETUP, false},
          kSeparator,
          {"Export &Image...", ID_FILE_EXPORT_IMAGE, false},
          {"Export Trac&k...", ID_FILE_EXPORT_TRACK, false},
          {"Export 3D &Model...", ID_FILE_EXPORT_MODEL, false},
          {"Proper&ties...\tAlt+Enter", ID_FILE_PROPERTIES, false},
          kSeparator,
          {"Recent File", ID_FILE_MRU_FILE1, true},
          kSeparator,
          {"E&xit", ID_APP_EXIT, false}}},
        {"&Edit", {{"&Undo\tCtrl+Z", ID_EDIT_UNDO, false}, {"&Copy\tCtrl+C", ID_EDIT_COPY, false}}},
        {"&View",
         {{"&Toolbar", ID_VIEW_TOOLBAR, false},
          {"&Status Bar", ID_VIEW_STATUS_BAR, false},
          kSeparator,
          {"S&mooth Lines", ID_VIEW_SMOOTH_LINES, false},
          kUnitsItem,
          kXAxisItem,
          kGraphsItem,
          kColourItem,
          kSeparator,
          kProportionsItem,
          {"Te&rrain", ID_VIEW_TERRAIN, false},
          {"&Elevation Data Folder...", ID_VIEW_ELEVATION_FOLDER, false}}},
        {"&Track", {{"Elevations from &Terrain", ID_TRACK_ELEVATIONS_FROM_TERRAIN, false}}},
        {"&Window",
         {{"&New Window", ID_WINDOW_NEW, false},
          {"&Cascade", ID_WINDOW_CASCADE, false},
          {"&Tile", ID_WINDOW_TILE_HORZ, false},
          {"&Arrange Icons", ID_WINDOW_ARRANGE, false},
          {"S&plit", ID_WINDOW_SPLIT, false},
          {"C&hart and 3D", ID_WINDOW_CHART_AND_3D, false}}},
        {"&Plot",
         {{"&Elevation", ID_PLOT_ELEVATION, false},
          {"3&D-Elevation", ID_PLOT_3D, false},
          kSeparator,
          {"Zoom &In\tCtrl++", ID_ZOOM_IN, false},
          {"Zoom &Out\tCtrl+-", ID_ZOOM_OUT, false},
          {"&Restore Zoom\tCtrl+0", ID_ZOOM_RESTORE, false},
          kSeparator,
          {"Rotate &Left", ID_ROTATE_LEFT, false},
          {"Rotate Ri&ght", ID_ROTATE_RIGHT, false},
          {"Rotate &Up", ID_ROTATE_UP, false},
          {"Rotate Do&wn", ID_ROTATE_DOWN, false},
          {"Restore &Position", ID_ROTATE_RESTORE, false}}},
        {"&Help",
         {{"&Help Topics", ID_HELP_FINDER, false},
          kSeparator,
          {"&About Vorlan...", ID_APP_ABOUT, false}}},
    };
    return menu;
}
} // namespace

const std::vector<MenuPopup>& CMenuTemplate::Menu(UINT nIDResource) {
    static const std::vector<MenuPopup> none;
    if (nIDResource == IDR_MAINFRAME)
        return MainFrameMenu();
    if (nIDResource == IDR_VORLANTYPE)
        return DocumentMenu();
    return none;
}
