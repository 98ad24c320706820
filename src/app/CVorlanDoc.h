// The track document: one track and its record, the plot and view values that a new pane opens
// with and that the file keeps (each pane then has a chart of its own: CVorlanView); the commands
// that import a track, with their update rules; the document file and imports through the core
// document module.
#pragma once

#include "CDocument.h"
#include "CDocumentFile.h"
#include "CPropertiesDlg.h"
#include "CTerrainService.h"
#include "CTimeStatistics.h"
#include "CTrack.h"
#include "CTrackRecord.h"
#include "CTrackStatistics.h"
#include "CViewValues.h"
#include "Units.h"

#include <QStringList>

#include <memory>
#include <optional>
#include <string>
#include <vector>

class CTrackStatistics;
struct CFileResult;

class CVorlanDoc : public CDocument {
public:
    CVorlanDoc();
    ~CVorlanDoc() override;

    BOOL OnNewDocument() override;
    BOOL OnOpenDocument(const QString& strPath, QString* pstrError) override;
    BOOL OnSaveDocument(const QString& strPath, QString* pstrError) override;
    bool PromptSaveAs(QString& strName) override;
    // A version chosen in Save As holds only once that save has written its file.
    BOOL DoSave(const QString& strPath, bool bReplace = true) override;
    // The document's file and the track file it was imported from.
    QStringList InputFiles() const override;

    // Plot modes.
    static constexpr short kPlotNone = -1;
    static constexpr short kPlotElevation = 0;
    static constexpr short kPlot3D = 3;

    short m_bLoaded = 0;
    CTrack m_track;
    // Everything the track's file holds; the track above is the designed view of it.
    CTrackRecord m_record;
    // The document version Save writes: the one the document was opened in or saved as last;
    // the newest for an import.
    int m_nDocVersion = CDocumentFile::kNewestVersion;
    // The plot and the zoom and view angles of the pane changed last: a new pane (a new window)
    // opens with them, and Save writes them.
    short m_nPlotMode = kPlotNone;
    short m_b3D = 0;
    CViewValues m_view;

    // Every pane shows nMode with the document's view values (after an import or an open).
    void ShowPlot(short nMode);
    // A pane's plot and values become the document's (see m_nPlotMode).
    void TakeView(short nMode, const CViewValues& view);
    // The windows and panes as they are, into m_view.m_windows (what Save keeps), and back: the
    // first window split and its panes set as the document keeps them, further windows opened.
    void GatherWindows();
    void RestoreWindows();

    void OnFileImport();
    void OnUpdateFileImport(CCmdUI* pCmdUI);

    // Asks for the track file to import; an empty result means the user cancelled.
    static QString PromptImportFile();
    // The Import dialog's filters: every track file, then one per format, then all files.
    static QStringList ImportFilters();
    // A file that an import reads: one of our formats' (".gpx", ".fit", ... and MapSource's
    // ".txt", any case) or one GPSBabel reads for us.
    static bool IsTrackFile(const QString& strPath);
    // Imports the track file at strPath into this empty document and shows it in 3D, with what
    // the import found in the status bar; false when the file gives no track, with the file's
    // name and the reason in *pstrError, or holds no track point, with "No track points in
    // FILE." (the document then stays empty). An import the user cancelled gives false with an
    // empty *pstrError: nothing to tell. A long import shows its progress.
    bool ImportFile(const QString& strPath, QString* pstrError);
    // The file's full name above the sentence that says what went wrong.
    static QString ErrorText(const QString& strPath, const CFileResult& result);

    // The numbers: where the track came from and what its import said (Properties), the point
    // the cursor readout is on (shared by every view of the document; -1 for none) and the
    // units the plot shows.
    QString m_strSourceFile;
    QString m_strSourceFormat;
    std::vector<std::string> m_importNotes;
    int m_nSelectedPoint = -1;

    // The hint of UpdateAllViews when only the selected point moved: the views repaint their
    // overlay, not the plot.
    static constexpr long kHintSelection = 1;
    // The hint when every pane is to show the document's plot and view values afresh.
    static constexpr long kHintShowPlot = 2;
    // The hint when the display units or the chart's x axis changed: every pane refills.
    static constexpr long kHintRefill = 3;
    // The hint when the selected stretch changed: every pane repaints its overlay.
    static constexpr long kHintStretch = 4;

    // The stretch of the track the user selected on the chart (Shift + drag): its first and
    // last point (first <= last), -1 for none. Shaded on every chart, thicker in every 3D view.
    int m_nStretchFirst = -1;
    int m_nStretchLast = -1;
    bool HasStretch() const { return m_nStretchFirst >= 0; }
    void SetStretch(int nFrom, int nTo);
    void ClearStretch();
    // The stretch's numbers from the record, and the line of them the status bar shows
    // ("Selection: 1.23 mi  0:12:34 (moving 0:11:02)  +312 ft  -45 ft  +4.8 %  6.1 mph  142
    // bpm"); empty without a stretch.
    std::optional<StretchFigures> StretchNumbers() const;
    const QString& StretchText() const { return m_strStretch; }
    void SetSelectedPoint(int nIndex);
    // Every pane fills its chart again in the display units and over the x axis the application
    // now has; the file is not affected.
    void RefillViews();
    // The ground under the track from the application's elevation tiles, measured after a load
    // and when the folder changes: along the record's points (m_ground, with what is missing)
    // and at the track's in feet (m_groundFeet, NaN where no tile covers it; empty without any).
    void MeasureGround();
    GroundAlong m_ground;
    std::vector<float> m_groundFeet;
    // The ground around the track for the 3D view; null without any.
    std::unique_ptr<CGroundHeights> m_pGround3D;
    // Track, Elevations from Terrain: the track's elevations become the ground's where the
    // tiles cover it (the record keeps the file's); Edit, Undo gives the track its own back.
    // A track whose file has no elevations takes the ground's on loading, with a note.
    void OnTrackElevationsFromTerrain();
    void OnUpdateTrackElevationsFromTerrain(CCmdUI* pCmdUI);
    void OnEditUndo();
    void OnUpdateEditUndo(CCmdUI* pCmdUI);
    bool TakeGroundElevations();
    // The elevations before the last Elevations from Terrain; empty when there is none to undo.
    std::vector<float> m_undoElevations;
    // The statistics of Properties, with the ground's climb where it is known.
    CTrackStatistics Statistics() const;
    // The rows of File, Properties: the source, then the track's statistics in the plot's units.
    std::vector<CPropertiesDlg::Row> PropertiesRows() const;
    std::vector<CPropertiesDlg::Row> PropertiesRows(const CTrackStatistics& statistics) const;
    // Writes the track's record to strPath as GPX or CSV (by the name's extension, GPX for any
    // other); the message of a failure, or an empty string. The document's own files are never
    // replaced, and a read-only file only when the user agrees.
    QString ExportTrack(const QString& strPath) const;
    // Writes the model of the ground around the track (File, Export 3D Model) to strPath as
    // binary STL, the heights times fExaggeration over a base fBaseMm thick (within
    // CTerrainModel's limits), from the application's elevation tiles; the message of a failure
    // (the file's name and why), or an empty string. Ground the tiles lack is said as a note.
    // Never over the document's own files, and over a read-only file only when the user agrees.
    QString ExportModel(const QString& strPath, double fExaggeration, double fBaseMm) const;
    // Whether an export may write strPath: never one of InputFiles(), and a read-only file only
    // when the user agrees; false with the message, which stays empty when the user said no.
    bool MayExportTo(const QString& strPath, QString* pstrError) const;
    // The Properties' Selection column: the selected stretch's numbers by row label.
    std::vector<CPropertiesDlg::Row> SelectionRows() const;
    // The Properties' Laps page: a row a lap, none for a track without laps.
    static CPropertiesDlg::Table LapsTable(const CTrackStatistics& statistics);

    void OnFileProperties();
    void OnFileExportTrack();
    void OnFileExportModel();
    void OnUpdateFileProperties(CCmdUI* pCmdUI);
    void OnUpdateFileExportModel(CCmdUI* pCmdUI);

protected:
    BOOL OnDocCmdMsg(UINT nID, CmdCode nCode, CCmdUI* pCmdUI) override;

private:
    // Whether the record holds more than a Vorlan 1 document keeps.
    bool KeepsMoreThanTheShape() const;
    CFileResult ReadTrackFile(const QString& strPath);
    // The status bar's line of the stretch, worked out when the stretch or the units change.
    QString MakeStretchText() const;
    QString m_strStretch;
    // The record's distances, measured once for the stretches.
    mutable std::vector<double> m_metres;
};
