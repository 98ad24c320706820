#include "CVorlanView.h"

#include "CDC.h"
#include "CPlot.h"
#include "CStringTable.h"
#include "CVorlanApp.h"
#include "CVorlanDoc.h"
#include "Resource.h"

#include <QHelpEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QRubberBand>
#include <QWhatsThis>

#include <cstring>

CVorlanView::CVorlanView(QWidget* pParent) : CScrollView(pParent) {}

CVorlanView::~CVorlanView() = default;

CVorlanDoc* CVorlanView::GetDocument() const {
    return static_cast<CVorlanDoc*>(CScrollView::GetDocument());
}

CPlot* CVorlanView::Plot() const {
    const CVorlanDoc* pDoc = GetDocument();
    return pDoc ? pDoc->m_pPlot.get() : nullptr;
}

void CVorlanView::OnInitialUpdate() {
    CScrollView::OnInitialUpdate();
    SetScrollSizes(MM_TEXT, CSize{600, 400});
}

const char* CVorlanView::EmptyHint() {
    return "Import a track with File, Import, or drop a file here";
}

void CVorlanView::OnDraw(CDC* pDC) {
    const CVorlanDoc* pDoc = GetDocument();
    if (!pDoc || !pDoc->m_pPlot)
        return;
    if (!pDoc->m_bLoaded) {
        DrawEmptyHint(pDC);
        return;
    }
    CPlot* pPlot = pDoc->m_pPlot.get();
    const CDrawTools& tools = VorlanApp()->m_tools;
    if (pDoc->m_nPlotMode == CVorlanDoc::kPlotElevation)
        pPlot->Draw2D(pDC, tools);
    else if (pDoc->m_nPlotMode == CVorlanDoc::kPlot3D)
        pPlot->Draw3D(pDC, tools);
    else
        return;
    SetScrollSizes(MM_TEXT, pPlot->m_sizeTotal);
    pPlot->UpdateScrollPos(pDC);
}

// A new document would otherwise be a blank page: the screen says how to fill it, centred in
// the window wherever it is scrolled to. Paper never shows it.
void CVorlanView::DrawEmptyHint(CDC* pDC) {
    if (pDC->m_bPrinting)
        return;
    RECT rc;
    GetClientRect(&rc);
    const POINT pos = GetScrollPosition();
    const char* pszHint = EmptyHint();
    const UINT nOldAlign = pDC->SetTextAlign(TA_CENTER | TA_BASELINE);
    pDC->TextOut(pos.x + (rc.left + rc.right) / 2, pos.y + (rc.top + rc.bottom) / 2, pszHint,
                 static_cast<int>(std::strlen(pszHint)));
    pDC->SetTextAlign(nOldAlign);
}

BOOL CVorlanView::OnViewCmdMsg(UINT nID, CmdCode nCode, CCmdUI* pCmdUI) {
    static const CmdEntry<CVorlanView> kMessageMap[] = {
        {ID_ZOOM_IN, &CVorlanView::OnZoomIn, &CVorlanView::OnUpdateZoomIn},
        {ID_ZOOM_OUT, &CVorlanView::OnZoomOut, &CVorlanView::OnUpdateZoomOut},
        {ID_ZOOM_RESTORE, &CVorlanView::OnZoomRestore, &CVorlanView::OnUpdateZoomRestore},
        {ID_FILE_PRINT, &CVorlanView::OnFilePrint, nullptr},
        {ID_FILE_PRINT_DIRECT, &CVorlanView::OnFilePrintDirect, nullptr},
        {ID_FILE_PRINT_PREVIEW, &CVorlanView::OnFilePrintPreview, nullptr},
    };
    if (DispatchCmdMsg(this, kMessageMap, nID, nCode, pCmdUI))
        return 1;
    return CScrollView::OnViewCmdMsg(nID, nCode, pCmdUI);
}

// The print dialog, except for the shell's print request, which prints without one.
BOOL CVorlanView::OnPreparePrinting(CPrintInfo* pInfo) {
    return DoPreparePrinting(pInfo);
}

bool CVorlanView::SmoothLines() const {
    return VorlanApp()->m_bSmoothLines;
}

bool CVorlanView::ZoomEnabled() const {
    const CVorlanDoc* pDoc = GetDocument();
    return pDoc && pDoc->m_bLoaded && pDoc->m_pPlot;
}

// The recentre request comes before the redraw, whose layout takes the point under the window
// centre and whose scroll computation brings it back there; only then is the result scrolled to.
void CVorlanView::OnZoomIn() {
    CPlot* pPlot = Plot();
    if (!pPlot || !(pPlot->m_fZoom <= CPlot::kMaxZoom))
        return;
    pPlot->m_fZoom = pPlot->m_fZoom * CPlot::kZoomStep;
    pPlot->m_bRecenter = 1;
    RedrawWindow();
    ScrollToPosition(pPlot->m_ptScroll);
}

void CVorlanView::OnZoomOut() {
    CPlot* pPlot = Plot();
    if (!pPlot || !(pPlot->m_fZoom >= CPlot::kMinZoomOut))
        return;
    pPlot->m_fZoom = pPlot->m_fZoom / CPlot::kZoomStep;
    pPlot->m_bRecenter = 1;
    RedrawWindow();
    ScrollToPosition(pPlot->m_ptScroll);
}

void CVorlanView::OnZoomRestore() {
    CPlot* pPlot = Plot();
    if (!pPlot)
        return;
    pPlot->m_fZoom = 1.0f;
    RedrawWindow();
}

void CVorlanView::OnUpdateZoomIn(CCmdUI* pCmdUI) {
    pCmdUI->Enable(ZoomEnabled() && Plot()->m_fZoom < CPlot::kMaxZoom);
}

void CVorlanView::OnUpdateZoomOut(CCmdUI* pCmdUI) {
    pCmdUI->Enable(ZoomEnabled() && Plot()->m_fZoom > CPlot::kMinZoomOut);
}

void CVorlanView::OnUpdateZoomRestore(CCmdUI* pCmdUI) {
    pCmdUI->Enable(ZoomEnabled() && (Plot()->m_fZoom > 1.0f + CPlot::kZoomTolerance ||
                                     Plot()->m_fZoom < 1.0f - CPlot::kZoomTolerance));
}

// The rubber band runs from the press to the release; the tracker's rectangle keeps the press
// point as (left, top) and the release point as (right, bottom), so a drag to the left or
// upwards never has both sides above 10 pixels.
void CVorlanView::OnLButtonDown(POINT point) {
    delete m_pRubberBand;
    m_ptPress = QPoint(point.x, point.y);
    m_pRubberBand = new QRubberBand(QRubberBand::Rectangle, viewport());
    m_pRubberBand->setGeometry(QRect(m_ptPress, QSize()));
    m_pRubberBand->show();
}

void CVorlanView::EndRubberBand(const QPoint* pRelease) {
    delete m_pRubberBand;
    m_pRubberBand = nullptr;
    CPlot* pPlot = Plot();
    // No release point: the drag was cancelled. An unmoved mouse leaves the starting rectangle.
    if (!pRelease || *pRelease == m_ptPress || !pPlot)
        return;
    RECT& rc = pPlot->m_tracker.m_rect;
    rc = RECT{m_ptPress.x(), m_ptPress.y(), pRelease->x(), pRelease->y()};
    if (rc.bottom - rc.top > 10 && rc.right - rc.left > 10) {
        pPlot->m_bZoomRect = 1;
        OnLButtonUp();
    }
}

void CVorlanView::OnLButtonUp() {
    CPlot* pPlot = Plot();
    if (!pPlot || !pPlot->m_bZoomRect)
        return;
    RedrawWindow();
    UpdateWindow();
    ScrollToPosition(pPlot->m_ptScroll);
}

void CVorlanView::mousePressEvent(QMouseEvent* pEvent) {
    if (pEvent->button() == Qt::LeftButton && !m_pRubberBand) {
        const QPoint pt = pEvent->position().toPoint();
        OnLButtonDown(POINT{pt.x(), pt.y()});
    } else if (m_pRubberBand) {
        // Another button during the drag cancels it.
        EndRubberBand(nullptr);
    }
    pEvent->accept();
}

void CVorlanView::mouseMoveEvent(QMouseEvent* pEvent) {
    if (m_pRubberBand)
        m_pRubberBand->setGeometry(QRect(m_ptPress, pEvent->position().toPoint()).normalized());
    pEvent->accept();
}

void CVorlanView::mouseReleaseEvent(QMouseEvent* pEvent) {
    if (pEvent->button() == Qt::LeftButton && m_pRubberBand) {
        const QPoint pt = pEvent->position().toPoint();
        EndRubberBand(&pt);
    }
    pEvent->accept();
}

bool CVorlanView::OnKeyDown(int nChar) {
    CVorlanDoc* pDoc = GetDocument();
    if (!pDoc || pDoc->m_nPlotMode != CVorlanDoc::kPlot3D)
        return true; // swallowed: no action and no default processing outside the 3D view
    CPlot* pPlot = pDoc->m_pPlot.get();
    switch (nChar) {
    case VK_HOME:
        pPlot->m_fAzimuth = CPlot::kHomeAzimuth;
        pPlot->m_fElevation = CPlot::kHomeElevation;
        break;
    case VK_LEFT:
        if (pPlot->m_fAzimuth >= CPlot::kFullTurn)
            pPlot->m_fAzimuth = pPlot->m_fAzimuth - CPlot::kFullTurn;
        pPlot->m_fAzimuth = pPlot->m_fAzimuth + CPlot::kRotateStepKey;
        break;
    case VK_UP:
        if (pPlot->m_fElevation <= -CPlot::kFullTurn)
            pPlot->m_fElevation = pPlot->m_fElevation + CPlot::kFullTurn;
        pPlot->m_fElevation = pPlot->m_fElevation - CPlot::kRotateStepKey;
        break;
    case VK_RIGHT:
        if (pPlot->m_fAzimuth <= -CPlot::kFullTurn)
            pPlot->m_fAzimuth = pPlot->m_fAzimuth + CPlot::kFullTurn;
        pPlot->m_fAzimuth = pPlot->m_fAzimuth - CPlot::kRotateStepKey;
        break;
    case VK_DOWN:
        if (pPlot->m_fElevation >= CPlot::kFullTurn)
            pPlot->m_fElevation = pPlot->m_fElevation - CPlot::kFullTurn;
        pPlot->m_fElevation = pPlot->m_fElevation + CPlot::kRotateStepKey;
        break;
    default:
        return false;
    }
    RedrawWindow();
    return true;
}

void CVorlanView::keyPressEvent(QKeyEvent* pEvent) {
    if (m_pRubberBand && pEvent->key() == Qt::Key_Escape) {
        EndRubberBand(nullptr);
        return;
    }
    int nChar = 0;
    switch (pEvent->key()) {
    case Qt::Key_Home:
        nChar = VK_HOME;
        break;
    case Qt::Key_Left:
        nChar = VK_LEFT;
        break;
    case Qt::Key_Up:
        nChar = VK_UP;
        break;
    case Qt::Key_Right:
        nChar = VK_RIGHT;
        break;
    case Qt::Key_Down:
        nChar = VK_DOWN;
        break;
    default:
        break;
    }
    // The scroll area's own key scrolling is never used: the view is not scrolled by keys.
    if (OnKeyDown(nChar))
        pEvent->accept();
    else
        pEvent->ignore();
}

// What's This help on the view explains what it shows: the plot on show, or Import while the
// document is empty.
bool CVorlanView::event(QEvent* pEvent) {
    if (pEvent->type() == QEvent::QueryWhatsThis) {
        pEvent->accept();
        return true;
    }
    if (pEvent->type() == QEvent::WhatsThis) {
        const CVorlanDoc* pDoc = GetDocument();
        UINT nID = ID_FILE_IMPORT;
        if (pDoc && pDoc->m_nPlotMode == CVorlanDoc::kPlot3D)
            nID = ID_PLOT_3D;
        else if (pDoc && pDoc->m_nPlotMode == CVorlanDoc::kPlotElevation)
            nID = ID_PLOT_ELEVATION;
        QWhatsThis::showText(static_cast<QHelpEvent*>(pEvent)->globalPos(),
                             CStringTable::WhatsThis(nID), this);
        return true;
    }
    return CScrollView::event(pEvent);
}
