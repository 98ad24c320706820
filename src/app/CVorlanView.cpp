#include "CVorlanView.h"

#include "CCommandTable.h"
#include "CDC.h"
#include "CExportDlg.h"
#include "CMainFrame.h"
#include "CPlot.h"
#include "CPlotExporter.h"
#include "CStringTable.h"
#include "CVorlanApp.h"
#include "CVorlanDoc.h"
#include "Resource.h"

#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QHelpEvent>
#include <QKeyEvent>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QRubberBand>
#include <QStatusBar>
#include <QWhatsThis>
#include <QWheelEvent>

#include <algorithm>
#include <cstdlib>

namespace {
// One notch of a mouse wheel.
constexpr int kWheelNotch = 120;
} // namespace

CVorlanView::CVorlanView(QWidget* pParent) : CScrollView(pParent) {
    // The readout follows the mouse without a button; the right button is ours (turning and
    // the context menu on release), so the viewport makes no context-menu events of its own.
    viewport()->setMouseTracking(true);
    viewport()->setContextMenuPolicy(Qt::PreventContextMenu);
}

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
    CReadoutOverlay::Mode mode = CReadoutOverlay::Mode::none;
    if (pDoc->m_nPlotMode == CVorlanDoc::kPlotElevation) {
        pPlot->Draw2D(pDC, tools);
        mode = CReadoutOverlay::Mode::elevation;
    } else if (pDoc->m_nPlotMode == CVorlanDoc::kPlot3D) {
        pPlot->Draw3D(pDC, tools);
        mode = CReadoutOverlay::Mode::scene3D;
    }
    // The readout, the scroll sizes and the scroll position follow the picture on the screen,
    // never a printed page's: the paper's size must not give the window scroll bars.
    if (pDC->m_bPrinting)
        return;
    m_overlay.TakeMapping(*pPlot, pDoc->m_track, mode);
    if (mode == CReadoutOverlay::Mode::none)
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
        {ID_FILE_EXPORT_IMAGE, &CVorlanView::OnFileExportImage,
         &CVorlanView::OnUpdateExportCommand},
        {ID_EDIT_COPY, &CVorlanView::OnEditCopy, &CVorlanView::OnUpdateExportCommand},
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

void CVorlanView::OnZoomIn() {
    const CPlot* pPlot = Plot();
    if (pPlot && pPlot->m_fZoom <= CPlot::kMaxZoom)
        ZoomTo(pPlot->m_fZoom * CPlot::kZoomStep);
}

void CVorlanView::OnZoomOut() {
    const CPlot* pPlot = Plot();
    if (pPlot && pPlot->m_fZoom >= CPlot::kMinZoomOut)
        ZoomTo(pPlot->m_fZoom / CPlot::kZoomStep);
}

void CVorlanView::OnZoomRestore() {
    if (Plot())
        ZoomTo(1.0f);
}

// The recentre request comes before the redraw, whose layout takes the point under the window
// centre and whose scroll computation brings it back there; only then is the result scrolled to.
// So a zoom and its way back keep the point in the middle, and a pane that scrolls at 1x is
// where it was.
void CVorlanView::ZoomTo(float fZoom) {
    CPlot* pPlot = Plot();
    pPlot->m_fZoom = fZoom;
    pPlot->m_bRecenter = 1;
    RedrawWindow();
    ScrollToPosition(pPlot->m_ptScroll);
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
    const QPoint pt = pEvent->position().toPoint();
    if (pEvent->button() == Qt::LeftButton && !m_pRubberBand && !m_bRightDown) {
        OnLButtonDown(POINT{pt.x(), pt.y()});
    } else if (m_pRubberBand) {
        // Another button during the drag cancels it.
        EndRubberBand(nullptr);
    } else if (pEvent->button() == Qt::RightButton && Plot()) {
        m_bRightDown = true;
        m_bTurning = false;
        m_ptRightPress = pt;
        m_fAzimuthAtPress = Plot()->m_fAzimuth;
        m_fElevationAtPress = Plot()->m_fElevation;
    }
    pEvent->accept();
}

void CVorlanView::mouseMoveEvent(QMouseEvent* pEvent) {
    const QPoint pt = pEvent->position().toPoint();
    if (m_pRubberBand) {
        m_pRubberBand->setGeometry(QRect(m_ptPress, pt).normalized());
    } else if (m_bRightDown) {
        const CVorlanDoc* pDoc = GetDocument();
        const bool b3D = pDoc && pDoc->m_nPlotMode == CVorlanDoc::kPlot3D;
        if (b3D && (pt - m_ptRightPress).manhattanLength() >= QApplication::startDragDistance())
            m_bTurning = true;
        if (m_bTurning)
            TurnBy(pt - m_ptRightPress);
    } else if (pEvent->buttons() == Qt::NoButton) {
        UpdateReadout(pt);
    }
    pEvent->accept();
}

void CVorlanView::mouseReleaseEvent(QMouseEvent* pEvent) {
    if (pEvent->button() == Qt::LeftButton && m_pRubberBand) {
        const QPoint pt = pEvent->position().toPoint();
        EndRubberBand(&pt);
    } else if (pEvent->button() == Qt::RightButton && m_bRightDown) {
        const bool bClick = !m_bTurning;
        m_bRightDown = false;
        m_bTurning = false;
        if (bClick)
            ShowContextMenu(pEvent->globalPosition().toPoint());
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

void CVorlanView::OnUpdate(CScrollView* pSender, long lHint, void* pHint) {
    if (lHint != CVorlanDoc::kHintSelection) {
        CScrollView::OnUpdate(pSender, lHint, pHint);
        return;
    }
    // Only where the readout was and where it goes: the cached plot is copied there.
    viewport()->update(m_rcOverlay | OverlayBounds());
}

QRect CVorlanView::OverlayBounds() const {
    const CVorlanDoc* pDoc = GetDocument();
    if (!pDoc)
        return QRect();
    return m_overlay.Bounds(viewport()->fontMetrics(), GetScrollPosition(), pDoc->m_nSelectedPoint,
                            pDoc->m_track, pDoc->m_pPlot->m_units);
}

void CVorlanView::OnDrawOverlay(QPainter* pPainter) {
    const CVorlanDoc* pDoc = GetDocument();
    if (!pDoc)
        return;
    m_rcOverlay = m_overlay.Paint(pPainter, GetScrollPosition(), pDoc->m_nSelectedPoint,
                                  pDoc->m_track, pDoc->m_pPlot->m_units);
}

void CVorlanView::UpdateReadout(QPoint ptClient) {
    CVorlanDoc* pDoc = GetDocument();
    if (!pDoc || !pDoc->m_bLoaded)
        return;
    const POINT scroll = GetScrollPosition();
    const TrackReadout readout =
        m_overlay.ReadoutAt(POINT{ptClient.x() + scroll.x, ptClient.y() + scroll.y}, pDoc->m_track,
                            pDoc->m_pPlot->m_units);
    if (!readout.bFound) {
        ClearReadout();
        return;
    }
    m_bReadoutShown = true;
    pDoc->SetSelectedPoint(readout.nIndex);
    ShowStatus(QString::fromUtf8(readout.text.c_str()));
}

void CVorlanView::ClearReadout() {
    if (!m_bReadoutShown)
        return;
    m_bReadoutShown = false;
    if (CVorlanDoc* pDoc = GetDocument())
        pDoc->SetSelectedPoint(-1);
    ShowStatus(QString());
}

void CVorlanView::ShowStatus(const QString& strText) {
    CMainFrame* pFrame = VorlanApp()->GetMainFrame();
    if (!pFrame)
        return;
    if (strText.isEmpty())
        pFrame->statusBar()->clearMessage();
    else
        pFrame->statusBar()->showMessage(strText);
}

bool CVorlanView::viewportEvent(QEvent* pEvent) {
    if (pEvent->type() == QEvent::Leave)
        ClearReadout();
    return CScrollView::viewportEvent(pEvent);
}

void CVorlanView::wheelEvent(QWheelEvent* pEvent) {
    if (!(pEvent->modifiers() & Qt::ControlModifier)) {
        CScrollView::wheelEvent(pEvent);
        return;
    }
    pEvent->accept();
    m_nWheelDelta += pEvent->angleDelta().y();
    while (std::abs(m_nWheelDelta) >= kWheelNotch) {
        const bool bIn = m_nWheelDelta > 0;
        m_nWheelDelta -= bIn ? kWheelNotch : -kWheelNotch;
        ZoomAt(pEvent->position().toPoint(), bIn);
    }
}

// The chart point under the mouse is taken with this view's mapping before the zoom, and the
// view is scrolled so that it lands under the mouse again (as far as the scroll range allows).
void CVorlanView::ZoomAt(QPoint ptClient, bool bIn) {
    CPlot* pPlot = Plot();
    if (!ZoomEnabled())
        return;
    if (bIn ? !(pPlot->m_fZoom <= CPlot::kMaxZoom) : !(pPlot->m_fZoom >= CPlot::kMinZoomOut))
        return;
    const POINT scroll = GetScrollPosition();
    const QPointF chart = m_overlay.ToChart(QPointF(ptClient + QPoint(scroll.x, scroll.y)));
    pPlot->m_fZoom = bIn ? pPlot->m_fZoom * CPlot::kZoomStep : pPlot->m_fZoom / CPlot::kZoomStep;
    RedrawWindow();
    const QPoint logical = m_overlay.ToLogical(chart).toPoint();
    ScrollToPosition(POINT{logical.x() - ptClient.x(), logical.y() - ptClient.y()});
    if (CMainFrame* pFrame = VorlanApp()->GetMainFrame())
        pFrame->UpdateViewStatus();
}

// Dragging to the right turns the scene as Rotate Right does, downwards as Rotate Down.
void CVorlanView::TurnBy(QPoint ptOffset) {
    CVorlanDoc* pDoc = GetDocument();
    if (!pDoc || pDoc->m_nPlotMode != CVorlanDoc::kPlot3D)
        return;
    CPlot* pPlot = pDoc->m_pPlot.get();
    pPlot->m_fAzimuth = m_fAzimuthAtPress - static_cast<float>(ptOffset.x()) / kPixelsPerDegree;
    pPlot->m_fElevation =
        std::clamp(m_fElevationAtPress + static_cast<float>(ptOffset.y()) / kPixelsPerDegree,
                   -CPlot::kMaxRotation, CPlot::kMaxRotation);
    pDoc->UpdateAllViews(nullptr);
    if (CMainFrame* pFrame = VorlanApp()->GetMainFrame())
        pFrame->UpdateViewStatus();
}

void CVorlanView::contextMenuEvent(QContextMenuEvent* pEvent) {
    // The menu key; the mouse's right button opens the menu on its release.
    if (pEvent->reason() == QContextMenuEvent::Keyboard)
        ShowContextMenu(viewport()->mapToGlobal(viewport()->rect().center()));
    pEvent->accept();
}

void CVorlanView::ShowContextMenu(const QPoint& ptGlobal) {
    CMainFrame* pFrame = VorlanApp()->GetMainFrame();
    if (!pFrame)
        return;
    pFrame->UpdateAllCommandUI();
    QMenu menu(this);
    for (UINT nID : CCommandTable::ContextMenu()) {
        if (nID == 0)
            menu.addSeparator();
        else if (QAction* pAction = pFrame->Action(nID))
            menu.addAction(pAction);
    }
    menu.exec(ptGlobal);
}

QString CVorlanView::ExportImage(const QString& strPath, int nScale) {
    CVorlanDoc* pDoc = GetDocument();
    if (!pDoc || pDoc->m_nPlotMode == CVorlanDoc::kPlotNone)
        return QString();
    CPlotExporter exporter(*pDoc, viewport()->size(), viewport()->logicalDpiX());
    return exporter.Save(strPath, nScale);
}

void CVorlanView::OnFileExportImage() {
    const CVorlanDoc* pDoc = GetDocument();
    if (!pDoc)
        return;
    CExportDlg dlg(pDoc->GetTitle(), AfxGetMainWnd());
    if (dlg.exec() != QDialog::Accepted)
        return;
    const QString strError = ExportImage(dlg.Path(), dlg.Scale());
    if (!strError.isEmpty())
        AfxMessageBox(strError);
}

void CVorlanView::OnEditCopy() {
    CVorlanDoc* pDoc = GetDocument();
    if (!pDoc || pDoc->m_nPlotMode == CVorlanDoc::kPlotNone)
        return;
    CPlotExporter exporter(*pDoc, viewport()->size(), viewport()->logicalDpiX());
    if (const QString tooLarge = exporter.TooLargeText(1); !tooLarge.isEmpty()) {
        AfxMessageBox(tooLarge);
        return;
    }
    QApplication::clipboard()->setImage(exporter.Image(1));
}

void CVorlanView::OnUpdateExportCommand(CCmdUI* pCmdUI) {
    const CVorlanDoc* pDoc = GetDocument();
    pCmdUI->Enable(pDoc && pDoc->m_nPlotMode != CVorlanDoc::kPlotNone);
}
