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

// Sorted by id.
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
    {ID_FILE_PROPERTIES, "Show the statistics of the track\nProperties"},
    {ID_VIEW_UNITS_IMPERIAL, "Show distances in miles and elevations in feet\nImperial Units"},
    {ID_VIEW_UNITS_METRIC, "Show distances in kilometres and elevations in metres\nMetric Units"},
    {ID_FILE_EXPORT_IMAGE, "Save the plot as a PNG, SVG or PDF file\nExport Image"},
    {AFX_IDS_APP_TITLE, "Vorlan"},
    {AFX_IDS_IDLEMESSAGE, "For Help, press F1"},
    {AFX_IDS_HELPMODEMESSAGE, "Select an object on which to get Help"},
    {57600, "Create a new document\nNew"},
    {57601, "Open an existing document\nOpen"},
    {57602, "Close the active document\nClose"},
    {57603, "Save the active document\nSave"},
    {57604, "Save the active document with a new name\nSave As"},
    {57605, "Change the printing options\nPage Setup"},
    {57606, "Change the printer and printing options\nPrint Setup"},
    {57607, "Print the active document\nPrint"},
    {57609, "Display full pages\nPrint Preview"},
    {57616, "Open this document"},
    {57617, "Open this document"},
    {57618, "Open this document"},
    {57619, "Open this document"},
    {57620, "Open this document"},
    {57621, "Open this document"},
    {57622, "Open this document"},
    {57623, "Open this document"},
    {57624, "Open this document"},
    {57625, "Open this document"},
    {57626, "Open this document"},
    {57627, "Open this document"},
    {57628, "Open this document"},
    {57629, "Open this document"},
    {57630, "Open this document"},
    {57631, "Open this document"},
    {57632, "Erase the selection\nErase"},
    {57633, "Erase everything\nErase All"},
    {57634, "Copy the selection and put it on the Clipboard\nCopy"},
    {57635, "Cut the selection and put it on the Clipboard\nCut"},
    {57636, "Find the specified text\nFind"},
    {57637, "Insert Clipboard contents\nPaste"},
    {57640, "Repeat the last action\nRepeat"},
    {57641, "Replace specific text with different text\nReplace"},
    {57642, "Select the entire document\nSelect All"},
    {57643, "Undo the last action\nUndo"},
    {57644, "Redo the previously undone action\nRedo"},
    {57648, "Open another window for the active document\nNew Window"},
    {57649, "Arrange icons at the bottom of the window\nArrange Icons"},
    {57650, "Arrange windows so they overlap\nCascade Windows"},
    {57651, "Arrange windows as non-overlapping tiles\nTile Windows"},
    {57652, "Arrange windows as non-overlapping tiles\nTile Windows"},
    {57653, "Split the active window into panes\nSplit"},
    {57664, "Display program information, version number and copyright\nAbout"},
    {57665, "Quit the application; prompts to save documents\nExit"},
    {57666, "Opens Help\nHelp Topics"},
    {57667, "List Help topics\nHelp Topics"},
    {57668, "Display instructions about how to use help\nHelp"},
    {57669, "Display help for clicked on buttons, menus and windows\nHelp"},
    {57670, "Display help for current task or command\nHelp"},
    {57680, "Switch to the next window pane\nNext Pane"},
    {57681, "Switch back to the previous window pane\nPrevious Pane"},
    {59136, "EXT"},
    {59137, "CAP"},
    {59138, "NUM"},
    {59139, "SCRL"},
    {59140, "OVR"},
    {59141, "REC"},
    {59392, "Show or hide the toolbar\nToggle ToolBar"},
    {59393, "Show or hide the status bar\nToggle StatusBar"},
    {61184, "Change the window size"},
    {61185, "Change the window position"},
    {61186, "Reduce the window to an icon"},
    {61187, "Enlarge the window to full size"},
    {61188, "Switch to the next document window"},
    {61189, "Switch to the previous document window"},
    {61190, "Close the active window and prompts to save the documents"},
    {61202, "Restore the window to normal size"},
    {61203, "Activate Task List"},
    {61215, "Activate this window"},
    {AFX_IDS_PREVIEW_CLOSE, "Close print preview mode\nCancel Preview"},
};

constexpr bool IsSorted() {
    for (size_t i = 1; i < std::size(kStrings); ++i)
        if (kStrings[i - 1].nID >= kStrings[i].nID)
            return false;
    return true;
}
static_assert(IsSorted(), "string table must be sorted by id");

QString Part(UINT nID, int nPart) {
    const QString text = CStringTable::Load(nID);
    const qsizetype nl = text.indexOf(QLatin1Char('\n'));
    if (nl < 0)
        return nPart == 0 ? text : QString();
    return nPart == 0 ? text.left(nl) : text.mid(nl + 1);
}
} // namespace

QString CStringTable::Load(UINT nID) {
    const auto it = std::lower_bound(std::begin(kStrings), std::end(kStrings), nID,
                                     [](const StringEntry& e, UINT id) { return e.nID < id; });
    if (it == std::end(kStrings) || it->nID != nID)
        return QString();
    return QString::fromLatin1(it->pszText);
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
