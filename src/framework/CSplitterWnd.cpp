#include "CSplitterWnd.h"

#include "CChildFrame.h"
#include "CDocument.h"
#include "CScrollView.h"

#include <QApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>
#include <QStatusTipEvent>
#include <QStyle>
#include <QStyleOption>
#include <qdrawutil.h>

#include <algorithm>

namespace {
// Thickness of a split bar and of a split box, in pixels.
constexpr int kSplitterSize = 6;
constexpr int kSplitBoxSize = 8;
// Arrow keys move the bars of Window, Split this far; with Ctrl one pixel.
constexpr int kKeyStep = 16;

// The split boxes of a pane, found by name.
const QString kRowBoxName = QStringLiteral("RowSplitBox");
const QString kColumnBoxName = QStringLiteral("ColumnSplitBox");

const char* const kTrackingTip =
    "Move the split bars with the mouse or the arrow keys; click or press Enter to place them, "
    "Esc to cancel";

void ShowStatusTip(QWidget* pWidget, const QString& tip) {
    QStatusTipEvent event(tip);
    QApplication::sendEvent(pWidget, &event);
}
} // namespace

// A split box: a small raised button at the end of a scroll bar. Dragging it out splits the
// window at the point where it is let go.
class CSplitterWnd::SplitBox : public QWidget {
public:
    SplitBox(CSplitterWnd* pSplitter, bool bRows) : m_pSplitter(pSplitter), m_bRows(bRows) {
        setCursor(bRows ? Qt::SplitVCursor : Qt::SplitHCursor);
        const int extent = style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, this);
        if (bRows)
            setFixedSize(extent, kSplitBoxSize);
        else
            setFixedSize(kSplitBoxSize, extent);
    }

protected:
    // A raised panel with two grip lines along it, so that it reads as something to pull.
    void paintEvent(QPaintEvent*) override {
        QPainter p(this);
        p.fillRect(rect(), palette().button());
        qDrawShadePanel(&p, rect(), palette(), false, 1);
        p.setPen(palette().color(QPalette::Dark));
        const QPoint c = rect().center();
        if (m_bRows) {
            p.drawLine(3, c.y() - 1, width() - 4, c.y() - 1);
            p.drawLine(3, c.y() + 1, width() - 4, c.y() + 1);
        } else {
            p.drawLine(c.x() - 1, 3, c.x() - 1, height() - 4);
            p.drawLine(c.x() + 1, 3, c.x() + 1, height() - 4);
        }
    }
    void mousePressEvent(QMouseEvent* pEvent) override {
        if (pEvent->button() != Qt::LeftButton || m_pSplitter->IsTracking())
            return;
        const QPoint pt = mapTo(m_pSplitter, pEvent->position().toPoint());
        // The new bar starts where the box is and is held where the box was taken.
        m_pSplitter->StartTracking(m_bRows, !m_bRows, pt,
                                   QPoint(kSplitterSize / 2, kSplitterSize / 2), false);
    }
    void mouseMoveEvent(QMouseEvent* pEvent) override {
        if (m_pSplitter->IsTracking())
            m_pSplitter->TrackTo(mapTo(m_pSplitter, pEvent->position().toPoint()));
    }
    void mouseReleaseEvent(QMouseEvent* pEvent) override {
        if (pEvent->button() == Qt::LeftButton && m_pSplitter->IsTracking())
            m_pSplitter->StopTracking(true);
    }

private:
    CSplitterWnd* m_pSplitter;
    bool m_bRows;
};

// The bar shown where a split bar goes while the user moves it: a half-tone over the panes.
class CSplitterWnd::TrackerBar : public QWidget {
public:
    explicit TrackerBar(QWidget* pParent) : QWidget(pParent) {
        setAttribute(Qt::WA_TransparentForMouseEvents);
        hide();
    }

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter p(this);
        p.fillRect(rect(), QBrush(palette().color(QPalette::Shadow), Qt::Dense4Pattern));
    }
};

CSplitterWnd::CSplitterWnd(QWidget* pParent) : QWidget(pParent) {
    setMouseTracking(true);
    setFocusPolicy(Qt::NoFocus);
    m_pRowTracker = new TrackerBar(this);
    m_pColTracker = new TrackerBar(this);
}

CSplitterWnd::~CSplitterWnd() = default;

BOOL CSplitterWnd::CreateDynamic(int nMaxRows, int nMaxCols, QSize sizeMin, CScrollView* pFirstView,
                                 ViewFactory createView) {
    if (!pFirstView || nMaxRows < 1 || nMaxRows > 2 || nMaxCols < 1 || nMaxCols > 2)
        return 0;
    m_nMaxRows = nMaxRows;
    m_nMaxCols = nMaxCols;
    m_sizeMin = sizeMin;
    m_createView = std::move(createView);
    m_nRows = m_nCols = 1;
    m_pPanes[0][0] = pFirstView;
    AttachPane(pFirstView);
    RecalcLayout();
    return 1;
}

int CSplitterWnd::GetSplitterSize() const {
    return kSplitterSize;
}

CScrollView* CSplitterWnd::GetPane(int row, int col) const {
    if (row < 0 || row >= m_nRows || col < 0 || col >= m_nCols)
        return nullptr;
    return m_pPanes[row][col];
}

QList<CScrollView*> CSplitterWnd::GetPanes() const {
    QList<CScrollView*> panes;
    for (int row = 0; row < m_nRows; ++row)
        for (int col = 0; col < m_nCols; ++col)
            panes.append(m_pPanes[row][col]);
    return panes;
}

// A pane keeps its scroll bars on show, with a split box at the end of each; the layout decides
// which boxes are on show.
void CSplitterWnd::AttachPane(CScrollView* pView) {
    pView->setParent(this);
    pView->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    pView->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    auto* pRowBox = new SplitBox(this, true);
    pRowBox->setObjectName(kRowBoxName);
    pView->addScrollBarWidget(pRowBox, Qt::AlignTop);
    auto* pColBox = new SplitBox(this, false);
    pColBox->setObjectName(kColumnBoxName);
    pView->addScrollBarWidget(pColBox, Qt::AlignLeft);
    pView->show();
}

// A new view on the document of pSource, scrolled where pSource is.
CScrollView* CSplitterWnd::CreateView(CScrollView* pSource) {
    CDocument* pDoc = pSource->GetDocument();
    CScrollView* pView = m_createView ? m_createView() : nullptr;
    if (!pView || !pDoc) {
        delete pView;
        return nullptr;
    }
    AttachPane(pView);
    pDoc->AddView(pView);
    pView->OnInitialUpdate();
    pView->OnSplitFrom(pSource);
    pView->SetScrollSizes(CScrollView::MM_TEXT, pSource->GetTotalSize());
    pView->ScrollToPosition(pSource->GetScrollPosition());
    return pView;
}

BOOL CSplitterWnd::SplitRow(int cyBefore) {
    const int cyAfter = height() - cyBefore - kSplitterSize;
    if (m_nRows >= m_nMaxRows || cyBefore < m_sizeMin.height() || cyAfter < m_sizeMin.height())
        return 0;
    for (int col = 0; col < m_nCols; ++col) {
        m_pPanes[1][col] = CreateView(m_pPanes[0][col]);
        if (!m_pPanes[1][col]) {
            for (int c = 0; c < col; ++c)
                DeletePane(m_pPanes[1][c], m_pPanes[0][c]);
            return 0;
        }
    }
    m_nRows = 2;
    m_nRowSize = cyBefore;
    RecalcLayout();
    return 1;
}

BOOL CSplitterWnd::SplitColumn(int cxBefore) {
    const int cxAfter = width() - cxBefore - kSplitterSize;
    if (m_nCols >= m_nMaxCols || cxBefore < m_sizeMin.width() || cxAfter < m_sizeMin.width())
        return 0;
    for (int row = 0; row < m_nRows; ++row) {
        m_pPanes[row][1] = CreateView(m_pPanes[row][0]);
        if (!m_pPanes[row][1]) {
            for (int r = 0; r < row; ++r)
                DeletePane(m_pPanes[r][1], m_pPanes[r][0]);
            return 0;
        }
    }
    m_nCols = 2;
    m_nColSize = cxBefore;
    RecalcLayout();
    return 1;
}

// The panes of the other row take the place of the deleted ones.
void CSplitterWnd::DeleteRow(int row) {
    if (m_nRows < 2 || row < 0 || row > 1)
        return;
    const int keep = 1 - row;
    for (int col = 0; col < m_nCols; ++col) {
        CScrollView* pGone = m_pPanes[row][col];
        m_pPanes[0][col] = m_pPanes[keep][col];
        m_pPanes[1][col] = nullptr;
        DeletePane(pGone, m_pPanes[0][col]);
    }
    m_nRows = 1;
    RecalcLayout();
}

void CSplitterWnd::DeleteColumn(int col) {
    if (m_nCols < 2 || col < 0 || col > 1)
        return;
    const int keep = 1 - col;
    for (int row = 0; row < m_nRows; ++row) {
        CScrollView* pGone = m_pPanes[row][col];
        m_pPanes[row][0] = m_pPanes[row][keep];
        m_pPanes[row][1] = nullptr;
        DeletePane(pGone, m_pPanes[row][0]);
    }
    m_nCols = 1;
    RecalcLayout();
}

// Deleting a view removes it from its document. When it was the active pane, pReplacement
// becomes active.
void CSplitterWnd::DeletePane(CScrollView* pView, CScrollView* pReplacement) {
    CChildFrame* pFrame = pView->GetParentFrame();
    const bool bActive = pFrame && pFrame->GetActiveView() == pView;
    delete pView;
    if (bActive)
        SetActivePane(pReplacement);
}

void CSplitterWnd::SetActivePane(CScrollView* pView) {
    if (!pView)
        return;
    if (CChildFrame* pFrame = pView->GetParentFrame())
        pFrame->SetActiveView(pView);
    pView->setFocus();
}

QWidget* CSplitterWnd::RowSplitBox() const {
    if (m_nRows >= m_nMaxRows || !m_pPanes[0][m_nCols - 1])
        return nullptr;
    return m_pPanes[0][m_nCols - 1]->findChild<QWidget*>(kRowBoxName);
}

QWidget* CSplitterWnd::ColumnSplitBox() const {
    if (m_nCols >= m_nMaxCols || !m_pPanes[m_nRows - 1][0])
        return nullptr;
    return m_pPanes[m_nRows - 1][0]->findChild<QWidget*>(kColumnBoxName);
}

// The first row and column keep their size as far as the window allows; the second ones take
// the rest. A pane squeezed to nothing is hidden until the window grows again.
void CSplitterWnd::RecalcLayout() {
    if (m_nRows == 0)
        return;
    const int cx0 =
        m_nCols == 2 ? std::clamp(m_nColSize, 0, std::max(0, width() - kSplitterSize)) : width();
    const int cy0 =
        m_nRows == 2 ? std::clamp(m_nRowSize, 0, std::max(0, height() - kSplitterSize)) : height();
    const int x[2] = {0, cx0 + kSplitterSize};
    const int cx[2] = {cx0, width() - cx0 - kSplitterSize};
    const int y[2] = {0, cy0 + kSplitterSize};
    const int cy[2] = {cy0, height() - cy0 - kSplitterSize};
    QWidget* pRowBox = RowSplitBox();
    QWidget* pColBox = ColumnSplitBox();
    for (int row = 0; row < m_nRows; ++row)
        for (int col = 0; col < m_nCols; ++col) {
            CScrollView* pView = m_pPanes[row][col];
            pView->setGeometry(x[col], y[row], std::max(0, cx[col]), std::max(0, cy[row]));
            pView->setVisible(cx[col] > 0 && cy[row] > 0);
            for (const QString& name : {kRowBoxName, kColumnBoxName})
                if (QWidget* pBox = pView->findChild<QWidget*>(name))
                    pBox->setVisible(pBox == pRowBox || pBox == pColBox);
        }
    update();
}

QRect CSplitterWnd::RowBarRect() const {
    if (m_nRows < 2)
        return QRect();
    return QRect(0, m_pPanes[0][0]->geometry().bottom() + 1, width(), kSplitterSize);
}

QRect CSplitterWnd::ColumnBarRect() const {
    if (m_nCols < 2)
        return QRect();
    return QRect(m_pPanes[0][0]->geometry().right() + 1, 0, kSplitterSize, height());
}

CSplitterWnd::Hit CSplitterWnd::HitTest(QPoint pt) const {
    const bool bRow = RowBarRect().contains(pt);
    const bool bCol = ColumnBarRect().contains(pt);
    if (bRow && bCol)
        return Hit::Intersection;
    if (bRow)
        return Hit::RowBar;
    if (bCol)
        return Hit::ColumnBar;
    return Hit::None;
}

void CSplitterWnd::UpdateCursor(QPoint pt) {
    switch (HitTest(pt)) {
    case Hit::RowBar:
        setCursor(Qt::SplitVCursor);
        break;
    case Hit::ColumnBar:
        setCursor(Qt::SplitHCursor);
        break;
    case Hit::Intersection:
        setCursor(Qt::SizeAllCursor);
        break;
    case Hit::None:
        unsetCursor();
        break;
    }
}

void CSplitterWnd::resizeEvent(QResizeEvent*) {
    if (IsTracking())
        StopTracking(false);
    RecalcLayout();
}

void CSplitterWnd::paintEvent(QPaintEvent*) {
    QPainter p(this);
    for (const QRect& bar : {RowBarRect(), ColumnBarRect()}) {
        if (bar.isEmpty())
            continue;
        QStyleOption opt;
        opt.initFrom(this);
        opt.rect = bar;
        if (bar.height() > bar.width())
            opt.state |= QStyle::State_Horizontal;
        p.fillRect(bar, palette().window());
        style()->drawControl(QStyle::CE_Splitter, &opt, &p, this);
    }
}

void CSplitterWnd::mousePressEvent(QMouseEvent* pEvent) {
    const QPoint pt = pEvent->position().toPoint();
    if (m_bKeyboard) {
        StopTracking(pEvent->button() == Qt::LeftButton);
        return;
    }
    if (pEvent->button() != Qt::LeftButton || IsTracking())
        return;
    const Hit hit = HitTest(pt);
    if (hit == Hit::None)
        return;
    const QPoint bar(ColumnBarRect().left(), RowBarRect().top());
    StartTracking(hit != Hit::ColumnBar, hit != Hit::RowBar, pt, pt - bar, false);
}

void CSplitterWnd::mouseMoveEvent(QMouseEvent* pEvent) {
    if (IsTracking())
        TrackTo(pEvent->position().toPoint());
    else
        UpdateCursor(pEvent->position().toPoint());
}

void CSplitterWnd::mouseReleaseEvent(QMouseEvent* pEvent) {
    if (IsTracking() && !m_bKeyboard && pEvent->button() == Qt::LeftButton)
        StopTracking(true);
}

void CSplitterWnd::keyPressEvent(QKeyEvent* pEvent) {
    if (!IsTracking()) {
        QWidget::keyPressEvent(pEvent);
        return;
    }
    const int step = pEvent->modifiers() & Qt::ControlModifier ? 1 : kKeyStep;
    QPoint move;
    switch (pEvent->key()) {
    case Qt::Key_Escape:
        StopTracking(false);
        return;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        StopTracking(true);
        return;
    case Qt::Key_Left:
        move = QPoint(-step, 0);
        break;
    case Qt::Key_Right:
        move = QPoint(step, 0);
        break;
    case Qt::Key_Up:
        move = QPoint(0, -step);
        break;
    case Qt::Key_Down:
        move = QPoint(0, step);
        break;
    default:
        return;
    }
    const QPoint pt = QPoint(m_nTrackX, m_nTrackY) + m_ptTrackOffset + move;
    TrackTo(pt);
    // The mouse stays on the bars, so that moving it goes on from there.
    if (m_bKeyboard)
        QCursor::setPos(mapToGlobal(QPoint(m_nTrackX, m_nTrackY) + m_ptTrackOffset));
}

void CSplitterWnd::hideEvent(QHideEvent*) {
    if (IsTracking())
        StopTracking(false);
}

void CSplitterWnd::DoKeyboardSplit() {
    if (IsTracking() || m_nRows == 0)
        return;
    const bool bRows = m_nRows > 1 || m_nMaxRows > 1;
    const bool bCols = m_nCols > 1 || m_nMaxCols > 1;
    if (!bRows && !bCols)
        return;
    const int x = m_nCols > 1 ? ColumnBarRect().left() : (width() - kSplitterSize) / 2;
    const int y = m_nRows > 1 ? RowBarRect().top() : (height() - kSplitterSize) / 2;
    const QPoint offset(kSplitterSize / 2, kSplitterSize / 2);
    StartTracking(bRows, bCols, QPoint(x, y) + offset, offset, true);
    QCursor::setPos(mapToGlobal(QPoint(x, y) + offset));
}

void CSplitterWnd::StartTracking(bool bRows, bool bCols, QPoint pt, QPoint ptOffset,
                                 bool bKeyboard) {
    m_bTrackRows = bRows;
    m_bTrackCols = bCols;
    m_bKeyboard = bKeyboard;
    m_ptTrackOffset = ptOffset;
    if (bKeyboard) {
        // Until a click or a key ends it, the splitter has the mouse and the keyboard.
        grabMouse(Qt::SizeAllCursor);
    }
    grabKeyboard();
    TrackTo(pt);
    m_pRowTracker->setVisible(bRows);
    m_pColTracker->setVisible(bCols);
    m_pRowTracker->raise();
    m_pColTracker->raise();
    ShowStatusTip(this, QString::fromLatin1(kTrackingTip));
}

void CSplitterWnd::TrackTo(QPoint pt) {
    const QPoint bar = pt - m_ptTrackOffset;
    m_nTrackX = std::clamp(bar.x(), 0, std::max(0, width() - kSplitterSize));
    m_nTrackY = std::clamp(bar.y(), 0, std::max(0, height() - kSplitterSize));
    m_pRowTracker->setGeometry(0, m_nTrackY, width(), kSplitterSize);
    m_pColTracker->setGeometry(m_nTrackX, 0, kSplitterSize, height());
}

// Accepted: a direction not yet split is split at the bar, if both parts are large enough; a
// split bar moves, and a pane it leaves too small goes away with its row or column.
void CSplitterWnd::StopTracking(bool bAccept) {
    const bool bRows = m_bTrackRows;
    const bool bCols = m_bTrackCols;
    m_bTrackRows = m_bTrackCols = false;
    if (m_bKeyboard)
        releaseMouse();
    releaseKeyboard();
    m_bKeyboard = false;
    m_pRowTracker->hide();
    m_pColTracker->hide();
    ShowStatusTip(this, QString());
    if (!bAccept)
        return;
    if (bRows) {
        if (m_nRows == 1)
            SplitRow(m_nTrackY);
        else
            TrackRowSize(m_nTrackY);
    }
    if (bCols) {
        if (m_nCols == 1)
            SplitColumn(m_nTrackX);
        else
            TrackColumnSize(m_nTrackX);
    }
    RecalcLayout();
}

void CSplitterWnd::TrackRowSize(int cy) {
    if (cy < m_sizeMin.height())
        DeleteRow(0);
    else if (height() - cy - kSplitterSize < m_sizeMin.height())
        DeleteRow(1);
    else
        m_nRowSize = cy;
}

void CSplitterWnd::TrackColumnSize(int cx) {
    if (cx < m_sizeMin.width())
        DeleteColumn(0);
    else if (width() - cx - kSplitterSize < m_sizeMin.width())
        DeleteColumn(1);
    else
        m_nColSize = cx;
}
