// The dynamic splitter of the document windows: splitting up to 2 x 2 panes of one document, the
// 10-pixel pane limit, split bars and split boxes dragged with the mouse, Window, Split from the
// keyboard, moving between panes, and a zoom that repaints only its own pane.
#include "AppTestSupport.h"

#include "CChildFrame.h"
#include "CMainFrame.h"
#include "CMultiDocTemplate.h"
#include "CPlot.h"
#include "CPropertiesDlg.h"
#include "CSplitterWnd.h"
#include "CVorlanApp.h"
#include "CVorlanDoc.h"
#include "CVorlanView.h"
#include "Resource.h"

#include <QApplication>
#include <QScrollBar>
#include <QTest>

#include <vector>

namespace {
class SplitterTest : public AppTest {
protected:
    CSplitterWnd* Splitter() { return ActiveChild()->GetSplitter(); }
    CVorlanView* Pane(int row, int col) {
        return static_cast<CVorlanView*>(Splitter()->GetPane(row, col));
    }
    int Bar() { return Splitter()->GetSplitterSize(); }
    int Width() { return Splitter()->width(); }
    int Height() { return Splitter()->height(); }
    void SplitTwoByTwo() {
        ASSERT_TRUE(Splitter()->SplitRow(Height() / 2));
        ASSERT_TRUE(Splitter()->SplitColumn(Width() / 2));
    }
    // A drag with the left button from one point to another of widget w.
    static void Drag(QWidget* w, QPoint from, QPoint to) {
        QTest::mousePress(w, Qt::LeftButton, Qt::NoModifier, from);
        QTest::mouseMove(w, to);
        QTest::mouseRelease(w, Qt::LeftButton, Qt::NoModifier, to);
    }
    void Key(int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
        QTest::keyClick(Splitter(), static_cast<Qt::Key>(key), modifiers);
    }
};

TEST_F(SplitterTest, SplitsIntoAtMostTwoByTwoPanesOfOneDocument) {
    CSplitterWnd* pSplitter = Splitter();
    ASSERT_NE(pSplitter, nullptr);
    EXPECT_EQ(pSplitter->GetRowCount(), 1);
    EXPECT_EQ(pSplitter->GetColumnCount(), 1);
    EXPECT_EQ(pSplitter->GetMinPaneSize(), QSize(10, 10));
    EXPECT_EQ(Pane(0, 0)->geometry(), pSplitter->rect());
    ASSERT_NE(pSplitter->RowSplitBox(), nullptr);
    ASSERT_NE(pSplitter->ColumnSplitBox(), nullptr);
    EXPECT_TRUE(pSplitter->RowSplitBox()->isVisible());
    EXPECT_TRUE(pSplitter->ColumnSplitBox()->isVisible());

    const int cy = Height() / 3;
    ASSERT_TRUE(pSplitter->SplitRow(cy));
    EXPECT_EQ(pSplitter->RowSplitBox(), nullptr);
    EXPECT_EQ(Pane(0, 0)->geometry(), QRect(0, 0, Width(), cy));
    EXPECT_EQ(Pane(1, 0)->geometry(), QRect(0, cy + Bar(), Width(), Height() - cy - Bar()));
    const int cx = Width() / 4;
    ASSERT_TRUE(pSplitter->SplitColumn(cx));
    EXPECT_EQ(pSplitter->ColumnSplitBox(), nullptr);
    EXPECT_EQ(Pane(1, 1)->geometry(),
              QRect(cx + Bar(), cy + Bar(), Width() - cx - Bar(), Height() - cy - Bar()));
    EXPECT_FALSE(pSplitter->SplitRow(cy));
    EXPECT_FALSE(pSplitter->SplitColumn(cx));

    // Four views of the one document, in one window: the title has no window number.
    ASSERT_EQ(pSplitter->GetPanes().size(), 4);
    EXPECT_EQ(Doc()->GetViews().size(), 4);
    for (CScrollView* pPane : pSplitter->GetPanes()) {
        EXPECT_NE(qobject_cast<CVorlanView*>(pPane), nullptr);
        EXPECT_EQ(pPane->GetDocument(), Doc());
        EXPECT_TRUE(Doc()->GetViews().contains(pPane));
        EXPECT_TRUE(pPane->isVisible());
        EXPECT_TRUE(pPane->viewport()->isVisible());
        EXPECT_TRUE(pPane->horizontalScrollBar()->isVisible());
        EXPECT_TRUE(pPane->verticalScrollBar()->isVisible());
    }
    EXPECT_EQ(ActiveChild()->windowTitle(), QStringLiteral("Vorlan1"));
    EXPECT_EQ(ActiveChild()->GetViews(), pSplitter->GetPanes());
}

TEST_F(SplitterTest, EveryPaneIsAtLeastTenPixels) {
    CSplitterWnd* pSplitter = Splitter();
    EXPECT_FALSE(pSplitter->SplitRow(9));
    EXPECT_FALSE(pSplitter->SplitRow(Height() - Bar() - 9));
    EXPECT_FALSE(pSplitter->SplitColumn(9));
    EXPECT_FALSE(pSplitter->SplitColumn(Width() - Bar() - 9));
    EXPECT_EQ(Doc()->GetViews().size(), 1);
    ASSERT_TRUE(pSplitter->SplitRow(Height() - Bar() - 10));
    EXPECT_EQ(Pane(1, 0)->height(), 10);
    ASSERT_TRUE(pSplitter->SplitColumn(10));
    EXPECT_EQ(Pane(0, 0)->width(), 10);
    EXPECT_EQ(Doc()->GetViews().size(), 4);
}

TEST_F(SplitterTest, SplitBarDraggedBeyondTheLimitRemovesItsRowOrColumn) {
    SplitTwoByTwo();
    CSplitterWnd* pSplitter = Splitter();
    CScrollView* pLowerLeft = Pane(1, 0);
    CScrollView* pLowerRight = Pane(1, 1);
    // The active pane goes with its row: the one that takes its place becomes active.
    ActiveChild()->SetActiveView(Pane(0, 0));
    const int cy = Height() / 2;
    const int cx = Width() / 2;

    // A drag within the limits moves the bar, taken where the mouse took it.
    Drag(pSplitter, QPoint(Width() / 4, cy + 2), QPoint(Width() / 4, cy + 42));
    EXPECT_EQ(Pane(0, 0)->height(), cy + 40);
    EXPECT_EQ(pSplitter->GetRowCount(), 2);

    // The upper panes would be 9 pixels tall: that row goes, the lower panes move up.
    Drag(pSplitter, QPoint(Width() / 4, cy + 42), QPoint(Width() / 4, 9 + 2));
    ASSERT_EQ(pSplitter->GetRowCount(), 1);
    EXPECT_EQ(Pane(0, 0), pLowerLeft);
    EXPECT_EQ(Pane(0, 1), pLowerRight);
    EXPECT_EQ(Pane(0, 0)->height(), Height());
    EXPECT_EQ(Doc()->GetViews().size(), 2);
    EXPECT_EQ(ActiveChild()->GetActiveView(), pLowerLeft);

    // The right pane would be 9 pixels wide: the right column goes.
    Drag(pSplitter, QPoint(cx + 1, Height() / 2), QPoint(Width() - Bar() - 9 + 1, Height() / 2));
    EXPECT_EQ(pSplitter->GetColumnCount(), 1);
    EXPECT_EQ(Pane(0, 0), pLowerLeft);
    EXPECT_EQ(Doc()->GetViews().size(), 1);
    EXPECT_EQ(ActiveChild()->GetActiveView(), pLowerLeft);

    // Exactly 10 pixels stays.
    ASSERT_TRUE(pSplitter->SplitRow(cy));
    Drag(pSplitter, QPoint(10, cy), QPoint(10, 10));
    EXPECT_EQ(pSplitter->GetRowCount(), 2);
    EXPECT_EQ(Pane(0, 0)->height(), 10);
}

TEST_F(SplitterTest, SplitBoxesAreDraggedOutToSplit) {
    CSplitterWnd* pSplitter = Splitter();
    QWidget* pRowBox = pSplitter->RowSplitBox();
    ASSERT_NE(pRowBox, nullptr);
    // The box sits at the top of the right-hand scroll bar.
    const QPoint boxAt = pRowBox->mapTo(pSplitter, QPoint(0, 0));
    EXPECT_EQ(boxAt.y(), 0);
    EXPECT_GT(boxAt.x(), Width() / 2);
    const QPoint centre = pRowBox->rect().center();
    const QPoint to(boxAt.x() + centre.x(), 150);
    Drag(pRowBox, centre, pRowBox->mapFrom(pSplitter, to));
    ASSERT_EQ(pSplitter->GetRowCount(), 2);
    // The bar is held by its middle.
    EXPECT_EQ(Pane(0, 0)->height(), 150 - Bar() / 2);

    QWidget* pColBox = pSplitter->ColumnSplitBox();
    ASSERT_NE(pColBox, nullptr);
    // On the lower pane now, at the left end of its horizontal scroll bar.
    EXPECT_EQ(pColBox->mapTo(pSplitter, QPoint(0, 0)).x(), 0);
    EXPECT_TRUE(Pane(1, 0)->isAncestorOf(pColBox));
    // Let go too close to the edge: no split.
    Drag(pColBox, pColBox->rect().center(), pColBox->mapFrom(pSplitter, QPoint(5, Height() - 10)));
    EXPECT_EQ(pSplitter->GetColumnCount(), 1);
    // Esc during the drag cancels it.
    QTest::mousePress(pColBox, Qt::LeftButton, Qt::NoModifier, pColBox->rect().center());
    QTest::mouseMove(pColBox, pColBox->mapFrom(pSplitter, QPoint(200, Height() - 10)));
    EXPECT_TRUE(pSplitter->IsTracking());
    Key(Qt::Key_Escape);
    EXPECT_FALSE(pSplitter->IsTracking());
    QTest::mouseRelease(pColBox, Qt::LeftButton, Qt::NoModifier,
                        pColBox->mapFrom(pSplitter, QPoint(200, Height() - 10)));
    EXPECT_EQ(pSplitter->GetColumnCount(), 1);
    Drag(pColBox, pColBox->rect().center(),
         pColBox->mapFrom(pSplitter, QPoint(200, Height() - 10)));
    EXPECT_EQ(pSplitter->GetColumnCount(), 2);
    EXPECT_EQ(Pane(0, 0)->width(), 200 - Bar() / 2);
}

TEST_F(SplitterTest, WindowSplitTracksWithKeysAndMouse) {
    CSplitterWnd* pSplitter = Splitter();
    EXPECT_TRUE(Enabled(ID_WINDOW_SPLIT));
    Command(ID_WINDOW_SPLIT);
    ASSERT_TRUE(pSplitter->IsTracking());
    EXPECT_FALSE(Enabled(ID_WINDOW_SPLIT));
    const QPoint start((Width() - Bar()) / 2, (Height() - Bar()) / 2);
    EXPECT_EQ(pSplitter->TrackerPos(), start);
    EXPECT_EQ(Frame()->StatusText().left(20), QStringLiteral("Move the split bars "));
    Key(Qt::Key_Down);
    Key(Qt::Key_Left, Qt::ControlModifier);
    EXPECT_EQ(pSplitter->TrackerPos(), start + QPoint(-1, 16));
    Key(Qt::Key_Return);
    EXPECT_FALSE(pSplitter->IsTracking());
    EXPECT_EQ(Frame()->StatusText(), QStringLiteral("For Help, press F1"));
    ASSERT_EQ(pSplitter->GetRowCount(), 2);
    ASSERT_EQ(pSplitter->GetColumnCount(), 2);
    EXPECT_EQ(Pane(0, 0)->size(), QSize(start.x() - 1, start.y() + 16));

    // Esc leaves everything as it was.
    Command(ID_WINDOW_SPLIT);
    EXPECT_EQ(pSplitter->TrackerPos(), start + QPoint(-1, 16));
    Key(Qt::Key_Up);
    Key(Qt::Key_Escape);
    EXPECT_EQ(Pane(0, 0)->size(), QSize(start.x() - 1, start.y() + 16));

    // The mouse moves the bars of a split window and a click places them: the left column
    // would be too narrow, so it goes.
    Command(ID_WINDOW_SPLIT);
    const QPoint to(3, 100);
    QTest::mouseMove(pSplitter, to);
    QTest::mouseClick(pSplitter, Qt::LeftButton, Qt::NoModifier, to);
    EXPECT_FALSE(pSplitter->IsTracking());
    EXPECT_EQ(pSplitter->GetColumnCount(), 1);
    EXPECT_EQ(pSplitter->GetRowCount(), 2);
    EXPECT_EQ(Pane(0, 0)->height(), 100 - Bar() / 2);

    // The right button cancels.
    Command(ID_WINDOW_SPLIT);
    QTest::mouseClick(pSplitter, Qt::RightButton, Qt::NoModifier, QPoint(Width() / 2, 300));
    EXPECT_FALSE(pSplitter->IsTracking());
    EXPECT_EQ(pSplitter->GetColumnCount(), 1);
}

TEST_F(SplitterTest, F6MovesBetweenThePanesInOrder) {
    EXPECT_FALSE(Enabled(ID_NEXT_PANE));
    SplitTwoByTwo();
    EXPECT_TRUE(Enabled(ID_NEXT_PANE));
    const QList<CScrollView*> panes = Splitter()->GetPanes();
    ActiveChild()->SetActiveView(panes[0]);
    for (int i = 1; i <= 4; ++i) {
        Command(ID_NEXT_PANE);
        EXPECT_EQ(ActiveChild()->GetActiveView(), panes[i % 4]) << i;
    }
    Command(ID_PREV_PANE);
    EXPECT_EQ(ActiveChild()->GetActiveView(), panes[3]);
}

// Each pane has a chart of its own: a zoom repaints its pane at once and leaves the others as
// they are.
TEST_F(SplitterTest, ZoomActsOnItsOwnPaneOnly) {
    ImportSample(300);
    SplitTwoByTwo();
    for (CScrollView* pPane : Splitter()->GetPanes())
        pPane->RedrawWindow();
    CVorlanView* pZoomed = Pane(0, 0);
    CVorlanView* pOther = Pane(1, 1);
    const CSize before = pZoomed->GetTotalSize(), other = pOther->GetTotalSize();
    const int nOtherDraws = pOther->DrawCount();
    const int nZoomedDraws = pZoomed->DrawCount();
    ActiveChild()->SetActiveView(pZoomed);
    Command(ID_ZOOM_IN);
    EXPECT_EQ(pZoomed->DrawCount(), nZoomedDraws + 1);
    EXPECT_EQ(pOther->DrawCount(), nOtherDraws);
    EXPECT_EQ(pZoomed->GetTotalSize().cx, 2 * before.cx);
    EXPECT_EQ(pZoomed->GetTotalSize().cy, 2 * before.cy);
    pOther->RedrawWindow();
    EXPECT_EQ(pOther->GetTotalSize().cx, other.cx);
    EXPECT_EQ(pOther->Plot()->m_fZoom, 1.0f);
}

// A resized pane with nothing to scroll paints its scroll bars once: setting their steps (they
// follow the pane's size) while it draws would paint them again, and the frames behind them.
TEST_F(SplitterTest, AResizedPaneWithNothingToScrollPaintsItsBarsOnce) {
    ImportSample(300);
    Command(ID_WINDOW_CHART_AND_3D);
    CVorlanView* pChart = Pane(0, 0);
    pChart->RedrawWindow();
    QApplication::processEvents();
    struct PaintCounter : QObject {
        int nPaints = 0;
        bool eventFilter(QObject*, QEvent* pEvent) override {
            nPaints += pEvent->type() == QEvent::Paint;
            return false;
        }
    } counter;
    pChart->verticalScrollBar()->installEventFilter(&counter);
    pChart->horizontalScrollBar()->installEventFilter(&counter);
    ASSERT_FALSE(pChart->verticalScrollBar()->isEnabled());
    QWidget* pMain = VorlanApp()->GetMainFrame();
    pMain->resize(pMain->size() + QSize(60, 32));
    QApplication::processEvents();
    EXPECT_EQ(counter.nPaints, 2); // each bar once
}

// Window, Chart and 3D: the chart on the left, the 3D view on the right; the Plot menu then acts
// on the active pane only, and the readout of the chart marks its point in the 3D pane too.
TEST_F(SplitterTest, ChartAnd3DSideBySideEachPaneItsOwnPlot) {
    ImportSample(300);
    ASSERT_TRUE(Enabled(ID_WINDOW_CHART_AND_3D));
    Command(ID_WINDOW_CHART_AND_3D);
    ASSERT_EQ(Splitter()->GetColumnCount(), 2);
    CVorlanView* pChart = Pane(0, 0);
    CVorlanView* p3D = Pane(0, 1);
    EXPECT_EQ(pChart->PlotMode(), CVorlanDoc::kPlotElevation);
    EXPECT_EQ(p3D->PlotMode(), CVorlanDoc::kPlot3D);

    pChart->RedrawWindow();
    p3D->RedrawWindow();
    const RECT& frame = pChart->Plot()->m_rcPlot;
    const POINT scroll = pChart->GetScrollPosition();
    pChart->UpdateReadout(QPoint((frame.left + frame.right) / 2 - scroll.x,
                                 (frame.top + frame.bottom) / 2 - scroll.y));
    ASSERT_GE(Doc()->m_nSelectedPoint, 0);
    EXPECT_FALSE(p3D->Overlay()
                     .Bounds(p3D->viewport()->fontMetrics(), p3D->GetScrollPosition(),
                             Doc()->m_nSelectedPoint, Doc()->m_track, p3D->Plot()->m_units)
                     .isEmpty());

    ActiveChild()->SetActiveView(p3D);
    Command(ID_ROTATE_LEFT);
    EXPECT_EQ(p3D->Plot()->m_fAzimuth, CPlot::kHomeAzimuth + CPlot::kRotateStepButton);
    Command(ID_PLOT_ELEVATION);
    EXPECT_EQ(p3D->PlotMode(), CVorlanDoc::kPlotElevation);
    EXPECT_EQ(pChart->PlotMode(), CVorlanDoc::kPlotElevation);
    ActiveChild()->SetActiveView(pChart);
    Command(ID_PLOT_3D);
    EXPECT_EQ(pChart->PlotMode(), CVorlanDoc::kPlot3D);
    EXPECT_EQ(p3D->PlotMode(), CVorlanDoc::kPlotElevation);
    // The pane changed last is the document's: its plot and angles are what Save keeps.
    EXPECT_EQ(Doc()->m_nPlotMode, CVorlanDoc::kPlot3D);
    EXPECT_EQ(Doc()->m_view.m_fAzimuth, CPlot::kHomeAzimuth);
}

// Shift + drag on the chart selects a stretch: shaded in the chart, its numbers in the status bar
// and in the Selection column of Properties; a click or Esc clears it.
TEST_F(SplitterTest, ShiftDragOnTheChartSelectsAStretchThatEveryPaneShows) {
    ImportSample(300);
    Command(ID_WINDOW_CHART_AND_3D);
    CVorlanView* pChart = Pane(0, 0);
    ActiveChild()->SetActiveView(pChart);
    pChart->RedrawWindow();
    const RECT& frame = pChart->Plot()->m_rcPlot;
    const POINT scroll = pChart->GetScrollPosition();
    const int y = (frame.top + frame.bottom) / 2 - scroll.y;
    const QPoint from(frame.left + (frame.right - frame.left) / 4 - scroll.x, y);
    const QPoint to(frame.left + 3 * (frame.right - frame.left) / 4 - scroll.x, y);
    QTest::mousePress(pChart->viewport(), Qt::LeftButton, Qt::ShiftModifier, from);
    QTest::mouseMove(pChart->viewport(), to);
    QTest::mouseRelease(pChart->viewport(), Qt::LeftButton, Qt::ShiftModifier, to);
    ASSERT_TRUE(Doc()->HasStretch());
    EXPECT_GT(Doc()->m_nStretchLast, Doc()->m_nStretchFirst);
    EXPECT_TRUE(Doc()->StretchText().startsWith(QStringLiteral("Selection: ")));
    EXPECT_TRUE(Frame()->ViewStatus().startsWith(QStringLiteral("Selection: ")));
    EXPECT_EQ(pChart->Plot()->m_fZoom, 1.0f); // no zoom rectangle

    // The chart shades the stretch: its middle is no longer white.
    const QImage image = pChart->viewport()->grab().toImage();
    const QPoint middle((from.x() + to.x()) / 2, frame.top + 5 - scroll.y);
    EXPECT_NE(image.pixel(middle) & 0xFFFFFF, 0xFFFFFFu);

    std::vector<CPropertiesDlg::Row> selection;
    OnNextModal(QStringLiteral("the Properties dialog"), [&selection](QWidget* pModal) {
        auto* pDlg = qobject_cast<CPropertiesDlg*>(pModal);
        ASSERT_NE(pDlg, nullptr);
        selection = pDlg->Selection();
        pDlg->reject();
    });
    Command(ID_FILE_PROPERTIES);
    ASSERT_FALSE(selection.empty());
    EXPECT_EQ(selection.front().first, QStringLiteral("Total distance"));

    QTest::keyClick(pChart, Qt::Key_Escape);
    EXPECT_FALSE(Doc()->HasStretch());
}

// A saved document keeps its window's panes: reopened, the window is split again into the chart
// and the turned 3D view.
TEST_F(SplitterTest, AReopenedDocumentShowsItsPanesAsTheyWereSaved) {
    ImportSample(300);
    Command(ID_WINDOW_CHART_AND_3D);
    ActiveChild()->SetActiveView(Pane(0, 1));
    Command(ID_ROTATE_LEFT);
    const QString path = m_dir.filePath(QStringLiteral("panes.vrl"));
    ASSERT_TRUE(Doc()->DoSave(path, false));
    Doc()->OnCloseDocument();
    CDocument* pOpened = VorlanApp()->OpenDocumentFile(path);
    ASSERT_NE(pOpened, nullptr);
    CSplitterWnd* pSplitter = pOpened->GetFrames().value(0)->GetSplitter();
    QTRY_COMPARE(pSplitter->GetColumnCount(), 2);
    const auto* pLeft = static_cast<CVorlanView*>(pSplitter->GetPane(0, 0));
    const auto* pRight = static_cast<CVorlanView*>(pSplitter->GetPane(0, 1));
    EXPECT_EQ(pLeft->PlotMode(), CVorlanDoc::kPlotElevation);
    EXPECT_EQ(pRight->PlotMode(), CVorlanDoc::kPlot3D);
    EXPECT_EQ(pRight->Plot()->m_fAzimuth, CPlot::kHomeAzimuth + CPlot::kRotateStepButton);
}

// A pane smaller than the picture scrolls at 1x too: back at 1x, by Restore Zoom or by Zoom Out,
// it is where it was and every pane looks as before.
TEST_F(SplitterTest, ZoomingBackToOneLeavesEveryPaneAsItWas) {
    ImportSample(300);
    SplitTwoByTwo();
    const auto panes = [this] {
        std::vector<QImage> images;
        for (CScrollView* pPane : Splitter()->GetPanes()) {
            pPane->RedrawWindow();
            QApplication::processEvents();
            images.push_back(pPane->viewport()->grab().toImage());
        }
        return images;
    };
    CVorlanView* pZoomed = Pane(0, 0);
    ActiveChild()->SetActiveView(pZoomed);
    pZoomed->ScrollToPosition(POINT{50, 40});
    const std::vector<QImage> before = panes();
    for (const UINT nBack : {ID_ZOOM_RESTORE, ID_ZOOM_OUT}) {
        Command(ID_ZOOM_IN);
        Command(nBack);
        EXPECT_EQ(pZoomed->GetScrollPosition().x, 50) << nBack;
        EXPECT_EQ(pZoomed->GetScrollPosition().y, 40) << nBack;
        EXPECT_TRUE(panes() == before) << nBack;
    }
}

TEST_F(SplitterTest, ClosingTheWindowClosesEveryPaneAndTheDocument) {
    SplitTwoByTwo();
    ActiveChild()->close();
    QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(VorlanApp()->GetDocTemplate()->GetDocuments().isEmpty());
    EXPECT_EQ(Frame()->CurrentMenu(), IDR_MAINFRAME);
}
} // namespace
