#include "CVorlanDoc.h"

#include "CAtomicFile.h"
#include "CChildFrame.h"
#include "CDocumentFile.h"
#include "CGeodesy.h"
#include "CGpsbabelFormats.h"
#include "CMainFrame.h"
#include "CModelDlg.h"
#include "CMultiDocTemplate.h"
#include "CPlot.h"
#include "CProgressJob.h"
#include "CSplitterWnd.h"
#include "CStringTable.h"
#include "CTrackExport.h"
#include "CTrackFileTypes.h"
#include "CTrackStatistics.h"
#include "CViewValues.h"
#include "CVorlanApp.h"
#include "CVorlanView.h"
#include "LocalPath.h"
#include "RecordOfTrack.h"
#include "Resource.h"
#include "TimeText.h"
#include "TrackImport.h"
#include "UnitsAndEarth.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>

// A document file holds what the chart's commands can reach, and a new one opens at the home view.
static_assert(CViewValues::kMaxZoom == CPlot::kMaxDocumentZoom);
static_assert(CViewValues::kDefaultAzimuth == CPlot::kHomeAzimuth &&
              CViewValues::kDefaultElevation == CPlot::kHomeElevation);

namespace {
// The filter of MapSource exports as it always read.
constexpr char kMapSourceFilter[] = "MapSource Exported Files (*.txt; *.TXT)";

// "*.gpx *.GPX": a file dialog's patterns match case by case.
QStringList Patterns(const char* pszExtension) {
    const QString ext = QString::fromLatin1(pszExtension);
    return {QStringLiteral("*.") + ext, QStringLiteral("*.") + ext.toUpper()};
}
// What the Properties dialog calls the format of an imported file: "MapSource text export",
// "GPX", "GPS TrackMaker (converted by GPSBabel)".
QString SourceFormat(const QString& strPath) {
    if (const GpsbabelFormat* pOther = CGpsbabelFormats::Of(LocalPath(strPath)))
        return QString::fromLatin1(pOther->description) +
               QStringLiteral(" (converted by GPSBabel)");
    const TrackFileType* pType = CTrackFileTypes::Of(LocalPath(strPath));
    if (!pType || pType->reader == TrackReaderKind::mapSource)
        return QStringLiteral("MapSource text export");
    return QString::fromLatin1(pType->description);
}
} // namespace

CVorlanDoc::CVorlanDoc() = default;

CVorlanDoc::~CVorlanDoc() = default;

// The file's name once: above the reason, which the import's own reasons give after it
// ("ride.gpx: XML error: ...") or within ("No track points in ride.gpx.").
QString CVorlanDoc::ErrorText(const QString& strPath, const CFileResult& result) {
    const QString path = AbsolutePath(strPath);
    QString reason = QtPath(result.Sentence());
    if (result.GetFault() == CFileResult::Fault::track) {
        const QString named = strPath + QStringLiteral(": ");
        if (reason.startsWith(named))
            reason.remove(0, named.size());
        else if (reason.contains(strPath))
            return reason;
    }
    return path + QLatin1Char('\n') + reason;
}

BOOL CVorlanDoc::OnNewDocument() {
    return CDocument::OnNewDocument() ? 1 : 0;
}

// A refused file leaves the document as it was.
BOOL CVorlanDoc::OnOpenDocument(const QString& strPath, QString* pstrError) {
    CViewValues view;
    const CFileResult r =
        CDocumentFile::Read(LocalPath(strPath), m_track, m_record, view, &m_nDocVersion);
    if (!r.Ok()) {
        *pstrError = ErrorText(strPath, r);
        return 0;
    }
    m_view = view;
    m_strSourceFile = AbsolutePath(strPath);
    m_strSourceFormat = QStringLiteral("Vorlan %1 document").arg(m_nDocVersion);
    // A first-version document is its own source; a newer one names the file it was made from.
    if (!m_record.m_source.fileName.empty() &&
        m_record.m_source.format != CDocumentFile::kDesignedFormat)
        m_strSourceFormat +=
            QStringLiteral(" of %1 (%2)")
                .arg(QtPath(m_record.m_source.fileName), QtPath(m_record.m_source.format));
    m_importNotes.clear();
    m_undoElevations.clear();
    m_metres.clear();
    m_nStretchFirst = m_nStretchLast = -1;
    m_strStretch.clear();
    m_bLoaded = 1;
    MeasureGround();
    ShowPlot(kPlot3D);
    return 1;
}

BOOL CVorlanDoc::OnSaveDocument(const QString& strPath, QString* pstrError) {
    GatherWindows();
    const CFileResult r =
        CDocumentFile::Write(LocalPath(strPath), m_track, m_record, m_view, m_nDocVersion);
    if (!r.Ok()) {
        *pstrError = ErrorText(strPath, r);
        return 0;
    }
    return 1;
}

// Save As offers the newest documents and the first ones, which other programs read; the first
// keep the track's shape only, which the user is told before anything else is lost.
bool CVorlanDoc::PromptSaveAs(QString& strName) {
    const QString ext = CStringTable::DocString(CStringTable::filterExt);
    const QString newest = CStringTable::DocString(CStringTable::filterName);
    const QString first = QStringLiteral("Vorlan 1 documents (track shape only) (*.vrl)");
    QFileDialog dlg(AfxGetMainWnd(), QStringLiteral("Save As"), QDir::currentPath());
    dlg.setNameFilters({newest, first});
    dlg.selectNameFilter(m_nDocVersion == CDocumentFile::kDesignedVersion ? first : newest);
    dlg.setAcceptMode(QFileDialog::AcceptSave);
    dlg.setFileMode(QFileDialog::AnyFile);
    dlg.setDefaultSuffix(ext.mid(1));
    dlg.selectFile(strName.endsWith(ext, Qt::CaseInsensitive) ? strName : strName + ext);
    if (dlg.exec() != QDialog::Accepted || dlg.selectedFiles().isEmpty())
        return false;
    const int nVersion = dlg.selectedNameFilter() == first ? CDocumentFile::kDesignedVersion
                                                           : CDocumentFile::kNewestVersion;
    if (nVersion == CDocumentFile::kDesignedVersion && KeepsMoreThanTheShape() &&
        QMessageBox::warning(AfxGetMainWnd(), QStringLiteral("Save As"),
                             QStringLiteral("A Vorlan 1 document keeps the track's shape only: "
                                            "its times, sensor data, laps and points beyond the "
                                            "chart's are not kept."),
                             QMessageBox::Ok | QMessageBox::Cancel) != QMessageBox::Ok)
        return false;
    m_nDocVersion = nVersion;
    strName = dlg.selectedFiles().first();
    if (!strName.endsWith(ext, Qt::CaseInsensitive))
        strName += ext;
    QDir::setCurrent(QFileInfo(strName).absolutePath());
    return true;
}

BOOL CVorlanDoc::DoSave(const QString& strPath, bool bReplace) {
    const int nVersion = m_nDocVersion;
    const BOOL bSaved = CDocument::DoSave(strPath, bReplace);
    if (!bSaved || !bReplace)
        m_nDocVersion = nVersion;
    return bSaved;
}

bool CVorlanDoc::KeepsMoreThanTheShape() const {
    const auto sensors = CTrackRecord::Sensors();
    const bool bSensors =
        std::any_of(sensors.begin(), sensors.end(), [this](const CTrackRecord::SensorInfo& info) {
            return m_record.HasSensor(info.sensor);
        });
    return m_record.HasTime() || bSensors || !m_record.m_laps.empty() ||
           !m_record.m_waypoints.empty() || m_record.m_totals.Any() ||
           m_record.Size() != static_cast<std::size_t>(std::max<short>(m_track.m_nCount, 0));
}

QStringList CVorlanDoc::InputFiles() const {
    QStringList files = CDocument::InputFiles();
    if (!m_strSourceFile.isEmpty() && !files.contains(m_strSourceFile))
        files << m_strSourceFile;
    return files;
}

BOOL CVorlanDoc::OnDocCmdMsg(UINT nID, CmdCode nCode, CCmdUI* pCmdUI) {
    static const CmdEntry<CVorlanDoc> kMessageMap[] = {
        {ID_FILE_IMPORT, &CVorlanDoc::OnFileImport, &CVorlanDoc::OnUpdateFileImport},
        {ID_FILE_PROPERTIES, &CVorlanDoc::OnFileProperties, &CVorlanDoc::OnUpdateFileProperties},
        {ID_FILE_EXPORT_TRACK, &CVorlanDoc::OnFileExportTrack, &CVorlanDoc::OnUpdateFileProperties},
        {ID_FILE_EXPORT_MODEL, &CVorlanDoc::OnFileExportModel,
         &CVorlanDoc::OnUpdateFileExportModel},
        {ID_TRACK_ELEVATIONS_FROM_TERRAIN, &CVorlanDoc::OnTrackElevationsFromTerrain,
         &CVorlanDoc::OnUpdateTrackElevationsFromTerrain},
        {ID_EDIT_UNDO, &CVorlanDoc::OnEditUndo, &CVorlanDoc::OnUpdateEditUndo},
    };
    return DispatchCmdMsg(this, kMessageMap, nID, nCode, pCmdUI);
}

void CVorlanDoc::ShowPlot(short nMode) {
    m_nPlotMode = nMode;
    m_b3D = nMode == kPlot3D ? 1 : 0;
    UpdateAllViews(nullptr, kHintShowPlot);
}

void CVorlanDoc::TakeView(short nMode, const CViewValues& view) {
    m_nPlotMode = nMode;
    m_b3D = nMode == kPlot3D ? 1 : 0;
    m_view = view;
}

// A cancelled dialog leaves the document as it was: still empty and still able to import.
void CVorlanDoc::OnFileImport() {
    const QString path = PromptImportFile();
    QString error;
    if (!path.isEmpty() && !ImportFile(path, &error) && !error.isEmpty())
        AfxMessageBox(error);
}

// The import runs on a thread of its own, into this document, which is empty and draws none of
// it meanwhile; the MapSource format it may find is taken over only when it succeeds.
CFileResult CVorlanDoc::ReadTrackFile(const QString& strPath) {
    CMapSourceFormat format = VorlanApp()->MapSourceFormat();
    CFileResult r;
    const auto import = [&](const ImportProgress& progress) {
        r = ImportTrackFile(LocalPath(strPath), m_record, m_track, format, progress);
    };
    if (VorlanApp()->IsInteractive())
        CProgressJob(QStringLiteral("Importing %1...").arg(QFileInfo(strPath).fileName()),
                     AfxGetMainWnd())
            .Run(import);
    else
        import({});
    if (r.Ok())
        VorlanApp()->MapSourceFormat() = format;
    return r;
}

bool CVorlanDoc::ImportFile(const QString& strPath, QString* pstrError) {
    const CFileResult r = ReadTrackFile(strPath);
    if (r.GetFault() == CFileResult::Fault::cancelled) {
        pstrError->clear();
        return false;
    }
    if (!r.Ok()) {
        *pstrError = ErrorText(strPath, r);
        return false;
    }
    // A file without track points (empty, blank or not a track at all) gives nothing to show:
    // the document stays empty and can import another file. The core's note says so.
    if (m_track.m_nCount == 0) {
        m_track.Clear();
        *pstrError = r.m_notes.empty() ? QString() : QtPath(r.m_notes.front());
        return false;
    }
    // However it was imported, the document is named after the file until it is saved: Save
    // As proposes this name with ".vrl", and the Window menu tells the tracks apart.
    SetTitle(QFileInfo(strPath).completeBaseName());
    m_strSourceFile = AbsolutePath(strPath);
    m_strSourceFormat = SourceFormat(strPath);
    m_importNotes = r.m_notes;
    m_undoElevations.clear();
    m_nSelectedPoint = -1;
    m_metres.clear();
    m_bLoaded = 1;
    MeasureGround();
    // The notes (what was read, and whose elevations the track took) are no reason to stop:
    // they show together in the status bar.
    QStringList notes;
    for (const std::string& note : m_importNotes)
        notes << QtPath(note);
    if (!notes.isEmpty())
        VorlanApp()->ShowNote(notes.join(QStringLiteral("  ")));
    ShowPlot(kPlot3D);
    return true;
}

// One filter per run of rows of the same format in the table of track file types.
bool CVorlanDoc::IsTrackFile(const QString& strPath) {
    const std::string path = LocalPath(strPath);
    return CTrackFileTypes::Of(path) || CGpsbabelFormats::Of(path);
}

QStringList CVorlanDoc::ImportFilters() {
    const std::span<const TrackFileType> types = CTrackFileTypes::All();
    QStringList all;
    QStringList filters;
    for (auto first = types.begin(); first != types.end();) {
        const auto last = std::find_if(first, types.end(), [first](const TrackFileType& t) {
            return std::strcmp(t.description, first->description) != 0;
        });
        QStringList patterns;
        for (auto it = first; it != last; ++it)
            patterns << Patterns(it->extension);
        all << patterns;
        filters << (first->reader == TrackReaderKind::mapSource
                        ? QString::fromLatin1(kMapSourceFilter)
                        : QString::fromLatin1(first->description) + QStringLiteral(" Files (") +
                              patterns.join(QLatin1Char(' ')) + QLatin1Char(')'));
        first = last;
    }
    QStringList others;
    for (const GpsbabelFormat& format : CGpsbabelFormats::All())
        others << Patterns(format.extension);
    all << others;
    filters << QString::fromLatin1(CGpsbabelFormats::kFilterName) + QStringLiteral(" (") +
                   others.join(QLatin1Char(' ')) + QLatin1Char(')');
    filters.prepend(QStringLiteral("All Track Files (") + all.join(QLatin1Char(' ')) +
                    QLatin1Char(')'));
    filters << QStringLiteral("All Files (*)");
    return filters;
}

QString CVorlanDoc::PromptImportFile() {
    QFileDialog dlg(AfxGetMainWnd(), QStringLiteral("Import Track"), QDir::currentPath());
    dlg.setNameFilters(ImportFilters());
    dlg.setAcceptMode(QFileDialog::AcceptOpen);
    dlg.setFileMode(QFileDialog::ExistingFile);
    if (dlg.exec() != QDialog::Accepted || dlg.selectedFiles().isEmpty())
        return QString();
    const QString path = dlg.selectedFiles().first();
    // The current directory follows the folder the user chose.
    QDir::setCurrent(QFileInfo(path).absolutePath());
    return path;
}

void CVorlanDoc::OnUpdateFileImport(CCmdUI* pCmdUI) {
    pCmdUI->Enable(m_bLoaded == 0);
}

void CVorlanDoc::SetSelectedPoint(int nIndex) {
    if (nIndex == m_nSelectedPoint)
        return;
    m_nSelectedPoint = nIndex;
    UpdateAllViews(nullptr, kHintSelection);
}

// Each pane converts its own chart, its zoom centre included.
void CVorlanDoc::RefillViews() {
    m_strStretch = MakeStretchText();
    UpdateAllViews(nullptr, kHintRefill);
}

std::vector<CPropertiesDlg::Row> CVorlanDoc::PropertiesRows() const {
    return PropertiesRows(Statistics());
}

CTrackStatistics CVorlanDoc::Statistics() const {
    CTrackStatistics statistics(m_record, m_track.m_nCount, m_importNotes);
    if (m_ground.Any())
        statistics.m_terrainClimb = CTrackStatistics::Climb{m_ground.ascentM * kFeetPerMetre,
                                                            m_ground.descentM * kFeetPerMetre};
    return statistics;
}

void CVorlanDoc::MeasureGround() {
    m_ground = GroundAlong{};
    m_groundFeet.clear();
    m_pGround3D.reset();
    if (!m_bLoaded || m_record.Size() == 0)
        return;
    m_ground = VorlanApp()->GroundOf(m_record.Lat(), m_record.Lon());
    if (!m_ground.Any())
        return;
    m_pGround3D = VorlanApp()->TrackGround(m_track);
    const bool bNoElevations = !m_record.HasElevation();
    m_groundFeet.resize(static_cast<std::size_t>(m_track.m_nCount));
    for (int i = 0; i < m_track.m_nCount; ++i) {
        const std::size_t r = m_track.m_nRecordIndex[i];
        m_groundFeet[i] = r < m_ground.heightsM.size()
                              ? static_cast<float>(m_ground.heightsM[r] * kFeetPerMetre)
                              : std::nanf("");
    }
    if (bNoElevations && m_undoElevations.empty() && TakeGroundElevations())
        m_importNotes.push_back("The file has no elevations: the track takes the ground's from "
                                "the elevation tiles.");
}

bool CVorlanDoc::TakeGroundElevations() {
    if (m_groundFeet.empty())
        return false;
    m_undoElevations.assign(m_track.m_fElev, m_track.m_fElev + m_track.m_nCount);
    for (int i = 0; i < m_track.m_nCount; ++i)
        if (!std::isnan(m_groundFeet[i]))
            m_track.m_fElev[i] = m_groundFeet[i];
    m_track.Smooth();
    m_track.ComputeGeometry();
    return true;
}

void CVorlanDoc::OnTrackElevationsFromTerrain() {
    if (!TakeGroundElevations())
        return;
    RefillViews();
}

void CVorlanDoc::OnUpdateTrackElevationsFromTerrain(CCmdUI* pCmdUI) {
    pCmdUI->Enable(m_bLoaded && !m_groundFeet.empty());
}

void CVorlanDoc::OnEditUndo() {
    if (m_undoElevations.size() != static_cast<std::size_t>(m_track.m_nCount))
        return;
    std::copy(m_undoElevations.begin(), m_undoElevations.end(), m_track.m_fElev);
    m_undoElevations.clear();
    m_track.Smooth();
    m_track.ComputeGeometry();
    RefillViews();
}

void CVorlanDoc::OnUpdateEditUndo(CCmdUI* pCmdUI) {
    pCmdUI->Enable(m_bLoaded && !m_undoElevations.empty());
}

std::vector<CPropertiesDlg::Row>
CVorlanDoc::PropertiesRows(const CTrackStatistics& statistics) const {
    std::vector<CPropertiesDlg::Row> rows = {{QStringLiteral("Source file"), m_strSourceFile},
                                             {QStringLiteral("Format"), m_strSourceFormat}};
    const Units units = VorlanApp()->DisplayUnits();
    for (const StatisticsItem& item : statistics.Items(units))
        rows.emplace_back(QString::fromUtf8(item.label.c_str()),
                          QString::fromUtf8(item.value.c_str()));
    if (m_ground.Any()) {
        rows.emplace_back(
            QStringLiteral("Lowest ground"),
            QString::fromStdString(FormatElevation(units, m_ground.lowestM * kFeetPerMetre)));
        rows.emplace_back(
            QStringLiteral("Highest ground"),
            QString::fromStdString(FormatElevation(units, m_ground.highestM * kFeetPerMetre)));
    }
    if (!m_ground.message.empty())
        rows.emplace_back(QStringLiteral("Terrain"), QString::fromStdString(m_ground.message));
    return rows;
}

CPropertiesDlg::Table CVorlanDoc::LapsTable(const CTrackStatistics& statistics) {
    CPropertiesDlg::Table laps;
    for (const std::string& column : CTrackStatistics::LapColumns())
        laps.columns << QString::fromUtf8(column.c_str());
    for (const std::vector<std::string>& row : statistics.LapTable(VorlanApp()->DisplayUnits())) {
        QStringList cells;
        for (const std::string& cell : row)
            cells << QString::fromUtf8(cell.c_str());
        laps.rows.push_back(cells);
    }
    return laps;
}

bool CVorlanDoc::MayExportTo(const QString& strPath, QString* pstrError) const {
    for (const QString& input : InputFiles())
        if (const CFileResult r = CAtomicFile::CheckNotInput(LocalPath(input), LocalPath(strPath));
            !r.Ok()) {
            *pstrError = ErrorText(strPath, r);
            return false;
        }
    return AfxMayReplace(strPath, pstrError);
}

QString CVorlanDoc::ExportTrack(const QString& strPath) const {
    if (QString error; !MayExportTo(strPath, &error))
        return error;
    const std::string path = LocalPath(strPath);
    const CTrackExport::Format format =
        CTrackExport::OfPath(path).value_or(CTrackExport::Format::gpx);
    const std::string creator =
        QStringLiteral("Vorlan %1").arg(QApplication::applicationVersion()).toStdString();
    const CFileResult r = CTrackExport::Write(path, m_record, format, creator);
    return r.Ok() ? QString() : ErrorText(strPath, r);
}

// The name proposed is the document's title with the chosen filter's extension.
void CVorlanDoc::OnFileExportTrack() {
    const QString gpx = QStringLiteral("GPX files (*.gpx)");
    const QString csv = QStringLiteral("CSV files (*.csv)");
    QFileDialog dlg(AfxGetMainWnd(), QStringLiteral("Export Track"), QDir::currentPath());
    dlg.setNameFilters({gpx, csv});
    dlg.setAcceptMode(QFileDialog::AcceptSave);
    dlg.setFileMode(QFileDialog::AnyFile);
    dlg.setDefaultSuffix(QStringLiteral("gpx"));
    QObject::connect(&dlg, &QFileDialog::filterSelected, &dlg, [&dlg, csv](const QString& filter) {
        dlg.setDefaultSuffix(filter == csv ? QStringLiteral("csv") : QStringLiteral("gpx"));
    });
    dlg.selectFile(GetTitle() + QStringLiteral(".gpx"));
    if (dlg.exec() != QDialog::Accepted || dlg.selectedFiles().isEmpty())
        return;
    const QString path = dlg.selectedFiles().first();
    QDir::setCurrent(QFileInfo(path).absolutePath());
    if (const QString error = ExportTrack(path); !error.isEmpty())
        AfxMessageBox(error);
}

QString CVorlanDoc::ExportModel(const QString& strPath, double fExaggeration,
                                double fBaseMm) const {
    if (QString error; !MayExportTo(strPath, &error))
        return error;
    const StlModel model = VorlanApp()->TerrainModelStl(
        m_record.Lat(), m_record.Lon(), m_record.SegmentStarts(), fExaggeration, fBaseMm);
    if (!model.Ok())
        return AbsolutePath(strPath) + QLatin1Char('\n') + QtPath(model.message);
    const CFileResult r = CAtomicFile::Replace(LocalPath(strPath), model.bytes);
    if (!r.Ok())
        return ErrorText(strPath, r);
    if (!model.message.empty())
        VorlanApp()->ShowNote(QtPath(model.message));
    return QString();
}

// The model's options first, then the file: the name proposed is the document's title.
void CVorlanDoc::OnFileExportModel() {
    CModelDlg options(AfxGetMainWnd());
    if (options.exec() != QDialog::Accepted)
        return;
    QFileDialog dlg(AfxGetMainWnd(), QStringLiteral("Export 3D Model"), QDir::currentPath());
    dlg.setNameFilters({QStringLiteral("STL models (*.stl)")});
    dlg.setAcceptMode(QFileDialog::AcceptSave);
    dlg.setFileMode(QFileDialog::AnyFile);
    dlg.setDefaultSuffix(QStringLiteral("stl"));
    dlg.selectFile(GetTitle() + QStringLiteral(".stl"));
    if (dlg.exec() != QDialog::Accepted || dlg.selectedFiles().isEmpty())
        return;
    const QString path = dlg.selectedFiles().first();
    QDir::setCurrent(QFileInfo(path).absolutePath());
    if (const QString error = ExportModel(path, options.Exaggeration(), options.BaseMm());
        !error.isEmpty())
        AfxMessageBox(error);
}

// Offered once there is a track and a folder of tiles to make its ground of.
void CVorlanDoc::OnUpdateFileExportModel(CCmdUI* pCmdUI) {
    pCmdUI->Enable(m_bLoaded && m_record.Size() > 0 && !VorlanApp()->ElevationFolder().isEmpty());
}

void CVorlanDoc::OnFileProperties() {
    const CTrackStatistics statistics = Statistics();
    CPropertiesDlg dlg(GetTitle() + QStringLiteral(" Properties"), PropertiesRows(statistics),
                       LapsTable(statistics), SelectionRows(), AfxGetMainWnd());
    dlg.exec();
}

void CVorlanDoc::OnUpdateFileProperties(CCmdUI* pCmdUI) {
    pCmdUI->Enable(m_bLoaded);
}

void CVorlanDoc::SetStretch(int nFrom, int nTo) {
    const int first = std::clamp(std::min(nFrom, nTo), 0, std::max(m_track.m_nCount - 1, 0));
    const int last = std::clamp(std::max(nFrom, nTo), 0, std::max(m_track.m_nCount - 1, 0));
    if (first == m_nStretchFirst && last == m_nStretchLast)
        return;
    m_nStretchFirst = first;
    m_nStretchLast = last;
    m_strStretch = MakeStretchText();
    UpdateAllViews(nullptr, kHintStretch);
}

void CVorlanDoc::ClearStretch() {
    if (!HasStretch())
        return;
    m_nStretchFirst = m_nStretchLast = -1;
    m_strStretch.clear();
    UpdateAllViews(nullptr, kHintStretch);
}

std::optional<StretchFigures> CVorlanDoc::StretchNumbers() const {
    if (!HasStretch() || m_nStretchLast <= m_nStretchFirst || m_record.Empty())
        return std::nullopt;
    const std::size_t first = m_track.m_nRecordIndex[m_nStretchFirst];
    const std::size_t last = m_track.m_nRecordIndex[m_nStretchLast];
    if (last >= m_record.Size() || last <= first)
        return std::nullopt;
    if (m_metres.size() != m_record.Size())
        m_metres = CGeodesy::CumulativeMetres(m_record);
    return CTimeStatistics::Stretch(m_record, m_metres, first, last);
}

QString CVorlanDoc::MakeStretchText() const {
    const std::optional<StretchFigures> figures = StretchNumbers();
    if (!figures)
        return QString();
    const Units units = VorlanApp()->DisplayUnits();
    std::string text = "Selection: " + FormatDistance(units, figures->fDistanceM / kMetresPerMile);
    if (figures->elapsedS) {
        text += "  " + FormatDuration(*figures->elapsedS);
        if (figures->movingS)
            text += " (moving " + FormatDuration(*figures->movingS) + ")";
    }
    if (figures->ascentFt && figures->descentFt)
        text += "  +" + FormatElevation(units, *figures->ascentFt) + "  -" +
                FormatElevation(units, *figures->descentFt);
    if (figures->gradePercent) {
        char grade[32];
        std::snprintf(grade, sizeof grade, "  %+.1f %%", *figures->gradePercent);
        text += grade;
    }
    if (figures->speedMps)
        text += "  " + FormatSpeed(units, *figures->speedMps);
    if (figures->heartRateBpm)
        text += "  " + std::to_string(std::lround(*figures->heartRateBpm)) + " bpm";
    return QString::fromUtf8(text.c_str());
}

std::vector<CPropertiesDlg::Row> CVorlanDoc::SelectionRows() const {
    std::vector<CPropertiesDlg::Row> rows;
    const std::optional<StretchFigures> figures = StretchNumbers();
    if (!figures)
        return rows;
    const Units units = VorlanApp()->DisplayUnits();
    const auto add = [&rows](const char* pszLabel, const std::string& value) {
        rows.emplace_back(QString::fromUtf8(pszLabel), QString::fromUtf8(value.c_str()));
    };
    add("Total distance", FormatDistance(units, figures->fDistanceM / kMetresPerMile));
    if (figures->elapsedS)
        add("Elapsed time", FormatDuration(*figures->elapsedS));
    if (figures->movingS)
        add("Moving time", FormatDuration(*figures->movingS));
    if (figures->ascentFt)
        add("Total ascent", FormatElevation(units, *figures->ascentFt));
    if (figures->descentFt)
        add("Total descent", FormatElevation(units, *figures->descentFt));
    if (figures->speedMps)
        add("Average speed", FormatSpeed(units, *figures->speedMps));
    if (figures->heartRateBpm)
        add("Average heart rate", std::to_string(std::lround(*figures->heartRateBpm)) + " bpm");
    if (figures->gradePercent) {
        char grade[32];
        std::snprintf(grade, sizeof grade, "%+.1f %%", *figures->gradePercent);
        add("Average grade", grade);
    }
    return rows;
}

void CVorlanDoc::GatherWindows() {
    m_view.m_windows.clear();
    for (CChildFrame* pFrame : GetFrames()) {
        const CSplitterWnd* pSplitter = pFrame->GetSplitter();
        if (!pSplitter || m_view.m_windows.size() >= CViewValues::kMaxWindows)
            continue;
        WindowView window;
        window.nRows = static_cast<std::uint8_t>(pSplitter->GetRowCount());
        window.nCols = static_cast<std::uint8_t>(pSplitter->GetColumnCount());
        const auto share = [](int size, int whole) {
            return whole > 0 ? std::clamp(static_cast<float>(size) / whole, 0.05f, 0.95f) : 0.5f;
        };
        if (window.nRows == 2)
            window.fRowShare = share(pSplitter->GetRowSize(), pSplitter->height());
        if (window.nCols == 2)
            window.fColShare = share(pSplitter->GetColumnSize(), pSplitter->width());
        for (CScrollView* pPane : pSplitter->GetPanes())
            window.panes.push_back(static_cast<CVorlanView*>(pPane)->GetPaneView());
        m_view.m_windows.push_back(window);
    }
}

// Split by the kept shares once the window has its size; a window too small to split, or panes
// beyond the ones there are, stay as they are.
void CVorlanDoc::RestoreWindows() {
    const std::vector<WindowView> windows = std::move(m_view.m_windows);
    m_view.m_windows.clear();
    QList<CChildFrame*> frames = GetFrames();
    for (std::size_t w = 0; w < windows.size(); ++w) {
        CChildFrame* pFrame = w < static_cast<std::size_t>(frames.size())
                                  ? frames[static_cast<int>(w)]
                                  : GetDocTemplate()->CreateNewFrame(this);
        if (!pFrame)
            break;
        if (w >= static_cast<std::size_t>(frames.size()))
            GetDocTemplate()->InitialUpdateFrame(pFrame, this);
        CSplitterWnd* pSplitter = pFrame->GetSplitter();
        const WindowView& window = windows[w];
        if (window.nRows == 2 && pSplitter->GetRowCount() == 1)
            pSplitter->SplitRow(static_cast<int>(window.fRowShare * pSplitter->height()));
        if (window.nCols == 2 && pSplitter->GetColumnCount() == 1)
            pSplitter->SplitColumn(static_cast<int>(window.fColShare * pSplitter->width()));
        const QList<CScrollView*> panes = pSplitter->GetPanes();
        for (int p = 0; p < panes.size() && p < static_cast<int>(window.panes.size()); ++p)
            static_cast<CVorlanView*>(panes[p])->SetPaneView(
                window.panes[static_cast<std::size_t>(p)]);
    }
}
