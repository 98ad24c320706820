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
