#include "CVorlanApp.h"

#include "CAboutDlg.h"
#include "CButtonImages.h"
#include "CChildFrame.h"
#include "CCommandLineInfo.h"
#include "CDocument.h"
#include "CMainFrame.h"
#include "CMultiDocTemplate.h"
#include "CPlotExporter.h"
#include "CPrintSetupDlg.h"
#include "CScrollView.h"
#include "CSingleInstance.h"
#include "CStringTable.h"
#include "CVorlanDoc.h"
#include "CVorlanView.h"
#include "LocalPath.h"
#include "Resource.h"

#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>
#include <QPrinter>
#include <QPrinterInfo>
#include <QSettings>
#include <QTimer>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <iterator>
#include <utility>

namespace {
constexpr const char* kSmoothLinesKey = "Settings/SmoothLines";
const QString kUnitsKey = QStringLiteral("Settings/Units");
const QString kXAxisKey = QStringLiteral("Settings/XAxis");
// The x axes as the settings spell them, in the order of XAxis.
const char* const kXAxisNames[] = {"distance", "elapsed", "timeOfDay"};
const QString kColoursKey = QStringLiteral("Settings/ColourTrackBy");
const QString kGraphsKey = QStringLiteral("Settings/Graphs");
const QString kElevationFolderKey = QStringLiteral("Settings/ElevationFolder");
const QString kTerrainKey = QStringLiteral("Settings/Terrain");
const QString kProportionsKey = QStringLiteral("Settings/TrueProportions");
// View, True Proportions: off, then the vertical exaggerations, and their commands.
constexpr int kExaggerations[] = {0, 1, 2, 5};
constexpr UINT kProportionCommands[] = {ID_VIEW_PROPORTIONS_OFF, ID_VIEW_PROPORTIONS_1X,
                                        ID_VIEW_PROPORTIONS_2X, ID_VIEW_PROPORTIONS_5X};
// The colourings as the settings spell them, in the order of ColourBy, and their commands.
const char* const kColourNames[] = {"none", "grade", "speed", "heartRate", "elevation"};
constexpr UINT kXAxisCommands[] = {ID_VIEW_XAXIS_DISTANCE, ID_VIEW_XAXIS_ELAPSED,
                                   ID_VIEW_XAXIS_TIME_OF_DAY};
constexpr UINT kColourCommands[] = {ID_VIEW_COLOUR_NONE, ID_VIEW_COLOUR_GRADE, ID_VIEW_COLOUR_SPEED,
                                    ID_VIEW_COLOUR_HEART_RATE, ID_VIEW_COLOUR_ELEVATION};

void PrintError(const QString& strText) {
    // A file name goes out as the bytes it has on disk.
    std::fprintf(
        stderr, "vorlan: %s\n",
        LocalPath(QString(strText).replace(QLatin1Char('\n'), QStringLiteral(": "))).c_str());
}

// A command of a group of radio items, the nth of commands for the nth choice: chooses it, or
// checks the item of the choice made; false for a command outside the group.
template <std::size_t N>
bool RadioCommand(UINT nID, CmdCode nCode, CCmdUI* pCmdUI, const UINT (&commands)[N], int nChosen,
                  const std::function<void(int)>& choose) {
    const auto it = std::find(std::begin(commands), std::end(commands), nID);
    if (it == std::end(commands))
        return false;
    const int n = static_cast<int>(it - std::begin(commands));
    if (nCode == CmdCode::Command)
        choose(n);
    else if (nCode == CmdCode::Update)
        pCmdUI->SetCheck(n == nChosen ? 1 : 0);
    return true;
}
} // namespace

CVorlanApp::CVorlanApp(int& argc, char** argv)
    : CWinApp(argc, argv), m_recentFiles(kMaxRecentFiles) {
    // The settings live under the organisation and application names.
    setOrganizationName(QStringLiteral("Local AppWizard-Generated Applications"));
    setApplicationName(CStringTable::Load(AFX_IDS_APP_TITLE));
    setApplicationVersion(QStringLiteral(VORLAN_VERSION));
    // The desktop entry vorlan.desktop: the window manager shows its icon for our windows.
    setDesktopFileName(QStringLiteral("vorlan"));
}

CVorlanApp::~CVorlanApp() {
    ExitInstance();
}

CVorlanApp* VorlanApp() {
    return static_cast<CVorlanApp*>(QCoreApplication::instance());
}

QWidget* CVorlanApp::GetMainWnd() const {
    return m_pMainWnd;
}

QMdiArea* CVorlanApp::GetMDIArea() const {
    return m_pMainWnd ? m_pMainWnd->MDIArea() : nullptr;
}

QIcon CVorlanApp::DocumentIcon() const {
    return CButtonImages::Icon(CButtonImages::Image::DocumentIcon);
}

void CVorlanApp::ShowMessage(const QString& strText) {
    if (IsShellPrinting()) {
        PrintError(strText);
        return;
    }
    QMessageBox box(QMessageBox::Warning, CStringTable::Load(AFX_IDS_APP_TITLE), strText,
                    QMessageBox::Ok, AfxGetMainWnd());
    box.exec();
}

bool CVorlanApp::InitInstance(const QStringList& arguments) {
    ExitInstance();
    m_nExitCode = 1;
    CCommandLineInfo cmdInfo;
    if (!cmdInfo.ParseCommandLine(arguments)) {
        m_nExitCode = CCommandLineInfo::kUsageError;
        return false;
    }
    m_bShellPrint = cmdInfo.m_nShellCommand == CCommandLineInfo::FilePrint ||
                    cmdInfo.m_nShellCommand == CCommandLineInfo::FilePrintTo ||
                    cmdInfo.m_nShellCommand == CCommandLineInfo::FileExport;
    // Documents to open go to the instance already running, if there is one.
    if (cmdInfo.m_nShellCommand == CCommandLineInfo::FileOpen && !cmdInfo.m_bNewInstance) {
        QStringList paths;
        for (const QString& file : cmdInfo.m_strFileNames)
            paths << AbsolutePath(file);
        const CSingleInstance::HandOver handOver = CSingleInstance::SendToRunningInstance(paths);
        if (handOver != CSingleInstance::HandOver::NoInstance) {
            m_nExitCode = handOver == CSingleInstance::HandOver::Opened ? 0 : 1;
            return false;
        }
    }

    m_recentFiles.ReadList();
    m_bSmoothLines = QSettings().value(kSmoothLinesKey, false).toBool();
    // An unknown name in the settings leaves the default.
    m_units = Units::imperial;
    ParseUnits(QSettings().value(kUnitsKey).toString().toStdString(), m_units);
    m_xAxis = XAxis::distance;
    const QString axis = QSettings().value(kXAxisKey).toString();
    for (int a = 0; a < 3; ++a)
        if (axis == QLatin1String(kXAxisNames[a]))
            m_xAxis = static_cast<XAxis>(a);
    m_nGraphs = QSettings().value(kGraphsKey, 0u).toUInt() & ((1u << kGraphKinds) - 1);
    m_strElevationFolder = QSettings().value(kElevationFolderKey).toString();
    m_bTerrain = QSettings().value(kTerrainKey, true).toBool();
    if (!cmdInfo.m_strDemFolder.isEmpty() && !UseElevationFolderOfRun(cmdInfo.m_strDemFolder)) {
        m_nExitCode = CCommandLineInfo::kUsageError;
        return false;
    }
    const int nProportions = QSettings().value(kProportionsKey, 0).toInt();
    m_nTrueProportions = std::find(std::begin(kExaggerations), std::end(kExaggerations),
                                   nProportions) != std::end(kExaggerations)
                             ? nProportions
                             : 0;
    m_colourBy = ColourBy::none;
    const QString colours = QSettings().value(kColoursKey).toString();
    for (int c = 0; c < 5; ++c)
        if (colours == QLatin1String(kColourNames[c]))
            m_colourBy = static_cast<ColourBy>(c);
    m_pDocTemplate = std::make_unique<CMultiDocTemplate>(
        IDR_VORLANTYPE, CStringTable::DocString(CStringTable::docName),
        [] { return new CVorlanDoc; }, [] { return new CVorlanView; });

    m_pMainWnd = new CMainFrame;
    if (!m_pMainWnd->LoadFrame(IDR_MAINFRAME)) {
        delete m_pMainWnd;
        m_pMainWnd = nullptr;
        return false;
    }

    if (!m_bShellPrint) {
        m_pShellOpen = std::make_unique<CSingleInstance>();
        connect(m_pShellOpen.get(), &CSingleInstance::filesReceived, this,
                &CVorlanApp::OnShellOpen);
        m_pShellOpen->Listen();
    }

    // The window is up before the files named open, so that a long import shows its progress
    // in it; the command line's print and export jobs show none.
    if (!m_bShellPrint)
        m_pMainWnd->show();
    if (!ProcessShellCommand(cmdInfo))
        return false;
    if (m_bShellPrint) {
        m_nExitCode = 0;
        return false;
    }
    m_pMainWnd->UpdateAllCommandUI();
    m_nExitCode = 0;
    return true;
}

bool CVorlanApp::ProcessShellCommand(const CCommandLineInfo& cmdInfo) {
    switch (cmdInfo.m_nShellCommand) {
    case CCommandLineInfo::FileNew:
        OnFileNew();
        return true;
    case CCommandLineInfo::FileOpen: {
        // The program runs with what opened; it ends (status 1) only when nothing did. The
        // messages go to stderr too, for a start from a terminal.
        QStringList errors;
        const int nOpened = OpenFiles(cmdInfo.m_strFileNames, &errors);
        for (const QString& error : errors)
            PrintError(error);
        return nOpened > 0;
    }
    case CCommandLineInfo::FilePrint:
    case CCommandLineInfo::FilePrintTo:
        if (!SetUpShellPrinter(cmdInfo))
            return false;
        for (const QString& path : cmdInfo.m_strFileNames)
            if (!PrintDocumentFile(path))
                return false;
        return true;
    case CCommandLineInfo::FileExport:
        return ExportDocumentFile(cmdInfo);
    }
    return false;
}

// Opens the document without showing its window, draws the plot asked for as a window of the
// given size would show it, writes the file and closes the document.
bool CVorlanApp::ExportDocumentFile(const CCommandLineInfo& cmdInfo) {
    auto* pDoc =
        static_cast<CVorlanDoc*>(OpenDocumentOrTrack(cmdInfo.m_strFileNames.value(0), false));
    if (!pDoc)
        return false;
    auto* pView = static_cast<CVorlanView*>(pDoc->GetViews().value(0));
    if (!pView) {
        pDoc->OnCloseDocument();
        return false;
    }
    ShowGroundNote(*pDoc);
    pView->ShowPlot(cmdInfo.m_bExport3D ? CVorlanDoc::kPlot3D : CVorlanDoc::kPlotElevation);
    CPlotExporter exporter(*pDoc, *pView->Plot(), pView->PlotMode(), cmdInfo.m_sizeExport,
                           CPlotExporter::kDefaultDpi);
    const QString strError = exporter.Save(cmdInfo.m_strExportFile, 1);
    pDoc->OnCloseDocument();
    if (!strError.isEmpty())
        AfxMessageBox(strError);
    return strError.isEmpty();
}

// The folder is checked before any document opens, so that a mistyped name never passes for
// ground without data.
bool CVorlanApp::UseElevationFolderOfRun(const QString& strFolder) {
    CTerrainService* pService = m_terrain.Service();
    const QString problem =
        pService ? QtPath(pService->CheckFolder(LocalPath(strFolder)))
                 : QStringLiteral("the elevation tiles cannot be read: %1").arg(m_terrain.Error());
    if (!problem.isEmpty()) {
        PrintError(QStringLiteral("--dem %1: %2").arg(strFolder, problem));
        return false;
    }
    m_strElevationFolder = strFolder;
    m_bTerrain = true;
    return true;
}

void CVorlanApp::ShowGroundNote(const CVorlanDoc& doc) {
    if (m_bTerrain && !doc.m_ground.message.empty())
        ShowNote(QtPath(doc.m_ground.message));
}

bool CVorlanApp::SetUpShellPrinter(const CCommandLineInfo& cmdInfo) {
    const QString& name = cmdInfo.m_strPrinterName;
    if (cmdInfo.m_nShellCommand == CCommandLineInfo::FilePrintTo && cmdInfo.PrintsToPdf()) {
        m_pPrinter = std::make_unique<QPrinter>(QPrinter::HighResolution);
        m_pPrinter->setOutputFormat(QPrinter::PdfFormat);
        m_pPrinter->setOutputFileName(AbsolutePath(name));
        return true;
    }
    const QPrinterInfo info = cmdInfo.m_nShellCommand == CCommandLineInfo::FilePrintTo
                                  ? QPrinterInfo::printerInfo(name)
                                  : QPrinterInfo::defaultPrinter();
    if (info.isNull()) {
        AfxMessageBox(cmdInfo.m_nShellCommand == CCommandLineInfo::FilePrintTo
                          ? name + QStringLiteral("\nThere is no printer of this name.")
                          : QStringLiteral("There is no default printer."));
        return false;
    }
    m_pPrinter = std::make_unique<QPrinter>(info, QPrinter::HighResolution);
    return true;
}

// Opens the document without showing its window, prints it without a dialog and closes it.
bool CVorlanApp::PrintDocumentFile(const QString& strPath) {
    CDocument* pDoc = OpenDocumentOrTrack(strPath, false);
    if (!pDoc)
        return false;
    ShowGroundNote(*static_cast<CVorlanDoc*>(pDoc));
    CScrollView* pView = pDoc->GetViews().value(0);
    const bool bPrinted = pView && pView->DoFilePrint(true);
    pDoc->OnCloseDocument();
    return bPrinted;
}

void CVorlanApp::ExitInstance() {
    m_bShellPrint = false;
    m_pShellOpen.reset();
    m_pendingShellFiles.clear();
    if (!m_pMainWnd && !m_pDocTemplate)
        return;
    CloseAllDocuments();
    SaveStdProfileSettings();
    delete m_pMainWnd;
    m_pMainWnd = nullptr;
    m_pDocTemplate.reset();
}

bool CVorlanApp::IsShellOpenServer() const {
    return m_pShellOpen && m_pShellOpen->IsListening();
}

void CVorlanApp::OnShellOpen(const QStringList& paths, quint64 nRequest) {
    m_pendingShellFiles.push_back({paths, nRequest});
    QTimer::singleShot(0, this, &CVorlanApp::OpenPendingShellFiles);
}

void CVorlanApp::OpenPendingShellFiles() {
    if (m_pendingShellFiles.empty() || !m_pMainWnd)
        return;
    // A dialog in progress finishes first.
    if (QApplication::activeModalWidget()) {
        QTimer::singleShot(250, this, &CVorlanApp::OpenPendingShellFiles);
        return;
    }
    // Each start that handed files over learns whether all of its files opened.
    const std::vector<ShellRequest> requests = std::exchange(m_pendingShellFiles, {});
    for (const ShellRequest& request : requests) {
        const bool bOpened = OpenFiles(request.paths) > 0;
        if (m_pShellOpen)
            m_pShellOpen->Answer(request.nRequest, bOpened);
    }
    m_pMainWnd->setWindowState(m_pMainWnd->windowState() & ~Qt::WindowMinimized);
    m_pMainWnd->show();
    m_pMainWnd->raise();
    m_pMainWnd->activateWindow();
    m_pMainWnd->UpdateAllCommandUI();
}

QPrinter* CVorlanApp::GetPrinter() {
    if (!m_pPrinter)
        m_pPrinter = std::make_unique<QPrinter>(QPrinter::HighResolution);
    return m_pPrinter.get();
}

CDocument* CVorlanApp::OpenDocumentFile(const QString& strPath, QString* pstrError) {
    return m_pDocTemplate ? m_pDocTemplate->OpenDocumentFile(strPath, true, pstrError) : nullptr;
}

CDocument* CVorlanApp::OpenDocumentOrTrack(const QString& strPath, bool bMakeVisible,
                                           QString* pstrError) {
    if (!m_pDocTemplate)
        return nullptr;
    if (!CVorlanDoc::IsTrackFile(strPath))
        return m_pDocTemplate->OpenDocumentFile(strPath, bMakeVisible, pstrError);
    const auto import = [&strPath](CDocument* pDoc, QString* pstrImportError) {
        return static_cast<CVorlanDoc*>(pDoc)->ImportFile(strPath, pstrImportError);
    };
    return m_pDocTemplate->OpenLoadedDocument(import, bMakeVisible, pstrError);
}

int CVorlanApp::OpenFiles(const QStringList& paths, QStringList* pErrors) {
    int nOpened = 0;
    QStringList errors;
    for (const QString& path : paths) {
        QString error;
        if (OpenDocumentOrTrack(path, true, &error))
            ++nOpened;
        else if (!error.isEmpty()) // not a cancelled import
            errors << error;
    }
    if (errors.size() == 1) {
        AfxMessageBox(errors.front());
    } else if (errors.size() > 1) {
        AfxMessageBox(QStringLiteral("%1 of %2 files could not be opened:\n\n")
                          .arg(errors.size())
                          .arg(paths.size()) +
                      errors.join(QStringLiteral("\n\n")));
    }
    if (pErrors)
        *pErrors = errors;
    return nOpened;
}

void CVorlanApp::ShowNote(const QString& strNote) {
    if (IsShellPrinting())
        PrintError(strNote);
    else if (m_pMainWnd)
        m_pMainWnd->ShowNote(strNote);
}

void CVorlanApp::AddToRecentFileList(const QString& strPath) {
    m_recentFiles.Add(strPath);
    if (m_pMainWnd)
        m_pMainWnd->UpdateRecentFileMenu();
}

void CVorlanApp::CloseAllDocuments() {
    if (m_pDocTemplate)
        m_pDocTemplate->CloseAllDocuments();
}

void CVorlanApp::SaveStdProfileSettings() {
    m_recentFiles.WriteList();
    QSettings().setValue(kSmoothLinesKey, m_bSmoothLines);
}

bool CVorlanApp::DoPromptFileName(QString& strName, bool bOpenFileDialog) {
    const QString filter = CStringTable::DocString(CStringTable::filterName);
    const QString ext = CStringTable::DocString(CStringTable::filterExt);
    QFileDialog dlg(AfxGetMainWnd(),
                    bOpenFileDialog ? QStringLiteral("Open") : QStringLiteral("Save As"),
                    QDir::currentPath(), filter);
    if (bOpenFileDialog) {
        dlg.setAcceptMode(QFileDialog::AcceptOpen);
        dlg.setFileMode(QFileDialog::ExistingFile);
    } else {
        dlg.setAcceptMode(QFileDialog::AcceptSave);
        dlg.setFileMode(QFileDialog::AnyFile);
        dlg.setDefaultSuffix(ext.mid(1));
        // A document not yet saved proposes its title: "Vorlan1.vrl", or "ridge.vrl" for an
        // imported ridge.gpx.
        if (!strName.isEmpty())
            dlg.selectFile(strName.endsWith(ext, Qt::CaseInsensitive) ? strName : strName + ext);
    }
    if (dlg.exec() != QDialog::Accepted || dlg.selectedFiles().isEmpty())
        return false;
    strName = dlg.selectedFiles().first();
    if (!bOpenFileDialog && !strName.endsWith(ext, Qt::CaseInsensitive))
        strName += ext;
    QDir::setCurrent(QFileInfo(strName).absolutePath());
    return true;
}

BOOL CVorlanApp::OnCmdMsg(UINT nID, CmdCode nCode, CCmdUI* pCmdUI) {
    static const CmdEntry<CVorlanApp> kMessageMap[] = {
        {ID_APP_ABOUT, &CVorlanApp::OnAppAbout, nullptr},
        {ID_FILE_NEW, &CVorlanApp::OnFileNew, nullptr},
        {ID_FILE_OPEN, &CVorlanApp::OnFileOpen, nullptr},
        {ID_FILE_PRINT_SETUP, &CVorlanApp::OnFilePrintSetup, nullptr},
        {ID_APP_EXIT, &CVorlanApp::OnAppExit, nullptr},
        {ID_VIEW_SMOOTH_LINES, &CVorlanApp::OnViewSmoothLines,
         &CVorlanApp::OnUpdateViewSmoothLines},
        {ID_VIEW_TERRAIN, &CVorlanApp::OnViewTerrain, &CVorlanApp::OnUpdateViewTerrain},
        {ID_VIEW_ELEVATION_FOLDER, &CVorlanApp::OnViewElevationFolder, nullptr},
        {ID_VIEW_UNITS_IMPERIAL, &CVorlanApp::OnViewUnitsImperial,
         &CVorlanApp::OnUpdateViewUnitsImperial},
        {ID_VIEW_UNITS_METRIC, &CVorlanApp::OnViewUnitsMetric,
         &CVorlanApp::OnUpdateViewUnitsMetric},
    };
    if (DispatchCmdMsg(this, kMessageMap, nID, nCode, pCmdUI))
        return 1;
    if (RadioCommand(nID, nCode, pCmdUI, kXAxisCommands, static_cast<int>(m_xAxis),
                     [this](int a) { SetChartXAxis(static_cast<XAxis>(a)); }) ||
        RadioCommand(nID, nCode, pCmdUI, kColourCommands, static_cast<int>(m_colourBy),
                     [this](int c) { SetTrackColours(static_cast<ColourBy>(c)); }) ||
        RadioCommand(nID, nCode, pCmdUI, kProportionCommands,
                     static_cast<int>(std::find(std::begin(kExaggerations),
                                                std::end(kExaggerations), m_nTrueProportions) -
                                      std::begin(kExaggerations)),
                     [this](int k) { SetTrueProportions(kExaggerations[k]); }))
        return 1;
    if (nID >= ID_FILE_MRU_FILE1 && nID < ID_FILE_MRU_FILE1 + kMaxRecentFiles) {
        const int nIndex = static_cast<int>(nID - ID_FILE_MRU_FILE1);
        switch (nCode) {
        case CmdCode::Command:
            OnOpenRecentFile(nIndex);
            break;
        case CmdCode::Update:
            OnUpdateRecentFileMenu(pCmdUI);
            break;
        case CmdCode::Query:
            break;
        }
        return 1;
    }
    return 0;
}

void CVorlanApp::OnAppAbout() {
    CAboutDlg dlg(AfxGetMainWnd());
    dlg.exec();
}

void CVorlanApp::OnFileNew() {
    OpenDocumentFile(QString());
}

void CVorlanApp::OnFileOpen() {
    QString name;
    if (DoPromptFileName(name, true))
        OpenDocumentFile(name);
}

void CVorlanApp::OnFilePrintSetup() {
    CPrintSetupDlg dlg(GetPrinter(), AfxGetMainWnd());
    if (dlg.exec() == QDialog::Accepted)
        dlg.Apply();
}

void CVorlanApp::OnAppExit() {
    if (m_pMainWnd)
        m_pMainWnd->close();
}

void CVorlanApp::OnViewSmoothLines() {
    m_bSmoothLines = !m_bSmoothLines;
    if (m_pMainWnd)
        for (CScrollView* pView : m_pMainWnd->findChildren<CScrollView*>())
            pView->viewport()->update();
}

void CVorlanApp::OnUpdateViewSmoothLines(CCmdUI* pCmdUI) {
    pCmdUI->SetCheck(m_bSmoothLines ? 1 : 0);
}

// A recent file that no longer opens leaves the list.
void CVorlanApp::OnOpenRecentFile(int nIndex) {
    if (nIndex >= m_recentFiles.Files().size())
        return;
    if (!OpenDocumentFile(m_recentFiles.Files()[nIndex])) {
        m_recentFiles.Remove(nIndex);
        if (m_pMainWnd)
            m_pMainWnd->UpdateRecentFileMenu();
    }
}

void CVorlanApp::OnUpdateRecentFileMenu(CCmdUI* pCmdUI) {
    pCmdUI->Enable(static_cast<int>(pCmdUI->m_nID - ID_FILE_MRU_FILE1) <
                   m_recentFiles.Files().size());
}

void CVorlanApp::RefillEveryDocument() {
    if (!m_pDocTemplate)
        return;
    for (CDocument* pDoc : m_pDocTemplate->GetDocuments())
        static_cast<CVorlanDoc*>(pDoc)->RefillViews();
}

void CVorlanApp::SetDisplayUnits(Units units) {
    m_units = units;
    QSettings().setValue(kUnitsKey, QString::fromLatin1(UnitsName(units)));
    RefillEveryDocument();
}

void CVorlanApp::OnViewUnitsImperial() {
    SetDisplayUnits(Units::imperial);
}

void CVorlanApp::OnViewUnitsMetric() {
    SetDisplayUnits(Units::metric);
}

void CVorlanApp::OnUpdateViewUnitsImperial(CCmdUI* pCmdUI) {
    pCmdUI->SetCheck(m_units == Units::imperial ? 1 : 0);
}

void CVorlanApp::OnUpdateViewUnitsMetric(CCmdUI* pCmdUI) {
    pCmdUI->SetCheck(m_units == Units::metric ? 1 : 0);
}

void CVorlanApp::SetChartXAxis(XAxis axis) {
    m_xAxis = axis;
    QSettings().setValue(kXAxisKey, QString::fromLatin1(kXAxisNames[static_cast<int>(axis)]));
    RefillEveryDocument();
}

void CVorlanApp::SetTrackColours(ColourBy by) {
    m_colourBy = by;
    QSettings().setValue(kColoursKey, QString::fromLatin1(kColourNames[static_cast<int>(by)]));
    RefillEveryDocument();
}

void CVorlanApp::SetDefaultGraphs(unsigned nGraphs) {
    m_nGraphs = nGraphs;
    QSettings().setValue(kGraphsKey, m_nGraphs);
}

QString CVorlanApp::ElevationFolder() const {
    if (!m_strElevationFolder.isEmpty())
        return m_strElevationFolder;
    return qEnvironmentVariable("VORLAN_DEM");
}

void CVorlanApp::SetElevationFolder(const QString& strFolder) {
    m_strElevationFolder = strFolder;
    QSettings().setValue(kElevationFolderKey, strFolder);
    MeasureGroundOfEveryDocument();
}

CTerrainService* CVorlanApp::TerrainOnFolder(std::string* pstrProblem) {
    const QString strFolder = ElevationFolder();
    if (strFolder.isEmpty())
        return nullptr;
    CTerrainService* pService = m_terrain.Service();
    if (!pService) {
        *pstrProblem = QStringLiteral("The elevation tiles cannot be read: %1")
                           .arg(m_terrain.Error())
                           .toStdString();
        return nullptr;
    }
    pService->UseFolder(LocalPath(strFolder));
    return pService;
}

GroundAlong CVorlanApp::GroundOf(std::span<const double> lat, std::span<const double> lon) {
    GroundAlong none;
    CTerrainService* pService = TerrainOnFolder(&none.message);
    return pService ? pService->Ground(lat, lon) : none;
}

StlModel CVorlanApp::TerrainModelStl(std::span<const double> lat, std::span<const double> lon,
                                     std::span<const std::uint32_t> segmentStarts,
                                     double fExaggeration, double fBaseMm) {
    StlModel none;
    CTerrainService* pService = TerrainOnFolder(&none.message);
    if (!pService) {
        if (none.message.empty())
            none.message = "No folder of elevation tiles is chosen (View, Elevation Data Folder).";
        return none;
    }
    return pService->TerrainModelStl(lat, lon, segmentStarts, fExaggeration, fBaseMm);
}

void CVorlanApp::OnViewTerrain() {
    m_bTerrain = !m_bTerrain;
    QSettings().setValue(kTerrainKey, m_bTerrain);
    RefillEveryDocument();
}

// Checked while chosen; offered once a folder of tiles is.
void CVorlanApp::OnUpdateViewTerrain(CCmdUI* pCmdUI) {
    pCmdUI->SetCheck(m_bTerrain ? 1 : 0);
    pCmdUI->Enable(!ElevationFolder().isEmpty());
}

void CVorlanApp::OnViewElevationFolder() {
    const QString strFolder = QFileDialog::getExistingDirectory(
        GetMainFrame(), QStringLiteral("Elevation Data Folder"), ElevationFolder());
    if (!strFolder.isEmpty())
        SetElevationFolder(strFolder);
}

void CVorlanApp::MeasureGroundOfEveryDocument() {
    if (!m_pDocTemplate)
        return;
    for (CDocument* pDoc : m_pDocTemplate->GetDocuments())
        static_cast<CVorlanDoc*>(pDoc)->MeasureGround();
    RefillEveryDocument();
}

std::unique_ptr<CGroundHeights> CVorlanApp::TrackGround(const CTrack& track) {
    CTerrainService* pService = ElevationFolder().isEmpty() ? nullptr : m_terrain.Service();
    return pService ? pService->TrackGround(track) : nullptr;
}

void CVorlanApp::SetTrueProportions(int nExaggeration) {
    m_nTrueProportions = nExaggeration;
    QSettings().setValue(kProportionsKey, nExaggeration);
    RefillEveryDocument();
}
