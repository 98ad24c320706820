// The numbers and the mouse in the desktop program: File, Properties, View, Units, the cursor
// readout and its selection, turning the 3D view with the right button, Ctrl + wheel zoom,
// Export Image, Copy and --export, and the ground from elevation tiles with Export 3D Model and
// --dem.
#include "AppTestSupport.h"
#include "HgtWriter.h"

#include "CMainFrame.h"
#include "CPlot.h"
#include "CPrintFile.h"
#include "CProjector.h"
#include "CPropertiesDlg.h"
#include "CTerrainModel.h"
#include "CVorlanApp.h"
#include "CVorlanDoc.h"
#include "CVorlanView.h"
#include "ChartMath.h"
#include "Resource.h"

#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QClipboard>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QProcess>
#include <QRegularExpression>
#include <QSettings>
#include <QStatusBar>
#include <QTest>
#include <QWheelEvent>
#include <QtEndian>

#include <cmath>

namespace {
// The readout's markers are the only orange on the screen.
const QRgb kOrange = qRgb(255, 140, 0);

QByteArray ReadFile(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// A folder with a tile of hills under the sample loop (47.60 N 121.80 W), written by hand.
QString WriteHillsTile(const QString& folder) {
    const std::string dem = MakeFolder(folder.toStdString());
    WriteHgt(dem + "N47W122.hgt", HgtSamples(1201, 47, -122, [](double lat, double lon) {
                 return 500 + 300 * std::sin(40 * lat) * std::cos(30 * lon);
             }));
    return folder;
}

class NumbersTest : public AppTest {
protected:
    CPlot* Plot() { return View()->Plot(); }
    QWidget* Viewport() { return View()->viewport(); }
    QPoint Scroll() {
        const POINT pos = View()->GetScrollPosition();
        return QPoint(pos.x, pos.y);
    }
    // Ctrl (or nothing) and one notch of the wheel at a point of the client area.
    void Wheel(QPoint pt, bool bUp, Qt::KeyboardModifiers modifiers = Qt::ControlModifier) {
        QWheelEvent event(pt, Viewport()->mapToGlobal(pt), QPoint(), QPoint(0, bUp ? 120 : -120),
                          Qt::NoButton, modifiers, Qt::NoScrollPhase, false);
        QApplication::sendEvent(Viewport(), &event);
    }
    QImage Screen() {
        QApplication::processEvents();
        return Viewport()->grab().toImage().convertToFormat(QImage::Format_RGB32);
    }
};

// The sample is a loop of 400 legs of 0.05 mi around 47.60 N 121.80 W, hills of 900 ft.
TEST_F(NumbersTest, PropertiesListTheSourceAndTheStatisticsOfASample) {
    EXPECT_FALSE(Enabled(ID_FILE_PROPERTIES));
    ImportSample();
    ASSERT_TRUE(Enabled(ID_FILE_PROPERTIES));
    QStringList rows;
    OnNextModal(QStringLiteral("the Properties dialog"), [&rows](QWidget* pModal) {
        auto* pDlg = qobject_cast<CPropertiesDlg*>(pModal);
        ASSERT_NE(pDlg, nullptr);
        for (const auto& [label, value] : pDlg->Rows())
            rows << label + QStringLiteral(": ") + value;
        pDlg->reject();
    });
    Command(ID_FILE_PROPERTIES);
    const QStringList expected = {
        "Source file: " + m_dir.filePath(QStringLiteral("sample.txt")),
        "Format: MapSource text export",
        "Points: 400",
        "Data: elevation, time",
        // The sample's legs are longer than its positions are apart: the export's own total
        // stands beside the one measured, and grades come from the recorded elevations.
        "Total distance: 13.09 mi (device: 20.00 mi)",
        // Every line of the export has the same date and time: a start, and no time taken.
        "Start: 2002-05-22 08:00:00 +00:00",
        "End: 2002-05-22 08:00:00 +00:00",
        "Start elevation: 2169 ft",
        "End elevation: 2159 ft",
        "Lowest elevation: 547 ft",
        "Highest elevation: 2552 ft",
        "Total ascent: 3853 ft",
        "Total descent: 3914 ft",
        "Steepest climb: +54.0 % from 12.17 to 12.24 mi",
        "Steepest descent: -26.8 % from 2.49 to 2.55 mi",
        QStringLiteral("Latitude: 47.57000\u00b0 to 47.63000\u00b0"),
        QStringLiteral("Longitude: -121.84500\u00b0 to -121.75500\u00b0"),
    };
    EXPECT_EQ(rows, expected) << qPrintable(rows.join(QLatin1Char('\n')));

    // A document names the track file it was made from; a first-version one is its own source.
    const QString saved = m_dir.filePath(QStringLiteral("saved.vrl"));
    const std::pair<int, QString> formats[] = {
        {2, QStringLiteral("Vorlan 2 document of sample.txt (MapSource text export)")},
        {1, QStringLiteral("Vorlan 1 document")}};
    for (const auto& [nVersion, format] : formats) {
        Doc()->m_nDocVersion = nVersion;
        ASSERT_TRUE(Doc()->DoSave(saved, false));
        QString error;
        ASSERT_TRUE(Doc()->OnOpenDocument(saved, &error)) << qPrintable(error);
        EXPECT_EQ(Doc()->PropertiesRows().at(1).second, format);
    }
}

// A TCX ride of two laps, each four points ten seconds apart: the Properties get a Laps page, a
// row a lap, the time from a lap's start to the next one's; a track without laps gets none.
TEST_F(NumbersTest, PropertiesShowTheLapsOfATrackThatHasThem) {
    QString tcx = QStringLiteral("<TrainingCenterDatabase><Activities><Activity Sport=\"Biking\">");
    for (int lap = 0; lap < 2; ++lap) {
        tcx += QStringLiteral("<Lap StartTime=\"2024-05-04T07:0%1:00Z\"><Track>").arg(lap);
        for (int i = 0; i < 4; ++i)
            tcx += QStringLiteral("<Trackpoint><Time>2024-05-04T07:0%1:%2Z</Time><Position>"
                                  "<LatitudeDegrees>47.%3</LatitudeDegrees><LongitudeDegrees>8"
                                  "</LongitudeDegrees></Position><AltitudeMeters>500"
                                  "</AltitudeMeters><HeartRateBpm><Value>%4</Value>"
                                  "</HeartRateBpm></Trackpoint>")
                       .arg(lap)
                       .arg(i * 10, 2, 10, QLatin1Char('0'))
                       .arg(lap * 4 + i, 3, 10, QLatin1Char('0'))
                       .arg(130 + 10 * lap);
        tcx += QStringLiteral("</Track></Lap>");
    }
    tcx += QStringLiteral("</Activity></Activities></TrainingCenterDatabase>");
    const QString path = m_dir.filePath(QStringLiteral("ride.tcx"));
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(tcx.toUtf8());
    file.close();
    ChooseInNextFileDialog(path);
    Command(ID_FILE_IMPORT);
    ASSERT_TRUE(Doc()->m_bLoaded);

    CPropertiesDlg::Table laps;
    OnNextModal(QStringLiteral("the Properties dialog"), [&laps](QWidget* pModal) {
        auto* pDlg = qobject_cast<CPropertiesDlg*>(pModal);
        ASSERT_NE(pDlg, nullptr);
        laps = pDlg->Laps();
        pDlg->reject();
    });
    Command(ID_FILE_PROPERTIES);
    EXPECT_EQ(laps.columns, QStringList({"Lap", "Distance", "Time", "Ascent", "Descent",
                                         "Average speed", "Average heart rate"}));
    ASSERT_EQ(2u, laps.rows.size());
    // The first lap runs into the second one's first point: 0:01:00; the last one ends at its own
    // last point, 30 s after it began.
    EXPECT_EQ(laps.rows[0][2], "0:01:00");
    EXPECT_EQ(laps.rows[1][2], "0:00:30");
    EXPECT_EQ(laps.rows[0][6], "130 bpm");
    EXPECT_EQ(laps.rows[1][6], "140 bpm");
    EXPECT_TRUE(Doc()->PropertiesRows().size() > 10);
}

// File, Export Track: the record as GPX through the dialog, never over the track's own file.
TEST_F(NumbersTest, ExportTrackWritesTheRecordAndNeverItsOwnFile) {
    ImportSample();
    ASSERT_TRUE(Enabled(ID_FILE_EXPORT_TRACK));
    const QString gpx = m_dir.filePath(QStringLiteral("out.gpx"));
    ChooseInNextFileDialog(gpx);
    Command(ID_FILE_EXPORT_TRACK);
    QFile file(gpx);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(400, QString::fromUtf8(file.readAll()).count(QStringLiteral("<trkpt ")));
    const QString own = m_dir.filePath(QStringLiteral("sample.txt"));
    EXPECT_TRUE(Doc()->ExportTrack(own).contains(QStringLiteral("it is the input file")))
        << qPrintable(Doc()->ExportTrack(own));
}

// View, X Axis: a walk of four points ten seconds apart drawn over its elapsed time; the choice
// is kept, and the readout at the right end of the frame is the last point.
TEST_F(NumbersTest, XAxisDrawsTheChartOverTimeAndIsKeptInTheSettings) {
    QString points;
    for (int i = 0; i < 4; ++i)
        points += QStringLiteral("<trkpt lat=\"46.5%1\" lon=\"8\"><ele>%2</ele>"
                                 "<time>2021-07-01T08:00:%3Z</time></trkpt>")
                      .arg(i)
                      .arg(500 + 10 * i)
                      .arg(10 + 10 * i);
    const QString path = m_dir.filePath(QStringLiteral("walk.gpx"));
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(("<gpx><trk><trkseg>" + points + "</trkseg></trk></gpx>").toUtf8());
    file.close();
    ChooseInNextFileDialog(path);
    Command(ID_FILE_IMPORT);
    Command(ID_PLOT_ELEVATION);
    Command(ID_VIEW_XAXIS_ELAPSED);
    EXPECT_EQ(Checked(ID_VIEW_XAXIS_ELAPSED), 1);
    EXPECT_STREQ(View()->Plot()->m_szTitle, "Elevation vs Elapsed Time (0:00:30)");
    EXPECT_EQ(QSettings().value(QStringLiteral("Settings/XAxis")).toString(), "elapsed");
    View()->RedrawWindow();
    const RECT& frame = View()->Plot()->m_rcPlot;
    const POINT scroll = View()->GetScrollPosition();
    View()->UpdateReadout(QPoint(frame.right - 1 - scroll.x, frame.top + 5 - scroll.y));
    EXPECT_EQ(Doc()->m_nSelectedPoint, 3);
    Command(ID_VIEW_XAXIS_DISTANCE);
    EXPECT_STREQ(View()->Plot()->m_szXLabel, "Distance, miles");
}

// View, Colour Track By, Grade: the hills' ups in the uphill red and downs in the downhill blue,
// and of the designed blue no more than the legend's sample, in the 3D view and the chart; None
// brings the blue back.
TEST_F(NumbersTest, ColourTrackByGradePaintsTheTrackInTheScalesColours) {
    ImportSample();
    const auto colours = [this] {
        View()->RedrawWindow();
        const QImage image = View()->viewport()->grab().toImage();
        return std::array<int, 3>{CountColour(image, qRgb(220, 30, 30)),
                                  CountColour(image, qRgb(0, 80, 220)),
                                  CountColour(image, qRgb(0, 0, 255))};
    };
    for (const UINT nPlot : {ID_PLOT_3D, ID_PLOT_ELEVATION}) {
        Command(nPlot);
        Command(ID_VIEW_COLOUR_NONE);
        const int nBlue = colours()[2];
        Command(ID_VIEW_COLOUR_GRADE);
        EXPECT_EQ(Checked(ID_VIEW_COLOUR_GRADE), 1);
        const auto [up, down, designed] = colours();
        EXPECT_GT(up, 0) << nPlot;
        EXPECT_GT(down, 0) << nPlot;
        EXPECT_LT(designed, nBlue / 10) << nPlot;
    }
    EXPECT_STREQ(View()->Plot()->m_colourBar.szHigh, "+25 %");
    Command(ID_VIEW_COLOUR_NONE);
    EXPECT_EQ(View()->Plot()->m_pColourSteps, nullptr);
}

// View, Graphs, Grade: a graph under the pane's chart, kept in the settings for new panes;
// unchecked, the chart alone.
TEST_F(NumbersTest, GraphsStackUnderTheChartAndAreKeptInTheSettings) {
    ImportSample();
    Command(ID_PLOT_ELEVATION);
    View()->RedrawWindow();
    const RECT alone = View()->Plot()->m_rcPlot;
    // The sample has no heart rate: that graph is not offered; every track has a grade.
    EXPECT_FALSE(Enabled(ID_VIEW_GRAPH_FIRST + 1));
    EXPECT_TRUE(Enabled(ID_VIEW_GRAPH_LAST));
    Command(ID_VIEW_GRAPH_LAST);
    EXPECT_EQ(Checked(ID_VIEW_GRAPH_LAST), 1);
    View()->RedrawWindow();
    ASSERT_EQ(View()->Plot()->m_nGraphs, 1);
    EXPECT_LT(View()->Plot()->m_rcPlot.bottom, alone.bottom);
    EXPECT_EQ(QSettings().value(QStringLiteral("Settings/Graphs")).toUInt(), 1u << 5);
    // The readout follows the mouse over the graph as over the chart above it.
    const RECT& chart = View()->Plot()->m_rcPlot;
    const RECT& graph = View()->Plot()->m_graphs[0].rc;
    const int x = (chart.left + chart.right) / 2;
    View()->UpdateReadout(QPoint(x, (chart.top + chart.bottom) / 2));
    const int nOverChart = Doc()->m_nSelectedPoint;
    View()->ClearReadout();
    View()->UpdateReadout(QPoint(x, (graph.top + graph.bottom) / 2));
    EXPECT_GE(nOverChart, 0);
    EXPECT_EQ(Doc()->m_nSelectedPoint, nOverChart);
    View()->ClearReadout();
    // A new window starts with it; unchecked there, the first window keeps it.
    CVorlanView* pFirst = View();
    Command(ID_WINDOW_NEW);
    ASSERT_NE(View(), pFirst);
    EXPECT_EQ(Checked(ID_VIEW_GRAPH_LAST), 1);
    Command(ID_VIEW_GRAPH_LAST);
    View()->RedrawWindow();
    pFirst->RedrawWindow();
    EXPECT_EQ(View()->Plot()->m_nGraphs, 0);
    EXPECT_EQ(pFirst->Plot()->m_nGraphs, 1);
    EXPECT_EQ(View()->Plot()->m_rcPlot.bottom, alone.bottom);
}

// View, Elevation Data Folder: the ground under the track from the tiles (the samples' made-up
// tile under the test track), a dashed "Terrain" series on the chart and its numbers beside the
// track's in Properties; a folder without the tile names it in the status bar and Properties.
TEST_F(NumbersTest, TheGroundFromElevationTilesShowsOnTheChartAndInTheNumbers) {
    VorlanApp()->SetElevationFolder(QStringLiteral(VORLAN_SAMPLES "/dem"));
    ImportSample();
    Command(ID_PLOT_ELEVATION);
    View()->RedrawWindow();
    ASSERT_EQ(Doc()->m_groundFeet.size(), static_cast<std::size_t>(Doc()->m_track.m_nCount));
    ASSERT_EQ(View()->Plot()->m_nTerrainSeries, 2);
    EXPECT_STREQ(View()->Plot()->m_szLegend[2], "Terrain");
    QStringList rows;
    for (const CPropertiesDlg::Row& row : Doc()->PropertiesRows())
        rows << row.first + QStringLiteral(": ") + row.second;
    const QRegularExpression ascent(
        QStringLiteral("^Total ascent: \\d+ ft \\(terrain: \\d+ ft\\)$"));
    EXPECT_EQ(rows.filter(QStringLiteral("Lowest ground: ")).size(), 1)
        << qPrintable(rows.join('\n'));
    EXPECT_EQ(rows.filter(ascent).size(), 1) << qPrintable(rows.join('\n'));

    // The 3D view draws the ground, with True Proportions on request.
    Command(ID_PLOT_3D);
    Command(ID_VIEW_PROPORTIONS_2X);
    View()->RedrawWindow();
    EXPECT_NE(View()->Plot()->m_pGround, nullptr);
    EXPECT_EQ(View()->Plot()->m_nExaggeration, 2);
    EXPECT_EQ(Checked(ID_VIEW_PROPORTIONS_2X), 1);
    EXPECT_LE(View()->Plot()->m_fSceneZMin, Doc()->m_ground.lowestM * 3.2808399 + 0.01);
    Command(ID_VIEW_PROPORTIONS_OFF);
    // Track, Elevations from Terrain, and Edit, Undo: the ground's heights and back.
    const float fOwn = Doc()->m_track.m_fElev[10];
    EXPECT_FALSE(Enabled(ID_EDIT_UNDO));
    Command(ID_TRACK_ELEVATIONS_FROM_TERRAIN);
    EXPECT_EQ(Doc()->m_track.m_fElev[10], Doc()->m_groundFeet[10]);
    Command(ID_EDIT_UNDO);
    EXPECT_EQ(Doc()->m_track.m_fElev[10], fOwn);
    EXPECT_FALSE(Enabled(ID_EDIT_UNDO));

    VorlanApp()->SetElevationFolder(m_dir.path());
    EXPECT_TRUE(Doc()->m_groundFeet.empty());
    const QString missing = QStringLiteral("No elevation data for N47W122 (1 of 1 tile needed).");
    EXPECT_EQ(QString::fromStdString(Doc()->m_ground.message), missing);
    EXPECT_TRUE(CMainFrame::ViewStatusText(View()).contains(missing));
    VorlanApp()->SetElevationFolder(QString());
}

// A file without elevations takes the ground's from the tiles as it is imported, and the status
// bar says so after the import's own notes; Edit, Undo gives the file's back.
TEST_F(NumbersTest, AFileWithoutElevationsTakesTheGroundsAndSaysSo) {
    VorlanApp()->SetElevationFolder(QStringLiteral(VORLAN_SAMPLES "/dem"));
    ChooseInNextFileDialog(QStringLiteral(VORLAN_SAMPLES "/no-elevation.gpx"));
    Command(ID_FILE_IMPORT);
    ASSERT_FALSE(Doc()->m_groundFeet.empty());
    EXPECT_EQ(Doc()->m_track.m_fElev[10], Doc()->m_groundFeet[10]);
    EXPECT_EQ(VorlanApp()->GetMainFrame()->statusBar()->currentMessage(),
              QStringLiteral("GPX: 300 points read.  No elevation in this file.  The file has no "
                             "elevations: the track takes the ground's from the elevation tiles."));
    EXPECT_TRUE(Enabled(ID_EDIT_UNDO));
    VorlanApp()->SetElevationFolder(QString());
}

// File, Export 3D Model: offered once a folder of tiles is chosen; the ground under the sample as
// binary STL, 84 bytes and 50 a triangle, never over the track's own file.
TEST_F(NumbersTest, ExportModelWritesTheGroundAsBinaryStl) {
    ImportSample();
    EXPECT_FALSE(Enabled(ID_FILE_EXPORT_MODEL));
    VorlanApp()->SetElevationFolder(WriteHillsTile(m_dir.filePath(QStringLiteral("dem"))));
    ASSERT_TRUE(Enabled(ID_FILE_EXPORT_MODEL));
    const QString stl = m_dir.filePath(QStringLiteral("sample.stl"));
    ASSERT_EQ(Doc()->ExportModel(stl, 2, CTerrainModel::kDefaultBaseMm), QString());
    const QByteArray bytes = ReadFile(stl);
    ASSERT_GT(bytes.size(), 84);
    const quint32 nTriangles = qFromLittleEndian<quint32>(bytes.constData() + 80);
    EXPECT_GT(nTriangles, 0u);
    EXPECT_EQ(bytes.size(), 84 + 50 * qsizetype{nTriangles});
    const QString own = m_dir.filePath(QStringLiteral("sample.txt"));
    EXPECT_TRUE(Doc()
                    ->ExportModel(own, 1, CTerrainModel::kDefaultBaseMm)
                    .contains(QStringLiteral("it is the input file")));
    VorlanApp()->SetElevationFolder(QString());
    EXPECT_FALSE(Enabled(ID_FILE_EXPORT_MODEL));
}

// --dem DIR: the ground of the folder for this run only, as View, Terrain shows it, though the
// settings have it off: the 3D view's SVG is the one vorlan-cli render draws from the same tiles,
// and an export without --dem after it is the plain one again (the floor its only polygon):
// nothing was kept. --dem goes only with --export or printing, and only with a folder that holds
// tiles (status 2).
TEST_F(NumbersTest, DemExportsTheGroundOfAFolderForThisRunOnly) {
    const QString track = WriteTrackFile(m_dir.filePath(QStringLiteral("loop.txt")), 400);
    const QString dem = WriteHillsTile(m_dir.filePath(QStringLiteral("dem")));
    const QString config = m_dir.filePath(QStringLiteral("config"));
    // The settings have the terrain off; --dem shows the ground all the same.
    const QString settings =
        QStringLiteral("%1/%2/%3.conf")
            .arg(config, QCoreApplication::organizationName(), QCoreApplication::applicationName());
    ASSERT_TRUE(QDir().mkpath(QFileInfo(settings).absolutePath()));
    QFile file(settings);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("[Settings]\nTerrain=false\n");
    file.close();
    const auto render = [&](const QString& out, const QStringList& options) {
        QProcess cli;
        cli.start(QStringLiteral(VORLAN_CLI),
                  QStringList{QStringLiteral("render"), track, QStringLiteral("-o"), out,
                              QStringLiteral("--plot"), QStringLiteral("3d"),
                              QStringLiteral("--size"), QStringLiteral("800x600"),
                              QStringLiteral("--dpi"), QStringLiteral("96")} +
                      options);
        return cli.waitForFinished(30000) && cli.exitCode() == 0 ? ReadFile(out) : QByteArray();
    };
    const QString ground = m_dir.filePath(QStringLiteral("ground.svg"));
    const QString plain = m_dir.filePath(QStringLiteral("plain.svg"));
    ASSERT_EQ(RunVorlan({QStringLiteral("--export"), ground, QStringLiteral("--dem"), dem, track},
                        config),
              0);
    ASSERT_EQ(RunVorlan({QStringLiteral("--export"), plain, track}, config), 0);
    const QByteArray withGround =
        render(m_dir.filePath(QStringLiteral("cli-ground.svg")), {QStringLiteral("--dem"), dem});
    EXPECT_GT(withGround.count("<polygon"), 1);
    EXPECT_EQ(ReadFile(ground), withGround);
    EXPECT_EQ(ReadFile(plain).count("<polygon"), 1);
    EXPECT_EQ(ReadFile(plain), render(m_dir.filePath(QStringLiteral("cli-plain.svg")), {}));

    const QString empty = m_dir.filePath(QStringLiteral("empty"));
    ASSERT_TRUE(QDir().mkdir(empty));
    const QString none = m_dir.filePath(QStringLiteral("none"));
    const QString out = m_dir.filePath(QStringLiteral("out.svg"));
    const QString pdf = m_dir.filePath(QStringLiteral("out.pdf"));
    const struct {
        QStringList args;
        QString message;
    } refused[] = {
        {{QStringLiteral("--dem"), dem, track},
         QStringLiteral("--dem goes with --export or printing.")},
        {{QStringLiteral("--export"), out, QStringLiteral("--dem"), empty, track},
         QStringLiteral("--dem %1: it holds no elevation tiles").arg(empty)},
        {{QStringLiteral("--print-to"), pdf, QStringLiteral("--dem"), none, track},
         QStringLiteral("--dem %1: not a folder of elevation tiles (it does not exist or is no "
                        "folder)")
             .arg(none)},
    };
    for (const auto& row : refused) {
        QString error;
        EXPECT_EQ(RunVorlan(row.args, config, &error), 2) << qPrintable(row.args.join(' '));
        EXPECT_TRUE(error.contains(row.message)) << qPrintable(error);
    }
    EXPECT_FALSE(QFile::exists(out) || QFile::exists(pdf));
}

TEST_F(NumbersTest, MenusCarryUnitsAsRadioItemsAndTheNewCommandsWithTheirKeys) {
    QAction* pImperial = Frame()->Action(ID_VIEW_UNITS_IMPERIAL);
    QAction* pMetric = Frame()->Action(ID_VIEW_UNITS_METRIC);
    ASSERT_TRUE(pImperial && pMetric);
    ASSERT_NE(pImperial->actionGroup(), nullptr);
    EXPECT_EQ(pImperial->actionGroup(), pMetric->actionGroup());
    EXPECT_EQ(pImperial->actionGroup()->exclusionPolicy(),
              QActionGroup::ExclusionPolicy::Exclusive);
    EXPECT_EQ(pImperial->text(), "&Imperial (ft, mi)");
    EXPECT_EQ(pMetric->text(), "&Metric (m, km)");
    Frame()->UpdateAllCommandUI();
    EXPECT_TRUE(pImperial->isChecked());
    EXPECT_FALSE(pMetric->isChecked());
    EXPECT_EQ(Frame()->Action(ID_FILE_PROPERTIES)->shortcut(),
              QKeySequence(Qt::ALT | Qt::Key_Return));
    EXPECT_EQ(Frame()->Action(ID_EDIT_COPY)->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_C));
    EXPECT_EQ(Frame()->Action(ID_FILE_EXPORT_IMAGE)->text(), "Export &Image...");
    // Export and Copy need a plot; the units can be chosen at any time.
    EXPECT_FALSE(Enabled(ID_FILE_EXPORT_IMAGE));
    EXPECT_FALSE(Enabled(ID_EDIT_COPY));
    EXPECT_TRUE(Enabled(ID_VIEW_UNITS_METRIC));
}

// Metric units: the chart's texts and the tick values laid out on kilometres and metres; the
// choice goes to the settings, and back.
TEST_F(NumbersTest, UnitSwitchRefillsTheChartAndIsKeptInTheSettings) {
    ImportSample();
    Command(ID_PLOT_ELEVATION);
    View()->RedrawWindow();
    EXPECT_STREQ(Plot()->m_szXLabel, "Distance, miles");
    EXPECT_EQ(Plot()->m_fXMax, 20.0f);
    Command(ID_VIEW_UNITS_METRIC);
    EXPECT_EQ(Checked(ID_VIEW_UNITS_METRIC), 1);
    EXPECT_EQ(Checked(ID_VIEW_UNITS_IMPERIAL), 0);
    EXPECT_EQ(QSettings().value(QStringLiteral("Settings/Units")).toString(), "metric");
    View()->RedrawWindow();
    EXPECT_STREQ(Plot()->m_szXLabel, "Distance, km");
    EXPECT_STREQ(Plot()->m_szYLabel, "Elevation, m");
    EXPECT_STREQ(Plot()->m_szTitle, "Elevation vs Distance (32.19 km)");
    // 20 mi = 32.19 km: the axis ends on the tick after it; 2552 ft = 778 m.
    EXPECT_EQ(Plot()->m_fXMin, 0.0f);
    EXPECT_EQ(Plot()->m_fXMax, 35.0f);
    EXPECT_EQ(Plot()->m_fYMax, 860.0f);
    Command(ID_VIEW_UNITS_IMPERIAL);
    View()->RedrawWindow();
    EXPECT_STREQ(Plot()->m_szXLabel, "Distance, miles");
    EXPECT_EQ(QSettings().value(QStringLiteral("Settings/Units")).toString(), "imperial");
}

// Zoomed in eight times the points of the chart lie pixels apart, so the mouse over a point's
// cursor position reads exactly that point; the readout is on screen only.
TEST_F(NumbersTest, ReadoutSelectsThePointUnderTheMouseAndLeavingRemovesIt) {
    ImportSample();
    Command(ID_PLOT_ELEVATION);
    for (int i = 0; i < 3; ++i)
        Command(ID_ZOOM_IN);
    const CTrack& track = Doc()->m_track;
    constexpr int kPoint = 250;
    const QPointF chart(track.m_fDist[kPoint], track.m_fSmooth[kPoint]);
    const QPoint logical = View()->Overlay().ToLogical(chart).toPoint();
    View()->ScrollToPosition(POINT{logical.x() - 200, logical.y() - 100});
    View()->RedrawWindow();
    const QPoint client = logical - Scroll();
    QTest::mouseMove(Viewport(), client);
    EXPECT_EQ(Doc()->m_nSelectedPoint, kPoint);
    EXPECT_TRUE(Frame()->StatusText().startsWith(QStringLiteral("12.55 mi  ")))
        << qPrintable(Frame()->StatusText());
    EXPECT_GT(CountColour(Screen(), kOrange), 0);
    // The export never shows it.
    const QString png = m_dir.filePath(QStringLiteral("cursor.png"));
    ASSERT_EQ(View()->ExportImage(png, 1), QString());
    EXPECT_EQ(CountColour(QImage(png).convertToFormat(QImage::Format_RGB32), kOrange), 0);

    QEvent leave(QEvent::Leave);
    QApplication::sendEvent(Viewport(), &leave);
    EXPECT_EQ(Doc()->m_nSelectedPoint, -1);
    EXPECT_EQ(Frame()->StatusText(), "For Help, press F1");
    EXPECT_EQ(CountColour(Screen(), kOrange), 0);
}

// In 3D the mouse picks a drawn point within 8 pixels; far from the track it picks none.
TEST_F(NumbersTest, HoveringThe3DTrackSelectsADrawnPoint) {
    ImportSample();
    View()->RedrawWindow();
    CPlot* pPlot = Plot();
    const CTrack& track = Doc()->m_track;
    pPlot->m_pProjector->Project(track.m_fSouth[100], track.m_fEast[100], track.m_fSmooth[100]);
    const QPoint point(
        TruncToInt(pPlot->m_pProjector->m_fProjX * pPlot->m_fXScale + pPlot->m_fXOffset),
        TruncToInt(pPlot->m_pProjector->m_fProjY * pPlot->m_fYScale + pPlot->m_fYOffset));
    QTest::mouseMove(Viewport(), point + QPoint(0, 6) - Scroll());
    const int nSelected = Doc()->m_nSelectedPoint;
    ASSERT_GE(nSelected, 0);
    pPlot->m_pProjector->Project(track.m_fSouth[nSelected], track.m_fEast[nSelected],
                                 track.m_fSmooth[nSelected]);
    const QPoint picked(
        TruncToInt(pPlot->m_pProjector->m_fProjX * pPlot->m_fXScale + pPlot->m_fXOffset),
        TruncToInt(pPlot->m_pProjector->m_fProjY * pPlot->m_fYScale + pPlot->m_fYOffset));
    EXPECT_LE((picked - point - QPoint(0, 6)).manhattanLength(), 2 * 8);
    QTest::mouseMove(Viewport(), QPoint(2, 2));
    EXPECT_EQ(Doc()->m_nSelectedPoint, -1);
}

// 40 pixels right and 20 up turn the scene 10 degrees to the right and 5 up; the elevation
// angle stops at 90 however far the drag goes.
TEST_F(NumbersTest, RightDragTurnsTheSceneOneDegreePerFourPixels) {
    ImportSample();
    const QPoint press(200, 150);
    QTest::mousePress(Viewport(), Qt::RightButton, Qt::NoModifier, press);
    QTest::mouseMove(Viewport(), press + QPoint(40, -20));
    EXPECT_EQ(Plot()->m_fAzimuth, 20.0f);
    EXPECT_EQ(Plot()->m_fElevation, 15.0f);
    Frame()->UpdateViewStatus();
    EXPECT_EQ(Frame()->ViewStatus(),
              QStringLiteral("Azimuth 20\u00b0  Elevation 15\u00b0  Zoom 1x"));
    QTest::mouseMove(Viewport(), press + QPoint(-2, 400));
    EXPECT_EQ(Plot()->m_fAzimuth, 30.5f);
    EXPECT_EQ(Plot()->m_fElevation, 90.0f);
    QTest::mouseRelease(Viewport(), Qt::RightButton, Qt::NoModifier, press + QPoint(-2, 400));
    EXPECT_EQ(Plot()->m_fElevation, 90.0f);
}

// Ctrl + wheel steps the zoom as the commands do, up to 16 and back down to 1, with the chart
// point under the mouse staying under it; the wheel alone scrolls.
TEST_F(NumbersTest, CtrlWheelZoomsWithinTheLimitsAroundTheMouse) {
    ImportSample();
    Command(ID_PLOT_ELEVATION);
    View()->RedrawWindow();
    const QPoint mouse(Viewport()->width() * 3 / 5, Viewport()->height() / 2);
    for (float expected : {2.0f, 4.0f, 8.0f, 16.0f, 16.0f}) {
        const QPointF chart = View()->Overlay().ToChart(QPointF(mouse + Scroll()));
        Wheel(mouse, true);
        EXPECT_EQ(Plot()->m_fZoom, expected);
        // Within the rounding of the scroll position to whole pixels.
        const QPointF now = View()->Overlay().ToLogical(chart) - QPointF(Scroll());
        EXPECT_NEAR(now.x(), mouse.x(), 0.5);
        EXPECT_NEAR(now.y(), mouse.y(), 0.5);
    }
    Wheel(mouse, true, Qt::NoModifier);
    EXPECT_EQ(Plot()->m_fZoom, 16.0f);
    for (float expected : {8.0f, 4.0f, 2.0f, 1.0f, 1.0f}) {
        Wheel(mouse, false);
        EXPECT_EQ(Plot()->m_fZoom, expected);
    }
}

// The window's export: a PNG of its size times the scale with the plot's colours, the SVG that
// vorlan-cli render makes for that size, a complete PDF; Copy gives the image; --export does
// the same without a window, with exit status 1 on failure and 2 on a usage error.
TEST_F(NumbersTest, ExportWritesPngSvgAndPdfAsTheScreenShowsThem) {
    ImportSample();
    Command(ID_PLOT_ELEVATION);
    const QSize client = Viewport()->size();
    const QString png = m_dir.filePath(QStringLiteral("plot.png"));
    ASSERT_EQ(View()->ExportImage(png, 2), QString());
    const QImage image = QImage(png).convertToFormat(QImage::Format_RGB32);
    EXPECT_EQ(image.size(), client * 2);
    EXPECT_GT(CountColour(image, qRgb(255, 0, 0)), 0); // the raw series
    EXPECT_GT(CountColour(image, qRgb(0, 0, 255)), 0); // the smoothed series
    // Pens scale with the picture: at 4 times the size the series are 4 times as long and as
    // wide, about 16 times the pixels (hairlines would give 4 times).
    const QString png4 = m_dir.filePath(QStringLiteral("plot4.png"));
    ASSERT_EQ(View()->ExportImage(png, 1), QString());
    ASSERT_EQ(View()->ExportImage(png4, 4), QString());
    EXPECT_GE(CountColour(QImage(png4).convertToFormat(QImage::Format_RGB32), qRgb(0, 0, 255)),
              12 * CountColour(QImage(png).convertToFormat(QImage::Format_RGB32), qRgb(0, 0, 255)));
    Command(ID_EDIT_COPY);
    EXPECT_EQ(QApplication::clipboard()->image().size(), client);
    // A 16x zoom at 4 times the window would be gigabytes: refused with its size, at once.
    Plot()->m_fZoom = 16.0f;
    EXPECT_TRUE(View()->ExportImage(png4, 4).contains(
        QStringLiteral("The image would be %1 x %2 pixels, too large to make")
            .arg(client.width() * 64)
            .arg(client.height() * 64)));
    Plot()->m_fZoom = 1.0f;

    const QString vrl = m_dir.filePath(QStringLiteral("plot.vrl"));
    ASSERT_TRUE(Doc()->DoSave(vrl));
    const QString svg = m_dir.filePath(QStringLiteral("plot.svg"));
    ASSERT_EQ(View()->ExportImage(svg, 1), QString());
    const QString cliSvg = m_dir.filePath(QStringLiteral("cli.svg"));
    QProcess cli;
    cli.start(QStringLiteral(VORLAN_CLI),
              {QStringLiteral("render"), vrl, QStringLiteral("-o"), cliSvg,
               QStringLiteral("--plot"), QStringLiteral("elevation"), QStringLiteral("--size"),
               QStringLiteral("%1x%2").arg(client.width()).arg(client.height()),
               QStringLiteral("--dpi"), QString::number(Viewport()->logicalDpiX())});
    ASSERT_TRUE(cli.waitForFinished(30000));
    EXPECT_EQ(ReadFile(svg), ReadFile(cliSvg));

    const QString pdf = m_dir.filePath(QStringLiteral("plot.pdf"));
    ASSERT_EQ(View()->ExportImage(pdf, 1), QString());
    EXPECT_TRUE(CPrintFile::IsCompletePdf(QFile::encodeName(pdf).toStdString()));
    EXPECT_TRUE(ReadFile(pdf).contains("/Type /Page"));

    const QString config = m_dir.filePath(QStringLiteral("config"));
    const QString out = m_dir.filePath(QStringLiteral("out.png"));
    EXPECT_EQ(RunVorlan({QStringLiteral("--export"), out, QStringLiteral("--size"),
                         QStringLiteral("640x480"), vrl},
                        config),
              0);
    EXPECT_EQ(QImage(out).size(), QSize(640, 480));
    // Track files are imported as `vorlan FILE` imports them, with the same notes.
    const QString pdf2 = m_dir.filePath(QStringLiteral("ride.pdf"));
    QString notes;
    const QString gpx = QStringLiteral(VORLAN_SAMPLES "/long-30000.gpx");
    EXPECT_EQ(RunVorlan({QStringLiteral("--export"), out, QStringLiteral("--size"),
                         QStringLiteral("800x600"), gpx},
                        config, &notes),
              0);
    EXPECT_EQ(QImage(out).size(), QSize(800, 600));
    EXPECT_EQ(notes, QStringLiteral("vorlan: GPX: 30000 points read.  Simplified from 30000 to "
                                    "10000 points.\n"));
    EXPECT_EQ(RunVorlan({QStringLiteral("--print-to"), pdf2, gpx}, config), 0);
    EXPECT_TRUE(CPrintFile::IsCompletePdf(QFile::encodeName(pdf2).toStdString()));
    QString error;
    EXPECT_EQ(
        RunVorlan({QStringLiteral("--export"), m_dir.filePath(QStringLiteral("no/x.svg")), vrl},
                  config, &error),
        1);
    EXPECT_TRUE(error.contains(QStringLiteral("No such file or directory"))) << qPrintable(error);
    EXPECT_EQ(RunVorlan({QStringLiteral("--export"), out, QStringLiteral("--plot"),
                         QStringLiteral("map"), vrl},
                        config),
              2);
}
} // namespace
