// The dynamic splitter of a document window: up to 2 rows and 2 columns of view panes on one
// document, split by dragging the split boxes at the ends of the scroll bars or by Window, Split;
// a split bar dragged so that a pane would become smaller than the minimum removes that row or
// column. Owned by CChildFrame, which shows it as its client area.
#pragma once

#include "WinDef.h"

#include <QSize>
#include <QWidget>

#include <functional>

class CScrollView;

class CSplitterWnd : public QWidget {
    Q_OBJECT
public:
    using ViewFactory = std::function<CScrollView*()>;

    explicit CSplitterWnd(QWidget* pParent = nullptr);
    ~CSplitterWnd() override;

    // A dynamic splitter of at most nMaxRows x nMaxCols panes, each at least sizeMin, starting
    // with the one pane pFirstView; later panes are views made by createView and join the
    // document of the pane they are split from. 0 (pFirstView left alone) for limits outside
    // 1 to 2.
    BOOL CreateDynamic(int nMaxRows, int nMaxCols, QSize sizeMin, CScrollView* pFirstView,
                       ViewFactory createView);

    int GetRowCount() const { return m_nRows; }
    int GetColumnCount() const { return m_nCols; }
    QSize GetMinPaneSize() const { return m_sizeMin; }
    CScrollView* GetPane(int row, int col) const;
    // The panes row by row: (0, 0), (0, 1), (1, 0), (1, 1).
    QList<CScrollView*> GetPanes() const;
    // Thickness of a split bar in pixels.
    int GetSplitterSize() const;
    // The height of the first row and the width of the first column while there are two.
    int GetRowSize() const { return m_nRowSize; }
    int GetColumnSize() const { return m_nColSize; }

    // Splits the last row (column) so that the part above (left of) the new split bar is
    // cyBefore (cxBefore) pixels; 0 when the splitter is full or a part would be too small.
    BOOL SplitRow(int cyBefore);
    BOOL SplitColumn(int cxBefore);
    void DeleteRow(int row);
    void DeleteColumn(int col);

    // Window, Split: split bars that follow the mouse and the arrow keys (Ctrl: one pixel at a
    // time); a click or Enter places them, Esc or the right button cancels. A direction not yet
    // split starts in the middle of the window, a split one at its split bar.
    void DoKeyboardSplit();
    bool IsTracking() const { return m_bTrackRows || m_bTrackCols; }
    // The split bars while tracking: the top (left) edge of each tracked bar in pixels.
    QPoint TrackerPos() const { return QPoint(m_nTrackX, m_nTrackY); }

    // The split box at the top of the vertical scroll bar and the one at the left of the
    // horizontal scroll bar; nullptr once that direction is split as far as it goes.
    QWidget* RowSplitBox() const;
    QWidget* ColumnSplitBox() const;

    // Places the panes and the split boxes for the current size and split positions.
    void RecalcLayout();

protected:
    void resizeEvent(QResizeEvent* pEvent) override;
    void paintEvent(QPaintEvent* pEvent) override;
    void mousePressEvent(QMouseEvent* pEvent) override;
    void mouseMoveEvent(QMouseEvent* pEvent) override;
    void mouseReleaseEvent(QMouseEvent* pEvent) override;
    void keyPressEvent(QKeyEvent* pEvent) override;
    void hideEvent(QHideEvent* pEvent) override;

private:
    class SplitBox;
    class TrackerBar;
    enum class Hit { None, RowBar, ColumnBar, Intersection };

    void AttachPane(CScrollView* pView);
    CScrollView* CreateView(CScrollView* pSource);
    void DeletePane(CScrollView* pView, CScrollView* pReplacement);
    void SetActivePane(CScrollView* pView);
    QRect RowBarRect() const;
    QRect ColumnBarRect() const;
    Hit HitTest(QPoint pt) const;
    void UpdateCursor(QPoint pt);

    // Tracking: bRows and bCols choose the bars that move; pt is the mouse in this widget and
    // ptOffset where it holds the bars, measured from their top left.
    void StartTracking(bool bRows, bool bCols, QPoint pt, QPoint ptOffset, bool bKeyboard);
    void TrackTo(QPoint pt);
    void StopTracking(bool bAccept);
    void TrackRowSize(int cy);
    void TrackColumnSize(int cx);

    CScrollView* m_pPanes[2][2] = {{nullptr, nullptr}, {nullptr, nullptr}};
    int m_nRows = 0;
    int m_nCols = 0;
    int m_nMaxRows = 1;
    int m_nMaxCols = 1;
    QSize m_sizeMin;
    int m_nRowSize = 0; // height of the first row while there are two
    int m_nColSize = 0; // width of the first column while there are two
    ViewFactory m_createView;

    bool m_bTrackRows = false;
    bool m_bTrackCols = false;
    bool m_bKeyboard = false;
    int m_nTrackX = 0;
    int m_nTrackY = 0;
    QPoint m_ptTrackOffset;
    TrackerBar* m_pRowTracker = nullptr;
    TrackerBar* m_pColTracker = nullptr;
};
