// The chart view: drawing dispatch and scroll sizes, the zoom commands and their button states,
// rubber bands, the keys of the 3D view, and the colours that reach the screen.
#include "AppTestSupport.h"

#include "CMainFrame.h"
#include "CPlot.h"
#include "CQtDC.h"
#include "CRecordingDC.h"
#include "CScreenTiming.h"
#include "CVorlanApp.h"
#include "CVorlanDoc.h"
#include "CVorlanView.h"
#include "Resource.h"

#include <QApplication>
#include <QImage>
#include <QLoggingCategory>
#include <QMouseEvent>
#include <QPainter>
#include <QRegularExpression>
#include <QScrollBar>
#include <QTest>

#include <cstdlib>
#include <string>

namespace {
class ViewTest : public AppTest {
protected:
    CPlot* Plot() { return View()->Plot(); }
    QWidget* Viewport() { return View()->viewport(); }
    void Drag(QPoint from, QPoint to) {
        QTest::mousePress(Viewport(), Qt::LeftButton, Qt::NoModifier, from);
        QTest::mouseMove(Viewport(), to);
        QTest::mouseRelease(Viewport(), Qt::LeftButton, Qt::NoModifier, to);
    }
    void Key(Qt::Key key) { QTest::keyClick(View(), key); }
    QImage Screen() {
        QApplication::processEvents();
        return Viewport()->grab().toImage().convertToFormat(QImage::Format_RGB32);
    }
};

// An empty document shows only a hint in the middle of the window, never on paper, and the
// hint goes once a track is loaded.
TEST_F(ViewTest, EmptyDocumentShowsOnlyAHintAndKeepsTheInitialExtent) {
    const int nDraws = View()->DrawCount();
    View()->RedrawWindow();
    EXPECT_EQ(View()->DrawCount(), nDraws + 1);
    EXPECT_EQ(View()->GetTotalSize().cx, 600);
    EXPECT_EQ(View()->GetTotalSize().cy, 400);
    const QImage image = Screen();
    QRect ink;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if ((image.pixel(x, y) & 0xFFFFFF) != 0xFFFFFF)
                ink |= QRect(x, y, 1, 1);
    ASSERT_FALSE(ink.isEmpty());
    EXPECT_LE(std::abs(ink.center().x() - image.width() / 2), 2);
    EXPECT_LT(ink.height(), image.height() / 4);

    const std::string hint = CVorlanView::EmptyHint();
    CRecordingDC paper = CRecordingDC::Printer(600, 4000, 6000);
    View()->OnDraw(&paper);
    EXPECT_TRUE(paper.Lines("TextOut").empty());
    ImportSample(50);
    CRecordingDC screen = CRecordingDC::Screen(96, 800, 600);
    View()->OnDraw(&screen);
    EXPECT_EQ(screen.Text().find(hint), std::string::npos);
}

// View, Smooth Lines is off at first, turns on with a check mark and is kept for the next start.
TEST_F(ViewTest, SmoothLinesIsAKeptSetting) {
    EXPECT_EQ(Checked(ID_VIEW_SMOOTH_LINES), 0);
    Command(ID_VIEW_SMOOTH_LINES);
    EXPECT_EQ(Checked(ID_VIEW_SMOOTH_LINES), 1);
    VorlanApp()->ExitInstance();
    ASSERT_TRUE(VorlanApp()->InitInstance({QStringLiteral("vorlan")}));
    EXPECT_EQ(Checked(ID_VIEW_SMOOTH_LINES), 1);
}

TEST_F(ViewTest, ScrollSizesFollowTheChartPage) {
    ImportSample();
    View()->RedrawWindow();
    EXPECT_EQ(View()->GetTotalSize().cx, Plot()->m_sizeTotal.cx);
    EXPECT_EQ(View()->GetTotalSize().cy, Plot()->m_sizeTotal.cy);
}

TEST_F(ViewTest, ZoomInDoublesUpToEightAndRedrawsAtOnce) {
    ImportSample();
    EXPECT_TRUE(Enabled(ID_ZOOM_IN));
    EXPECT_FALSE(Enabled(ID_ZOOM_OUT));
    EXPECT_FALSE(Enabled(ID_ZOOM_RESTORE));
    for (float expected : {2.0f, 4.0f, 8.0f}) {
        const int nDraws = View()->DrawCount();
        Command(ID_ZOOM_IN);
        EXPECT_EQ(Plot()->m_fZoom, expected);
        // The repaint ran inside the command: its scroll computation cleared the request.
        EXPECT_EQ(View()->DrawCount(), nDraws + 1);
        EXPECT_EQ(Plot()->m_bRecenter, 0);
    }
    EXPECT_FALSE(Enabled(ID_ZOOM_IN));
    EXPECT_TRUE(Enabled(ID_ZOOM_OUT));
    EXPECT_TRUE(Enabled(ID_ZOOM_RESTORE));
    // The scroll position is the computed one, limited to the range of the larger page.
    const POINT pos = View()->GetScrollPosition();
    EXPECT_EQ(pos.x, std::clamp(Plot()->m_ptScroll.x, 0, View()->horizontalScrollBar()->maximum()));
    EXPECT_EQ(pos.y, std::clamp(Plot()->m_ptScroll.y, 0, View()->verticalScrollBar()->maximum()));
    EXPECT_GT(View()->horizontalScrollBar()->maximum(), 0);
}

TEST_F(ViewTest, ZoomOutBelowOneEnablesRestore) {
    ImportSample();
    Plot()->m_fZoom = 1.5f;
    Command(ID_ZOOM_OUT);
    EXPECT_EQ(Plot()->m_fZoom, 0.75f);
    EXPECT_FALSE(Enabled(ID_ZOOM_OUT));
    EXPECT_TRUE(Enabled(ID_ZOOM_RESTORE));
    Command(ID_ZOOM_OUT);
    EXPECT_EQ(Plot()->m_fZoom, 0.75f);
}

// Back at 1x, by Restore Zoom or by Zoom Out, the view looks exactly as before zooming in,
// wherever the zoomed page was scrolled to, and the readout names the point under the mouse.
TEST_F(ViewTest, ZoomingBackToOneDrawsThePictureOfOneAgain) {
    ImportSample();
    const QPoint ptMouse(Viewport()->width() / 2, Viewport()->height() / 2);
    for (const UINT nPlot : {ID_PLOT_3D, ID_PLOT_ELEVATION})
        for (const UINT nBack : {ID_ZOOM_RESTORE, ID_ZOOM_OUT}) {
            SCOPED_TRACE(testing::Message() << nPlot << " " << nBack);
            Command(nPlot);
            const QImage before = Screen();
            View()->UpdateReadout(ptMouse);
            const int nPointBefore = Doc()->m_nSelectedPoint;
            View()->ClearReadout();
            Command(ID_ZOOM_IN);
            View()->ScrollToPosition(POINT{300, 200});
            Screen();
            Command(nBack);
            EXPECT_EQ(Plot()->m_fZoom, 1.0f);
            EXPECT_FALSE(Enabled(ID_ZOOM_RESTORE));
            EXPECT_TRUE(Screen() == before);
            View()->UpdateReadout(ptMouse);
            EXPECT_EQ(Doc()->m_nSelectedPoint, nPointBefore);
            View()->ClearReadout();
        }
}

// The window grown and made small again shows the picture it showed at that size, though the
// cached picture keeps the larger one's memory.
TEST_F(ViewTest, AWindowMadeSmallAgainShowsItsPictureOfThatSize) {
    ImportSample();
    for (const UINT nPlot : {ID_PLOT_3D, ID_PLOT_ELEVATION}) {
        Command(nPlot);
        const QImage before = Screen();
        QWidget* pMain = VorlanApp()->GetMainFrame();
        const QSize size = pMain->size();
        pMain->resize(size + QSize(333, 211));
        EXPECT_FALSE(Screen() == before) << nPlot;
        pMain->resize(size);
        EXPECT_TRUE(Screen() == before) << nPlot;
    }
}

// QT_LOGGING_RULES="vorlan.timing=true" times each resize and mouse move to the end of its
// repaint, in the lines that scripts/measure_screen.sh reads.
QStringList s_timingLines;
constexpr int kTimingWaitMs = 5000;
void KeepTimingLine(QtMsgType, const QMessageLogContext& context, const QString& msg) {
    if (qstrcmp(context.category, "vorlan.timing") == 0)
        s_timingLines << msg;
}

TEST_F(ViewTest, ScreenTimingLogsEachResizeAndMouseMove) {
    ImportSample();
    Command(ID_PLOT_ELEVATION);
    QLoggingCategory::setFilterRules(QStringLiteral("vorlan.timing.info=true"));
    const QtMessageHandler previous = qInstallMessageHandler(KeepTimingLine);
    {
        CScreenTiming timing(nullptr);
        qApp->installEventFilter(&timing);
        QWidget* pMain = VorlanApp()->GetMainFrame();
        pMain->resize(pMain->size() + QSize(40, 30));
        ASSERT_TRUE(QTest::qWaitFor([] { return s_timingLines.size() == 1; }, kTimingWaitMs));
        const RECT& frame = Plot()->m_rcPlot;
        const QPoint inFrame((frame.left + frame.right) / 2, (frame.top + frame.bottom) / 2);
        const QPoint at = Viewport()->mapTo(pMain, inFrame);
        QMouseEvent move(QEvent::MouseMove, at, pMain->mapToGlobal(at), Qt::NoButton, Qt::NoButton,
                         Qt::NoModifier);
        QCoreApplication::sendEvent(pMain->windowHandle(), &move);
        ASSERT_TRUE(QTest::qWaitFor([] { return s_timingLines.size() == 2; }, kTimingWaitMs));
    }
    qInstallMessageHandler(previous);
    QLoggingCategory::setFilterRules(QString());
    const QRegularExpression resize(
        QStringLiteral("^resize \\d+x\\d+ [0-9.]+ ms \\([0-9.]+ ms before the server\\)$"));
    EXPECT_TRUE(resize.match(s_timingLines[0]).hasMatch()) << qPrintable(s_timingLines[0]);
    EXPECT_TRUE(s_timingLines[1].startsWith(QLatin1String("move ")))
        << qPrintable(s_timingLines[1]);
}

TEST_F(ViewTest, RubberBandOfElevenPixelsZooms) {
    ImportSample();
    const int nDraws = View()->DrawCount();
    Drag(QPoint(100, 100), QPoint(111, 111));
    EXPECT_EQ(Plot()->m_bZoomRect, 0);
    EXPECT_GT(Plot()->m_fZoom, 1.0f);
    EXPECT_EQ(View()->DrawCount(), nDraws + 1);
    EXPECT_EQ(Plot()->m_tracker.m_rect.right - Plot()->m_tracker.m_rect.left, 11);
}

TEST_F(ViewTest, SmallOrBackwardRubberBandsAreIgnored) {
    ImportSample();
    View()->RedrawWindow();
    const int nDraws = View()->DrawCount();
    Drag(QPoint(100, 100), QPoint(110, 140)); // 10 pixels wide
    Drag(QPoint(100, 100), QPoint(140, 110)); // 10 pixels high
    Drag(QPoint(200, 200), QPoint(100, 300)); // leftward
    Drag(QPoint(200, 200), QPoint(300, 100)); // upward
    EXPECT_EQ(Plot()->m_fZoom, 1.0f);
    EXPECT_EQ(Plot()->m_bZoomRect, 0);
    EXPECT_EQ(View()->DrawCount(), nDraws);
}

// Nothing is plotted yet, so the rectangle waits for the first layout of a chart.
TEST_F(ViewTest, RubberBandOnAnEmptyDocumentWaits) {
    Drag(QPoint(50, 50), QPoint(150, 120));
    EXPECT_EQ(Plot()->m_bZoomRect, 1);
    EXPECT_EQ(Plot()->m_fZoom, 1.0f);
}

TEST_F(ViewTest, KeysTurnThe3DViewWithWrap) {
    ImportSample();
    Plot()->m_fAzimuth = 360;
    Key(Qt::Key_Left);
    EXPECT_EQ(Plot()->m_fAzimuth, 1.0f);
    Plot()->m_fElevation = -360;
    Key(Qt::Key_Up);
    EXPECT_EQ(Plot()->m_fElevation, -1.0f);
    Plot()->m_fAzimuth = -360;
    Key(Qt::Key_Right);
    EXPECT_EQ(Plot()->m_fAzimuth, -1.0f);
    Plot()->m_fElevation = 360;
    Key(Qt::Key_Down);
    EXPECT_EQ(Plot()->m_fElevation, 1.0f);
    const int nDraws = View()->DrawCount();
    Key(Qt::Key_Home);
    EXPECT_EQ(Plot()->m_fAzimuth, 30.0f);
    EXPECT_EQ(Plot()->m_fElevation, 20.0f);
    EXPECT_EQ(View()->DrawCount(), nDraws + 1);
    Key(Qt::Key_A);
    EXPECT_EQ(View()->DrawCount(), nDraws + 1);
    // The keys go beyond the commands' limits.
    Plot()->m_fAzimuth = 90;
    Key(Qt::Key_Left);
    EXPECT_EQ(Plot()->m_fAzimuth, 91.0f);
}

TEST_F(ViewTest, KeysDoNothingInTheElevationChart) {
    ImportSample();
    Command(ID_PLOT_ELEVATION);
    View()->RedrawWindow();
    const int nDraws = View()->DrawCount();
    const POINT pos = View()->GetScrollPosition();
    for (Qt::Key key : {Qt::Key_Home, Qt::Key_Left, Qt::Key_Up, Qt::Key_Right, Qt::Key_Down})
        Key(key);
    EXPECT_EQ(Plot()->m_fAzimuth, 30.0f);
    EXPECT_EQ(Plot()->m_fElevation, 20.0f);
    EXPECT_EQ(View()->DrawCount(), nDraws);
    EXPECT_EQ(View()->GetScrollPosition().x, pos.x);
    EXPECT_EQ(View()->GetScrollPosition().y, pos.y);
}

// Seen from high above, the track lies over the floor; it is drawn after the pale floor fill, so
// blue pixels lie on the floor.
TEST_F(ViewTest, The3DViewDrawsTheBlueTrackOverTheFloor) {
    ImportSample(400);
    Plot()->m_fElevation = 80;
    View()->RedrawWindow();
    const QImage image = Screen();
    const QRgb blue = qRgb(0, 0, 255);
    const QRgb floor = qRgb(200, 255, 255);
    EXPECT_GT(CountColour(image, blue), 500);
    EXPECT_GT(CountColour(image, floor), 2000);
    int nBlueOnFloor = 0;
    for (int y = 1; y + 1 < image.height(); ++y)
        for (int x = 1; x + 1 < image.width(); ++x)
            if (image.pixel(x, y) == blue && image.pixel(x, y - 1) == floor &&
                image.pixel(x, y + 2 < image.height() ? y + 2 : y + 1) == floor)
                ++nBlueOnFloor;
    EXPECT_GT(nBlueOnFloor, 0);
}

// On the screen the elevation series keep a few points of each pixel column; the chart is the
// one drawn through every point, pixel for pixel.
TEST_F(ViewTest, TheScreensChartKeepsAFewPointsAColumnAndShowsTheSamePixels) {
    ImportSample(9000);
    Command(ID_PLOT_ELEVATION);
    const QImage reduced = Screen();
    EXPECT_GT(Plot()->ColumnPointsKept(), 0);
    EXPECT_LT(Plot()->ColumnPointsKept(), 4 * reduced.width());
    QImage every(reduced.size(), QImage::Format_RGB32);
    every.fill(Qt::white);
    {
        QPainter painter(&every);
        CQtDC dc(&painter, View(), 0);
        Plot()->Draw2D(&dc, VorlanApp()->m_tools);
    }
    EXPECT_TRUE(every == reduced);
}

TEST_F(ViewTest, TheElevationChartDrawsRedAndBlueSeries) {
    ImportSample(400);
    Command(ID_PLOT_ELEVATION);
    const QImage image = Screen();
    EXPECT_GT(CountColour(image, qRgb(255, 0, 0)), 500);
    EXPECT_GT(CountColour(image, qRgb(0, 0, 255)), 500);
}
} // namespace
