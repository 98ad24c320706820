#include "CScrollView.h"

#include "CChildFrame.h"
#include "CDocument.h"
#include "CPrintFile.h"
#include "CPrintInfo.h"
#include "CQtDC.h"
#include "CSplitterWnd.h"
#include "CWinApp.h"
#include "FrameworkIds.h"
#include "UnitsAndEarth.h"

#include <QImage>
#include <QPaintEngine>
#include <QPaintEvent>
#include <QPainter>
#include <QPrintDialog>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QScrollBar>
#include <QStyle>

#include <algorithm>

CScrollView::CScrollView(QWidget* pParent) : QAbstractScrollArea(pParent) {
    setFocusPolicy(Qt::StrongFocus);
    setFrameShape(QFrame::NoFrame);
    viewport()->setAutoFillBackground(false);
    viewport()->setAttribute(Qt::WA_OpaquePaintEvent);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
}

CScrollView::~CScrollView() {
    if (m_pDocument)
        m_pDocument->RemoveView(this);
}

CChildFrame* CScrollView::GetParentFrame() const {
    for (QWidget* w = parentWidget(); w; w = w->parentWidget())
        if (auto* pFrame = qobject_cast<CChildFrame*>(w))
            return pFrame;
    return nullptr;
}

CSplitterWnd* CScrollView::GetParentSplitter() const {
    return qobject_cast<CSplitterWnd*>(parentWidget());
}

void CScrollView::OnInitialUpdate() {
    OnUpdate(nullptr, 0, nullptr);
}

void CScrollView::OnUpdate(CScrollView*, long, void*) {
    InvalidateDrawing();
    viewport()->update();
}

void CScrollView::SetScrollSizes(int, CSize sizeTotal) {
    m_sizeTotal = sizeTotal;
    UpdateBars();
}

// The bars are set up for the client size that results once they are shown or hidden, so that
// a position set right after this is limited to the final range. A bar that is always on show
// (in a splitter pane) is disabled while there is nothing to scroll.
void CScrollView::UpdateBars() {
    const QSize avail = maximumViewportSize();
    const int bar = style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, this);
    const bool bAlwaysH = horizontalScrollBarPolicy() == Qt::ScrollBarAlwaysOn;
    const bool bAlwaysV = verticalScrollBarPolicy() == Qt::ScrollBarAlwaysOn;
    // maximumViewportSize() already leaves out the bars that are always on show.
    bool bNeedH = bAlwaysH || m_sizeTotal.cx > avail.width();
    bool bNeedV = bAlwaysV || m_sizeTotal.cy > avail.height();
    if (bNeedH && !bNeedV)
        bNeedV = m_sizeTotal.cy > avail.height() - (bAlwaysH ? 0 : bar);
    if (bNeedV && !bNeedH)
        bNeedH = m_sizeTotal.cx > avail.width() - (bAlwaysV ? 0 : bar);
    const int cx = avail.width() - (bNeedV && !bAlwaysV ? bar : 0);
    const int cy = avail.height() - (bNeedH && !bAlwaysH ? bar : 0);

    SetBar(horizontalScrollBar(), m_sizeTotal.cx - cx, m_sizeTotal.cx);
    SetBar(verticalScrollBar(), m_sizeTotal.cy - cy, m_sizeTotal.cy);
}

// Every drawing sets the sizes again, and Qt repaints a bar whenever its steps are set: a bar is
// touched only where something changed, and its steps only while there is something to scroll,
// or each step of a resize would paint the bars twice (they follow the window's size).
void CScrollView::SetBar(QScrollBar* pBar, int nRange, int nTotal) {
    const int nMax = std::max(0, nRange);
    if (pBar->minimum() != 0 || pBar->maximum() != nMax)
        pBar->setRange(0, nMax);
    if (const int nPage = std::max(1, nTotal / 10); nMax > 0 && pBar->pageStep() != nPage)
        pBar->setPageStep(nPage);
    if (const int nLine = std::max(1, nTotal / 100); nMax > 0 && pBar->singleStep() != nLine)
        pBar->setSingleStep(nLine);
    if (pBar->testAttribute(Qt::WA_ForceDisabled) != (nMax == 0))
        pBar->setEnabled(nMax > 0);
}

POINT CScrollView::GetScrollPosition() const {
    return POINT{horizontalScrollBar()->value(), verticalScrollBar()->value()};
}

void CScrollView::ScrollToPosition(POINT pt) {
    horizontalScrollBar()->setValue(pt.x);
    verticalScrollBar()->setValue(pt.y);
}

void CScrollView::GetClientRect(RECT* lpRect) const {
    *lpRect = RECT{0, 0, viewport()->width(), viewport()->height()};
}

// Callers rely on OnDraw having run when this returns. A window that is not on the screen (not
// shown yet, or minimised) paints nothing now, so the drawing then runs on the cached image of
// the client size, and the screen is painted from it when it shows again.
void CScrollView::RedrawWindow() {
    const int nBefore = m_nDrawCount;
    InvalidateDrawing();
    viewport()->repaint();
    if (m_nDrawCount == nBefore) {
        DrawCache();
        viewport()->update();
    }
}

// The image's memory is kept while the window grows and shrinks: a new block at every step of
// a resize would have the kernel clear and fault in megabytes each time. It grows in steps of
// kCacheStep pixels.
void CScrollView::FitCacheToViewport() {
    const qreal dpr = viewport()->devicePixelRatio();
    const QSize size = viewport()->size().expandedTo(QSize(1, 1)) * dpr;
    if (m_drawing.size() == size && m_drawing.devicePixelRatio() == dpr)
        return;
    if (m_cacheMemory.width() < size.width() || m_cacheMemory.height() < size.height()) {
        const auto roundUp = [](int n) { return (n + kCacheStep - 1) / kCacheStep * kCacheStep; };
        m_cacheMemory =
            QImage(roundUp(std::max(size.width(), m_cacheMemory.width())),
                   roundUp(std::max(size.height(), m_cacheMemory.height())), QImage::Format_RGB32);
    }
    m_drawing = QImage(m_cacheMemory.bits(), size.width(), size.height(),
                       m_cacheMemory.bytesPerLine(), QImage::Format_RGB32);
    m_drawing.setDevicePixelRatio(dpr);
    m_drawing.setDotsPerMeterX(qRound(viewport()->logicalDpiX() / kMetresPerInch));
    m_drawing.setDotsPerMeterY(qRound(viewport()->logicalDpiY() / kMetresPerInch));
}

// OnDraw may move the scroll position or show or hide a scroll bar: a zoom back to 1 shrinks
// the range, the position is limited to it and the bars go. The picture is then drawn again as
// the view settled, so that it never shows the old offset (nor leaves the readout a mapping
// that the screen does not show).
void CScrollView::DrawCache() {
    for (int nPass = 0; nPass < kMaxDrawPasses; ++nPass) {
        FitCacheToViewport();
        m_bDrawingValid = true;
        DrawOn(&m_drawing);
        if (m_bDrawingValid)
            break;
    }
}

void CScrollView::UpdateWindow() {
    // QWidget::repaint() paints at once; there is nothing left pending after RedrawWindow.
}

// The plot is drawn once into the cache; a paint for the overlay alone (the cursor moved) only
// copies the rectangles it has to: one bounding rectangle of a cursor line and a label far from
// it would be most of the window.
void CScrollView::paintEvent(QPaintEvent* pEvent) {
    if (!m_bDrawingValid || m_drawing.deviceIndependentSize().toSize() != viewport()->size())
        DrawCache();
    QPainter painter(viewport());
    const qreal dpr = m_drawing.devicePixelRatio();
    for (const QRect& rc : pEvent->region()) {
        painter.setClipRect(rc);
        painter.drawImage(rc, m_drawing, QRectF(rc.topLeft() * dpr, rc.size() * dpr));
    }
    painter.setClipping(false);
    OnDrawOverlay(&painter);
}

void CScrollView::OnDrawOverlay(QPainter*) {}

// The screen surface of the scroll view: background erased, origin moved by minus the scroll
// position.
void CScrollView::DrawOn(QPaintDevice* pDevice) {
    QPainter painter(pDevice);
    painter.fillRect(QRect(QPoint(0, 0), viewport()->size()), Qt::white);
    CQtDC dc(&painter, this, 0);
    dc.SetSmoothLines(SmoothLines());
    const POINT pos = GetScrollPosition();
    dc.SetViewportOrg(-pos.x, -pos.y);
    ++m_nDrawCount;
    OnDraw(&dc);
}

bool CScrollView::DoFilePrint(bool bDirect) {
    CPrintInfo info;
    info.m_pPrinter = AfxGetApp()->GetPrinter();
    info.m_bDirect = bDirect;
    // A cancelled dialog ends the job before anything is drawn.
    if (!OnPreparePrinting(&info))
        return false;
    return PrintJob(info.m_pPrinter, &info);
}

// A PDF file is replaced only by a complete one; the message says why a job failed.
bool CScrollView::PrintJob(QPrinter* pPrinter, CPrintInfo* pInfo) {
    if (pPrinter->outputFormat() == QPrinter::PdfFormat && !pPrinter->outputFileName().isEmpty()) {
        QString error;
        if (!AfxMayReplace(pPrinter->outputFileName(), &error)) {
            if (!error.isEmpty())
                AfxMessageBox(error);
            return false;
        }
    }
    CPrintFile file(pPrinter, m_pDocument ? m_pDocument->InputFiles() : QStringList());
    QString strError = file.Begin();
    if (strError.isEmpty())
        strError = file.Finish(PrintPage(pPrinter, pInfo));
    if (strError.isEmpty())
        return true;
    AfxMessageBox(strError);
    return false;
}

BOOL CScrollView::OnPreparePrinting(CPrintInfo*) {
    return 1;
}

BOOL CScrollView::DoPreparePrinting(CPrintInfo* pInfo) {
    if (pInfo->m_bDirect || pInfo->m_bPreview)
        return 1;
    QPrintDialog dlg(pInfo->m_pPrinter, AfxGetMainWnd());
    // The document is one page: nothing to choose but the printer, the paper and the copies.
    dlg.setOptions(QAbstractPrintDialog::PrintToFile | QAbstractPrintDialog::PrintShowPageSize |
                   QAbstractPrintDialog::PrintCollateCopies);
    dlg.setMinMax(1, 1);
    return dlg.exec() == QDialog::Accepted ? 1 : 0;
}

void CScrollView::OnBeginPrinting(CDC*, CPrintInfo*) {}

void CScrollView::OnPrint(CDC* pDC, CPrintInfo*) {
    OnDraw(pDC);
}

void CScrollView::OnEndPrinting(CDC*, CPrintInfo*) {}

// Vector output straight onto the printer: the page is drawn by OnDraw on a surface over the
// printer, never through an image. A printer that cannot make copies itself (a PDF file) gets
// the page once per copy; a preview shows it once.
bool CScrollView::PrintPage(QPrinter* pPrinter, CPrintInfo* pInfo) {
    // The job and the PDF file are titled after the document.
    if (m_pDocument)
        pPrinter->setDocName(m_pDocument->GetTitle());
    QPainter painter;
    if (!painter.begin(pPrinter))
        return false;
    const int nCopies = pInfo->m_bPreview || pPrinter->supportsMultipleCopies()
                            ? 1
                            : std::max(1, pPrinter->copyCount());
    for (int i = 0; i < nCopies; ++i) {
        if (i > 0 && !pPrinter->newPage())
            return false;
        CQtDC dc(&painter, nullptr, 1);
        ++m_nPrintCount;
        OnBeginPrinting(&dc, pInfo);
        OnPrint(&dc, pInfo);
        OnEndPrinting(&dc, pInfo);
    }
    return painter.end();
}

void CScrollView::OnFilePrint() {
    DoFilePrint(false);
}

void CScrollView::OnFilePrintDirect() {
    DoFilePrint(true);
}

void CScrollView::OnFilePrintPreview() {
    CPrintInfo info;
    info.m_pPrinter = AfxGetApp()->GetPrinter();
    info.m_bPreview = true;
    if (!OnPreparePrinting(&info))
        return;
    // The preview's orientation buttons turn this page only: the next print keeps the
    // orientation that Print Setup chose.
    const QPageLayout::Orientation orientation = info.m_pPrinter->pageLayout().orientation();
    QPrintPreviewDialog dlg(info.m_pPrinter, AfxGetMainWnd());
    // Large enough to read the page: most of the main window.
    if (const QWidget* pMain = AfxGetMainWnd(); pMain && pMain->isVisible())
        dlg.resize(pMain->size() * kPreviewShare / 100);
    // The preview draws the page as a picture; its Print button draws on the printer itself.
    connect(&dlg, &QPrintPreviewDialog::paintRequested, this, [this, &info](QPrinter* pPrinter) {
        CPrintInfo job = info;
        job.m_bPreview =
            pPrinter->paintEngine() && pPrinter->paintEngine()->type() == QPaintEngine::Picture;
        if (job.m_bPreview)
            PrintPage(pPrinter, &job);
        else
            PrintJob(pPrinter, &job);
    });
    dlg.exec();
    info.m_pPrinter->setPageOrientation(orientation);
}

void CScrollView::resizeEvent(QResizeEvent* pEvent) {
    QAbstractScrollArea::resizeEvent(pEvent);
    InvalidateDrawing();
    UpdateBars();
}

void CScrollView::scrollContentsBy(int, int) {
    InvalidateDrawing();
    viewport()->update();
}

void CScrollView::focusInEvent(QFocusEvent* pEvent) {
    QAbstractScrollArea::focusInEvent(pEvent);
    if (CChildFrame* pFrame = GetParentFrame())
        pFrame->SetActiveView(this);
}

BOOL CScrollView::OnCmdMsg(UINT nID, CmdCode nCode, CCmdUI* pCmdUI) {
    if (OnViewCmdMsg(nID, nCode, pCmdUI))
        return 1;
    return m_pDocument && m_pDocument->OnCmdMsg(nID, nCode, pCmdUI);
}

BOOL CScrollView::OnViewCmdMsg(UINT nID, CmdCode nCode, CCmdUI* pCmdUI) {
    static const CmdEntry<CScrollView> kMessageMap[] = {
        {ID_NEXT_PANE, &CScrollView::OnNextPane, &CScrollView::OnUpdateNextPane},
        {ID_PREV_PANE, &CScrollView::OnPrevPane, &CScrollView::OnUpdateNextPane},
        {ID_WINDOW_SPLIT, &CScrollView::OnSplitCmd, &CScrollView::OnUpdateSplitCmd},
    };
    return DispatchCmdMsg(this, kMessageMap, nID, nCode, pCmdUI);
}

void CScrollView::OnNextPane() {
    if (CChildFrame* pFrame = GetParentFrame())
        pFrame->ActivateNextPane(this, true);
}

void CScrollView::OnPrevPane() {
    if (CChildFrame* pFrame = GetParentFrame())
        pFrame->ActivateNextPane(this, false);
}

void CScrollView::OnUpdateNextPane(CCmdUI* pCmdUI) {
    const CChildFrame* pFrame = GetParentFrame();
    pCmdUI->Enable(pFrame && pFrame->GetViews().size() > 1);
}

void CScrollView::OnSplitCmd() {
    if (CSplitterWnd* pSplitter = GetParentSplitter())
        pSplitter->DoKeyboardSplit();
}

void CScrollView::OnUpdateSplitCmd(CCmdUI* pCmdUI) {
    const CSplitterWnd* pSplitter = GetParentSplitter();
    pCmdUI->Enable(pSplitter && !pSplitter->IsTracking());
}
