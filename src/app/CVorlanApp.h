// The application object: the Qt application with the drawing palette m_tools, the start-up
// sequence (settings, recent files, document template, main frame, command line with its print
// switches), the application's commands (New, Open, Print Setup, About, recent files, Exit), the
// session's printer and the shared services that documents and frames reach through
// VorlanApp().
#pragma once

#include "CDrawTools.h"
#include "CGraphs.h"
#include "CMapSourceFormat.h"
#include "CRecentFileList.h"
#include "CTerrainModule.h"
#include "CTimeAxis.h"
#include "CTrackColours.h"
#include "CWinApp.h"
#include "Units.h"

#include <QStringList>

#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <vector>

class CCommandLineInfo;
class CDocument;
class CMainFrame;
class CMultiDocTemplate;
class CSingleInstance;
class CVorlanDoc;
class QPrinter;

class CVorlanApp : public CWinApp {
    Q_OBJECT
public:
    CVorlanApp(int& argc, char** argv);
    ~CVorlanApp() override;

    // The start-up sequence; false when the program is to end at once: the main frame cannot be
    // created, the command line is wrong or names a document that cannot be opened (reported),
    // or the command line's print job is done. ExitCode() then gives the exit status.
    bool InitInstance(const QStringList& arguments);
    int ExitCode() const { return m_nExitCode; }
    // True while the command line's print or export job runs: no window shows, and messages go
    // to stderr.
    bool IsShellPrinting() const { return m_bShellPrint; }
    // True when later starts hand their documents to this instance.
    bool IsShellOpenServer() const;
    // Closes every document and destroys the main frame (the end of a run, or of a test).
    void ExitInstance();

    CMainFrame* GetMainFrame() const { return m_pMainWnd; }
    CMultiDocTemplate* GetDocTemplate() const { return m_pDocTemplate.get(); }
    CRecentFileList& RecentFileList() { return m_recentFiles; }
    // The printer of the session: Print Setup's choices stay with it until the program ends.
    QPrinter* GetPrinter() override;
    QWidget* GetMainWnd() const override;
    QMdiArea* GetMDIArea() const override;
    QIcon DocumentIcon() const override;
    // A message box with the application's title over the main window; while the command
    // line's print job runs, the message goes to stderr instead.
    void ShowMessage(const QString& strText) override;
    bool IsInteractive() const override { return !m_bShellPrint; }
    // The coordinate format of MapSource exports, carried from one import of the run to the
    // next.
    CMapSourceFormat& MapSourceFormat() { return m_mapSourceFormat; }

    // Opens a document file (an open one is activated); nullptr after a reported failure, whose
    // message pstrError receives if given.
    CDocument* OpenDocumentFile(const QString& strPath, QString* pstrError = nullptr);
    // A file named on the command line, handed over by a later start or dropped on the main
    // window: a track file (".txt", ".gpx", ".fit", ... in any case) is imported into a new
    // document titled after the file's base name, anything else opened as a document file.
    // bMakeVisible is false for the command line's print and export jobs. nullptr after a
    // failure, which leaves no document behind; its message goes to pstrError if given, else
    // to the user.
    CDocument* OpenDocumentOrTrack(const QString& strPath, bool bMakeVisible = true,
                                   QString* pstrError = nullptr);
    // Opens every file of paths that can be opened and reports those that cannot in one
    // message (also kept in *pErrors when given); returns how many opened.
    int OpenFiles(const QStringList& paths, QStringList* pErrors = nullptr);
    // What an import found: in the status bar, or on stderr while the command line's print or
    // export job runs.
    void ShowNote(const QString& strNote);
    void AddToRecentFileList(const QString& strPath) override;
    void CloseAllDocuments();
    void SaveStdProfileSettings();
    // Asks for a document file name: an existing one to open, or one to save as (".vrl" is
    // appended when the name has no extension of that kind). strName holds the proposed name
    // and receives the choice; false when the user cancelled.
    bool DoPromptFileName(QString& strName, bool bOpenFileDialog) override;

    BOOL OnCmdMsg(UINT nID, CmdCode nCode, CCmdUI* pCmdUI) override;

    void OnAppAbout();
    void OnFileNew();
    void OnFileOpen();
    void OnFilePrintSetup();
    void OnAppExit();
    void OnViewSmoothLines();
    void OnUpdateViewSmoothLines(CCmdUI* pCmdUI);

    // The units every number is shown in (View, Units), kept in the settings. A change refills
    // the plot of every open document and redraws its views.
    Units DisplayUnits() const { return m_units; }
    void SetDisplayUnits(Units units);
    void OnViewUnitsImperial();
    void OnViewUnitsMetric();
    void OnUpdateViewUnitsImperial(CCmdUI* pCmdUI);
    void OnUpdateViewUnitsMetric(CCmdUI* pCmdUI);
    // What the elevation chart's x axis shows (View, X Axis), kept in the settings; a change
    // refills every pane.
    XAxis ChartXAxis() const { return m_xAxis; }
    void SetChartXAxis(XAxis axis);
    // What colours the track (View, Colour Track By), kept in the settings; a change refills
    // every pane.
    ColourBy TrackColours() const { return m_colourBy; }
    // The graphs a new pane stacks under its chart, a bit each by GraphKind: those last checked
    // under View, Graphs in any pane, kept in the settings.
    unsigned DefaultGraphs() const { return m_nGraphs; }
    void SetDefaultGraphs(unsigned nGraphs);
    // Every open document's panes fill their charts again (units, axis, colours).
    void RefillEveryDocument();
    // The folder of elevation tiles (View, Elevation Data Folder...), kept in the settings, else
    // $VORLAN_DEM; empty for none.
    QString ElevationFolder() const;
    void SetElevationFolder(const QString& strFolder);
    // View, Terrain: the ground shown where the tiles cover the track; kept in the settings.
    bool ShowsTerrain() const { return m_bTerrain; }
    // The ground under the points, from the folder's tiles; none without a folder or when the
    // terrain module cannot be loaded (its reason then in the message).
    GroundAlong GroundOf(std::span<const double> lat, std::span<const double> lon);
    // The ground around the track for the 3D view, from the folder GroundOf used last.
    std::unique_ptr<CGroundHeights> TrackGround(const CTrack& track);
    // The ground around the points as a model to print (File, Export 3D Model), from the
    // folder's tiles; none, with the reason, without a folder or the terrain module.
    StlModel TerrainModelStl(std::span<const double> lat, std::span<const double> lon,
                             std::span<const std::uint32_t> segmentStarts, double fExaggeration,
                             double fBaseMm);
    // View, True Proportions: 0 (off, each axis fitted on its own) or the vertical
    // exaggeration of one scale for the three axes, 1, 2 or 5; kept in the settings.
    int TrueProportions() const { return m_nTrueProportions; }
    void SetTrueProportions(int nExaggeration);
    void OnViewTerrain();
    void OnUpdateViewTerrain(CCmdUI* pCmdUI);
    void OnViewElevationFolder();
    // After a change of the folder: every document measures its ground again and refills.
    void MeasureGroundOfEveryDocument();
    void SetTrackColours(ColourBy by);

    // The palette that all drawing uses, built right after the Qt application.
    CDrawTools m_tools;
    // View, Smooth Lines: the screen draws anti-aliased lines; kept in the settings.
    bool m_bSmoothLines = false;

private:
    bool ProcessShellCommand(const CCommandLineInfo& cmdInfo);
    // The printer that --print or --print-to names; false (reported) when there is none.
    bool SetUpShellPrinter(const CCommandLineInfo& cmdInfo);
    bool PrintDocumentFile(const QString& strPath);
    bool ExportDocumentFile(const CCommandLineInfo& cmdInfo);
    // --dem: the folder of tiles and the terrain for this run only, neither kept in the
    // settings; false (reported) when the folder holds no tiles.
    bool UseElevationFolderOfRun(const QString& strFolder);
    // What the tiles lack under the document's track, on stderr with the import's notes.
    void ShowGroundNote(const CVorlanDoc& doc);
    // The terrain service on the elevation folder; nullptr without a folder, or with the reason
    // in *pstrProblem when the terrain module cannot be loaded.
    CTerrainService* TerrainOnFolder(std::string* pstrProblem);
    // Documents handed over by a later start: opened once no dialog is open, then the main
    // window comes to the front.
    void OnShellOpen(const QStringList& paths, quint64 nRequest);
    void OpenPendingShellFiles();
    void OnOpenRecentFile(int nIndex);
    void OnUpdateRecentFileMenu(CCmdUI* pCmdUI);

    CMainFrame* m_pMainWnd = nullptr;
    std::unique_ptr<CMultiDocTemplate> m_pDocTemplate;
    CRecentFileList m_recentFiles;
    std::unique_ptr<QPrinter> m_pPrinter;
    CMapSourceFormat m_mapSourceFormat;
    std::unique_ptr<CSingleInstance> m_pShellOpen;
    // Files handed over by later starts, with the request each start waits on.
    struct ShellRequest {
        QStringList paths;
        quint64 nRequest;
    };
    std::vector<ShellRequest> m_pendingShellFiles;
    int m_nExitCode = 0;
    bool m_bShellPrint = false;
    Units m_units = Units::imperial;
    XAxis m_xAxis = XAxis::distance;
    ColourBy m_colourBy = ColourBy::none;
    unsigned m_nGraphs = 0;
    QString m_strElevationFolder;
    bool m_bTerrain = true;
    int m_nTrueProportions = 0;
    CTerrainModule m_terrain;
};

// The running application as the program's own class.
CVorlanApp* VorlanApp();
