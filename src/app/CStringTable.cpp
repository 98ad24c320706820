#include "CStringTable.h"

#include "Resource.h"

#include <QStringList>

#include <algorithm>
#include <iterator>

namespace {
struct StringEntry {
    UINT nID;
    const char* pszText;
};

// Sorted by id. Only strings something shows: the prompts of the commands the program has (the
// four recent files among them), the three lock-key indicators and the window list's prompt.
constexpr StringEntry kStrings[] = {
    {IDR_MAINFRAME, "Vorlan"},
    {IDR_VORLANTYPE,
     "\nVorlan\nVorlan\nVorlan Files (*.vrl)\n.vrl\nVorlan.Document\nVorlan Document"},
    {ID_PLOT_ELEVATION, "Plot elevation vs distance\nPlot"},
    {ID_FILE_IMPORT, "Import a Mapsource Txt file\nImport"},
    {ID_PLOT_3D, "Plot a 3-dimensional object\nPlot 3D"},
    {ID_ZOOM_IN, "Zoom in\nZoom In"},
    {ID_ZOOM_OUT, "Zoom Out\nZoom Out"},
    {ID_ZOOM_RESTORE, "Restore from zoom in/out\nRestore"},
    {ID_ROTATE_UP, "Rotate up\nUp"},
    {ID_ROTATE_DOWN, "Rotate down\nDown"},
    {ID_ROTATE_LEFT, "Rotate to the left\nLeft"},
    {ID_ROTATE_RIGHT, "Rotate to the right\nRight"},
    {ID_ROTATE_RESTORE, "Restore to the original position\nRestore"},
    {ID_VIEW_SMOOTH_LINES, "Draw the plot's lines with smoothed edges\nSmooth Lines"},
    {ID_FILE_PROPERTIES, "Show the statistics of the track\nProperties"},
    {ID_VIEW_UNITS_IMPERIAL, "Show distances in miles and elevations in feet\nImperial Units"},
    {ID_VIEW_UNITS_METRIC, "Show distances in kilometres and elevations in metres\nMetric Units"},
    {ID_FILE_EXPORT_IMAGE, "Save the plot as a PNG, SVG or PDF file\nExport Image"},
    {ID_FILE_EXPORT_TRACK, "Save the track's points as a GPX or CSV file\nExport Track"},
    {ID_WINDOW_CHART_AND_3D, "Show the elevation chart and the 3D view side by side\nChart and 3D"},
    {ID_VIEW_XAXIS_DISTANCE, "Show the elevation over the distance\nDistance"},
    {ID_VIEW_XAXIS_ELAPSED, "Show the elevation over the time since the start\nElapsed Time"},
    {ID_VIEW_XAXIS_TIME_OF_DAY, "Show the elevation over the time of day\nTime of Day"},
    {ID_VIEW_COLOUR_NONE, "Draw the track in one colour\nNo Colours"},
    {ID_VIEW_COLOUR_GRADE, "Colour the track by its grade\nColour by Grade"},
    {ID_VIEW_COLOUR_SPEED, "Colour the track by its speed\nColour by Speed"},
    {ID_VIEW_COLOUR_HEART_RATE, "Colour the track by the heart rate\nColour by Heart Rate"},
    {ID_VIEW_COLOUR_ELEVATION, "Colour the track by its elevation\nColour by Elevation"},
    {ID_VIEW_GRAPH_FIRST, "Show a graph of the speed under the chart\nSpeed Graph"},
    {ID_VIEW_GRAPH_FIRST + 1, "Show a graph of the heart rate under the chart\nHeart Rate Graph"},
    {ID_VIEW_GRAPH_FIRST + 2, "Show a graph of the cadence under the chart\nCadence Graph"},
    {ID_VIEW_GRAPH_FIRST + 3, "Show a graph of the power under the chart\nPower Graph"},
    {ID_VIEW_GRAPH_FIRST + 4, "Show a graph of the temperature under the chart\nTemperature Graph"},
    {ID_VIEW_GRAPH_FIRST + 5, "Show a graph of the grade under the chart\nGrade Graph"},
    {ID_VIEW_TERRAIN, "Show the ground from the elevation tiles\nTerrain"},
    {ID_VIEW_ELEVATION_FOLDER, "Choose the folder of elevation tiles\nElevation Data Folder"},
    {ID_VIEW_PROPORTIONS_OFF, "Fit each axis of the 3D box on its own\nTrue Proportions Off"},
    {ID_VIEW_PROPORTIONS_1X, "One scale for the three axes of the 3D box\nTrue Proportions"},
    {ID_VIEW_PROPORTIONS_2X, "One scale, heights twice as tall\nTrue Proportions 2x"},
    {ID_VIEW_PROPORTIONS_5X, "One scale, heights five times as tall\nTrue Proportions 5x"},
    {ID_TRACK_ELEVATIONS_FROM_TERRAIN,
     "Take the track's elevations from the elevation tiles\nElevations from Terrain"},
    {ID_FILE_EXPORT_MODEL,
     "Save the ground around the track as a model to print in 3D (STL)\nExport 3D Model"},
    {AFX_IDS_APP_TITLE, "Vorlan"},
    {AFX_IDS_IDLEMESSAGE, "For Help, press F1"},
    {AFX_IDS_HELPMODEMESSAGE, "Select an object on which to get Help"},
    {57600, "Create a new document\nNew"},
    {57601, "Open an existing document\nOpen"},
    {57602, "Close the active document\nClose"},
    {57603, "Save the active document\nSave"},
    {57604, "Save the active document with a new name\nSave As"},
    {57606, "Change the printer and printing options\nPrint Setup"},
    {57607, "Print the active document\nPrint"},
    {57609, "Display full pages\nPrint Preview"},
    {57616, "Open this document"},
    {57617, "Open this document"},
    {57618, "Open this document"},
    {57619, "Open this document"},
    {57634, "Copy the selection and put it on the Clipboard\nCopy"},
    {57635, "Cut the selection and put it on the Clipboard\nCut"},
    {57637, "Insert Clipboard contents\nPaste"},
    {57643, "Undo the last action\nUndo"},
    {57648, "Open another window for the active document\nNew Window"},
    {57649, "Arrange icons at the bottom of the window\nArrange Icons"},
    {57650, "Arrange windows so they overlap\nCascade Windows"},
    {57651, "Arrange windows as non-overlapping tiles\nTile Windows"},
    {57653, "Split the active window into panes\nSplit"},
    {57664, "Display program information, version number and copyright\nAbout"},
    {57665, "Quit the application; prompts to save documents\nExit"},
    {57667, "List Help topics\nHelp Topics"},
    {57669, "Display help for clicked on buttons, menus and windows\nHelp"},
    {57670, "Display help for current task or command\nHelp"},
    {57680, "Switch to the next window pane\nNext Pane"},
    {57681, "Switch back to the previous window pane\nPrevious Pane"},
    {59137, "CAP"},
    {59138, "NUM"},
    {59139, "SCRL"},
    {59392, "Show or hide the toolbar\nToggle ToolBar"},
    {59393, "Show or hide the status bar\nToggle StatusBar"},
    {61215, "Activate this window"},
};

// What's This help: what a command does, with the keys and mouse gestures that belong to it.
constexpr StringEntry kWhatsThis[] = {
    {ID_PLOT_ELEVATION, "Draws the track's elevation against the distance travelled; drag a "
                        "rectangle over the chart to zoom into it (Esc cancels the drag)."},
    {ID_FILE_IMPORT, "Reads a track file into this empty document and shows it in 3D; you can "
                     "also drop a file on the window (Ctrl+I)."},
    {ID_PLOT_3D, "Draws the track in a box seen in perspective: the arrow keys turn it a degree "
                 "at a time, Home brings back the first view, and dragging a rectangle zooms in."},
    {ID_ZOOM_IN, "Doubles the plot's size around the middle of the window (Ctrl++); dragging a "
                 "rectangle over the plot zooms into that part, and Esc cancels the drag."},
    {ID_ZOOM_OUT, "Halves the plot's size around the middle of the window (Ctrl+-)."},
    {ID_ZOOM_RESTORE, "Shows the whole plot in the window again, as before any zoom (Ctrl+0)."},
    {ID_ROTATE_UP, "Tilts the 3D view up by 5 degrees; the Up arrow key tilts it by one."},
    {ID_ROTATE_DOWN, "Tilts the 3D view down by 5 degrees; the Down arrow key tilts it by one."},
    {ID_ROTATE_LEFT,
     "Turns the 3D view 5 degrees to the left; the Left arrow key turns it by one."},
    {ID_ROTATE_RIGHT,
     "Turns the 3D view 5 degrees to the right; the Right arrow key turns it by one."},
    {ID_ROTATE_RESTORE, "Turns the 3D view back to where it started, as the Home key does."},
    {ID_VIEW_SMOOTH_LINES, "Draws the plot's lines with smoothed edges on the screen; the "
                           "choice is kept for the next start."},
    {ID_FILE_PROPERTIES, "Lists the track's source, points, distance, elevations, total ascent "
                         "and descent, steepest grades and bounds (Alt+Enter)."},
    {ID_VIEW_UNITS_IMPERIAL, "Shows distances in miles and elevations in feet everywhere: "
                             "titles, ticks, 3D extents, readout and statistics."},
    {ID_VIEW_UNITS_METRIC, "Shows distances in kilometres and elevations in metres everywhere; "
                           "what documents store does not change."},
    {ID_FILE_EXPORT_IMAGE, "Saves the plot as it is on the screen as a PNG image (1, 2 or 4 "
                           "times the window's size), an SVG drawing or a PDF page."},
    {ID_FILE_EXPORT_TRACK, "Saves every point of the track with its time and sensor data as a "
                           "GPX file, which other programs read, or as a CSV table for a "
                           "spreadsheet."},
    {ID_WINDOW_CHART_AND_3D, "Splits the active window in two: the elevation chart on the left and "
                             "the 3D view on the right, each with its own zoom; the readout "
                             "marks the point under the mouse in both."},
    {ID_VIEW_XAXIS_DISTANCE, "Draws the elevation chart over the distance along the track, in "
                             "miles or kilometres, as it always has."},
    {ID_VIEW_XAXIS_ELAPSED, "Draws the elevation chart over the time since the start, with ticks "
                            "at whole minutes and hours; a track without times keeps the "
                            "distance."},
    {ID_VIEW_XAXIS_TIME_OF_DAY, "Draws the elevation chart over the time of day on this "
                                "computer's clock; a track without times keeps the distance."},
    {ID_VIEW_COLOUR_NONE, "Draws the track in the one blue of the designed plots."},
    {ID_VIEW_COLOUR_GRADE, "Colours the track by its grade, blue downhill through grey to red "
                           "uphill, saturated at 25 % either way, with a colour bar for the "
                           "scale."},
    {ID_VIEW_COLOUR_SPEED, "Colours the track by its speed, blue slow to red fast, with a colour "
                           "bar; a track without times or speeds keeps its one colour."},
    {ID_VIEW_COLOUR_HEART_RATE, "Colours the track by the heart rate, blue low to red high, with "
                                "a colour bar; a track without heart rate keeps its colour."},
    {ID_VIEW_COLOUR_ELEVATION, "Colours the track by its elevation, blue low to red high, with a "
                               "colour bar."},
    {ID_VIEW_GRAPH_FIRST, "Stacks a graph of the speed under the elevation chart, on its x axis."},
    {ID_VIEW_GRAPH_FIRST + 1, "Stacks a graph of the heart rate under the elevation chart."},
    {ID_VIEW_GRAPH_FIRST + 2, "Stacks a graph of the cadence under the elevation chart."},
    {ID_VIEW_GRAPH_FIRST + 3, "Stacks a graph of the power under the elevation chart."},
    {ID_VIEW_GRAPH_FIRST + 4, "Stacks a graph of the temperature under the elevation chart."},
    {ID_VIEW_GRAPH_FIRST + 5, "Stacks a graph of the grade under the elevation chart."},
    {ID_VIEW_TERRAIN, "Shows the ground under the track from the elevation tiles: a dashed "
                      "Terrain line on the elevation chart and its numbers in Properties."},
    {ID_VIEW_ELEVATION_FOLDER, "Chooses the folder of elevation tiles on this computer (SRTM "
                               ".hgt, zipped or not, and GeoTIFF); kept for the next start."},
    {ID_VIEW_PROPORTIONS_OFF, "Fits each axis of the 3D box to the window on its own, as it "
                              "always has."},
    {ID_VIEW_PROPORTIONS_1X, "Gives the 3D box one scale for its three axes: the land as it is."},
    {ID_VIEW_PROPORTIONS_2X, "Gives the 3D box one scale with the heights twice as tall."},
    {ID_VIEW_PROPORTIONS_5X, "Gives the 3D box one scale with the heights five times as tall."},
    {ID_TRACK_ELEVATIONS_FROM_TERRAIN, "Gives the track the ground's heights from the elevation "
                                       "tiles where they cover it; Edit, Undo brings the file's "
                                       "back."},
    {ID_FILE_EXPORT_MODEL, "Saves the ground around the track from the elevation tiles as a "
                           "solid to print in 3D, a binary STL file 150 mm across, with the "
                           "track a ridge on top; asks for the vertical exaggeration and the "
                           "base's thickness."},
    {ID_FILE_NEW, "Opens a new, empty document window; import a track into it with File, Import "
                  "(Ctrl+N)."},
    {ID_FILE_OPEN, "Opens a saved Vorlan document (.vrl) in a window of its own (Ctrl+O)."},
    {ID_FILE_CLOSE, "Closes the active document and every window that shows it."},
    {ID_FILE_SAVE, "Saves the track and its view to the document's file, asking for a name the "
                   "first time (Ctrl+S)."},
    {ID_FILE_SAVE_AS, "Saves the active document under a new name, which it keeps from then on."},
    {ID_FILE_PRINT_SETUP, "Chooses the printer or a PDF file, the paper size and the orientation "
                          "that printing uses from then on."},
    {ID_FILE_PRINT, "Prints the plot on show on one page, after a dialog for the printer, the "
                    "paper and the copies (Ctrl+P)."},
    {ID_FILE_PRINT_PREVIEW, "Shows the page as it will print; its Print button prints it."},
    {ID_FILE_MRU_FILE1, "Opens this recently used document again."},
    {ID_FILE_MRU_FILE1 + 1, "Opens this recently used document again."},
    {ID_FILE_MRU_FILE1 + 2, "Opens this recently used document again."},
    {ID_FILE_MRU_FILE1 + 3, "Opens this recently used document again."},
    {ID_EDIT_COPY, "Puts the plot on the clipboard as an image, without the readout (Ctrl+C)."},
    {ID_EDIT_UNDO, "Gives the track back the elevations it had before Elevations from "
                   "Terrain."},
    {ID_WINDOW_NEW, "Opens another window on the active document; every window follows its "
                    "changes."},
    {ID_WINDOW_ARRANGE, "Lines up the minimised document windows along the bottom of the area."},
    {ID_WINDOW_CASCADE, "Stacks the document windows so that they overlap with every title bar "
                        "in sight."},
    {ID_WINDOW_TILE_HORZ, "Arranges the document windows side by side, none covering another."},
    {ID_WINDOW_SPLIT, "Splits the active window into panes: move the split bars with the mouse or "
                      "the arrow keys, Enter places them and Esc cancels."},
    {ID_APP_ABOUT, "Shows the program's version and copyright."},
    {ID_APP_EXIT, "Closes every document window and ends the program."},
    {ID_HELP_FINDER, "Opens the user guide in your web browser."},
    {ID_CONTEXT_HELP, "After this, click a button, a menu item or the plot to learn what it does "
                      "(Shift+F1); Esc cancels."},
    {ID_HELP, "Opens the user guide at the part about what the active window shows (F1)."},
    {ID_NEXT_PANE, "Moves the focus to the next pane of a split window (F6)."},
    {ID_PREV_PANE, "Moves the focus to the previous pane of a split window (Shift+F6)."},
    {ID_VIEW_TOOLBAR, "Shows or hides the main toolbar; right-click the toolbar area to show or "
                      "hide the rotation toolbar as well."},
    {ID_VIEW_STATUS_BAR, "Shows or hides the status bar along the bottom of the window."},
};

template <std::size_t N> constexpr bool IsSorted(const StringEntry (&table)[N]) {
    for (size_t i = 1; i < N; ++i)
        if (table[i - 1].nID >= table[i].nID)
            return false;
    return true;
}
static_assert(IsSorted(kStrings), "string table must be sorted by id");
static_assert(IsSorted(kWhatsThis), "What's This table must be sorted by id");

template <std::size_t N> const char* Find(const StringEntry (&table)[N], UINT nID) {
    const auto it = std::lower_bound(std::begin(table), std::end(table), nID,
                                     [](const StringEntry& e, UINT id) { return e.nID < id; });
    return it == std::end(table) || it->nID != nID ? nullptr : it->pszText;
}

QString Part(UINT nID, int nPart) {
    const QString text = CStringTable::Load(nID);
    const qsizetype nl = text.indexOf(QLatin1Char('\n'));
    if (nl < 0)
        return nPart == 0 ? text : QString();
    return nPart == 0 ? text.left(nl) : text.mid(nl + 1);
}
} // namespace

QString CStringTable::Load(UINT nID) {
    const char* pszText = Find(kStrings, nID);
    return pszText ? QString::fromLatin1(pszText) : QString();
}

QString CStringTable::WhatsThis(UINT nID) {
    const char* pszText = Find(kWhatsThis, nID);
    return pszText ? QString::fromLatin1(pszText) : Prompt(nID);
}

QString CStringTable::Prompt(UINT nID) {
    return Part(nID, 0);
}

QString CStringTable::Tooltip(UINT nID) {
    return Part(nID, 1);
}

QString CStringTable::DocString(DocStringIndex index) {
    return Load(IDR_VORLANTYPE).split(QLatin1Char('\n')).value(index);
}
