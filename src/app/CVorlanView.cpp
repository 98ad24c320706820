#include "CVorlanView.h"

#include "CCommandTable.h"
#include "CDC.h"
#include "CExportDlg.h"
#include "CMainFrame.h"
#include "CPlot.h"
#include "CPlotExporter.h"
#include "CSplitterWnd.h"
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
#include <QTimer>
#include <QWhatsThis>
#include <QWheelEvent>

#include <algorithm>
#include <cstdlib>

namespace {
// One notch of a mouse wheel.
constexpr int kWheelNotch = 120;
} // namespace

// A document keeps a pane's graphs as a bit each.
static_assert(kGraphKinds == CViewValues::kGraphBits);

CVorlanView::CVorlanView(QWidget* pParent)
    : CScrollView(pParent), m_pPlot(std::make_unique<CPlot>()),
      m_nGraphs(VorlanApp()->DefaultGraphs()) {
    // The readout follows the mouse without a button; the right button is ours (turning and
    // the context menu on release), so the viewport makes no context-menu events of its own.
    viewport()->setMouseTracking(true);
    viewport()->setContextMenuPolicy(Qt::PreventContextMenu);
}

CVorlanView::~CVorlanView() = default;

CVorlanDoc* CVorlanView::GetDocument() const {
    return static_cast<CVorlanDoc*>(CScrollView::GetDocument());
}

void CVorlanView::OnInitialUpdate() {
    TakeDocumentView();
    // The first pane of a document that kept its windows shows what that pane showed.
    const CVorlanDoc* pKept = GetDocument();
    if (pKept && !pKept->m_view.m_windows.empty() && pKept->GetViews().size() == 1 &&
        !pKept->m_view.m_windows.front().panes.empty()) {
        const PaneView& pane = pKept->m_view.m_windows.front().panes.front();
        m_nPlotMode = pane.nPlot;
        m_pPlot->m_fZoom = pane.fZoom;
        m_pPlot->m_fAzimuth = pane.fAzimuth;
        m_pPlot->m_fElevation = pane.fElevation;
        m_nGraphs = pane.nGraphs;
    }
    Fill();
    CScrollView::OnInitialUpdate();
    SetScrollSizes(MM_TEXT, CSize{600, 400});
    // A document that kept its windows gets them back once its first window is on the screen
    // with its size.
    CVorlanDoc* pDoc = GetDocument();
    if (pDoc && !pDoc->m_view.m_windows.empty() && VorlanApp()->IsInteractive() &&
        pDoc->GetViews().size() == 1)
        QTimer::singleShot(0, this, [pDoc] { pDoc->RestoreWindows(); });
}

void CVorlanView::OnSplitFrom(CScrollView* pSource) {
    const auto* pFrom = static_cast<const CVorlanView*>(pSource);
    const CPlot& from = *pFrom->m_pPlot;
    m_nPlotMode = pFrom->m_nPlotMode;
    m_nGraphs = pFrom->m_nGraphs;
    m_pPlot->m_fZoom = from.m_fZoom;
    m_pPlot->m_fAzimuth = from.m_fAzimuth;
    m_pPlot->m_fElevation = from.m_fElevation;
    Fill();
    CScrollView::OnUpdate(nullptr, 0, nullptr);
}

void CVorlanView::TakeDocumentView() {
    const CVorlanDoc* pDoc = GetDocument();
    if (!pDoc)
        return;
    m_nPlotMode = pDoc->m_nPlotMode;
    m_pPlot->m_fZoom = pDoc->m_view.m_fZoom;
    m_pPlot->m_fAzimuth = pDoc->m_view.m_fAzimuth;
    m_pPlot->m_fElevation = pDoc->m_view.m_fElevation;
}

void CVorlanView::GiveDocumentView() {
    CVorlanDoc* pDoc = GetDocument();
    if (!pDoc)
        return;
    CViewValues view;
    view.m_fZoom = m_pPlot->m_fZoom;
    view.m_fAzimuth = m_pPlot->m_fAzimuth;
    view.m_fElevation = m_pPlot->m_fElevation;
    pDoc->TakeView(m_nPlotMode, view);
}

void CVorlanView::Fill() {
    const CVorlanDoc* pDoc = GetDocument();
    m_pPlot->m_units = VorlanApp()->DisplayUnits();
    m_pPlot->m_xAxis = VorlanApp()->ChartXAxis();
    if (!pDoc || !pDoc->m_bLoaded)
        return;
    if (m_nPlotMode == CVorlanDoc::kPlotElevation) {
        m_pPlot->FillElevation(pDoc->m_track, &pDoc->m_record);
        if (VorlanApp()->ShowsTerrain() && !pDoc->m_groundFeet.empty())
            m_pPlot->AddTerrainSeries(pDoc->m_groundFeet.data(),
                                      static_cast<int>(pDoc->m_groundFeet.size()));
        for (int k = 0; k < kGraphKinds; ++k)
            if (m_nGraphs & (1u << k))
                m_pPlot->AddGraph(static_cast<GraphKind>(k), pDoc->m_track, &pDoc->m_record);
    } else if (m_nPlotMode == CVorlanDoc::kPlot3D) {
        m_pPlot->Fill3D(pDoc->m_track);
    }
    m_pPlot->m_pGround = VorlanApp()->ShowsTerrain() ? pDoc->m_pGround3D.get() : nullptr;
    m_pPlot->m_nExaggeration = VorlanApp()->TrueProportions();
    m_colourSteps.resize(CTrack::kMaxPoints);
    m_pPlot->m_pColourSteps =
        CTrackColours::Compute(pDoc->m_track, &pDoc->m_record, VorlanApp()->TrackColours(),
                               m_pPlot->m_units, m_colourSteps.data(), m_pPlot->m_colourBar)
            ? m_colourSteps.data()
            : nullptr;
}

void CVorlanView::ShowPlot(short nMode) {
    m_nPlotMode = nMode;
    Fill();
    GiveDocumentView();
    CScrollView::OnUpdate(nullptr, 0, nullptr);
}

void CVorlanView::OnPlotElevation() {
    ShowPlot(CVorlanDoc::kPlotElevation);
}

void CVorlanView::OnPlot3D() {
    ShowPlot(CVorlanDoc::kPlot3D);
}

void CVorlanView::OnUpdatePlotElevation(CCmdUI* pCmdUI) {
    const CVorlanDoc* pDoc = GetDocument();
    pCmdUI->Enable(pDoc && pDoc->m_bLoaded);
    pCmdUI->SetCheck(m_nPlotMode == CVorlanDoc::kPlotElevation ? 1 : 0);
}

void CVorlanView::OnUpdatePlot3D(CCmdUI* pCmdUI) {
    const CVorlanDoc* pDoc = GetDocument();
    pCmdUI->Enable(pDoc && pDoc->m_bLoaded);
    pCmdUI->SetCheck(m_nPlotMode == CVorlanDoc::kPlot3D ? 1 : 0);
}

bool CVorlanView::RotationEnabled() const {
    const CVorlanDoc* pDoc = GetDocument();
    return pDoc && pDoc->m_bLoaded && m_nPlotMode == CVorlanDoc::kPlot3D;
}

void CVorlanView::TurnTo(float fAzimuth, float fElevation) {
    m_pPlot->m_fAzimuth = fAzimuth;
    m_pPlot->m_fElevation = fElevation;
    GiveDocumentView();
    RedrawWindow();
    if (CMainFrame* pFrame = VorlanApp()->GetMainFrame())
        pFrame->UpdateViewStatus();
}

void CVorlanView::OnRotateUp() {
    if (m_pPlot->m_fElevation > -CPlot::kMaxRotation)
        TurnTo(m_pPlot->m_fAzimuth, m_pPlot->m_fElevation - CPlot::kRotateStepButton);
}

void CVorlanView::OnRotateDown() {
    if (m_pPlot->m_fElevation < CPlot::kMaxRotation)
        TurnTo(m_pPlot->m_fAzimuth, m_pPlot->m_fElevation + CPlot::kRotateStepButton);
}

void CVorlanView::OnRotateLeft() {
    if (m_pPlot->m_fAzimuth < CPlot::kMaxRotation)
        TurnTo(m_pPlot->m_fAzimuth + CPlot::kRotateStepButton, m_pPlot->m_fElevation);
}

void CVorlanView::OnRotateRight() {
    if (m_pPlot->m_fAzimuth > -CPlot::kMaxRotation)
        TurnTo(m_pPlot->m_fAzimuth - CPlot::kRotateStepButton, m_pPlot->m_fElevation);
}

void CVorlanView::OnRotateRestore() {
    TurnTo(CPlot::kHomeAzimuth, CPlot::kHomeElevation);
}

void CVorlanView::OnUpdateRotateUp(CCmdUI* pCmdUI) {
    pCmdUI->Enable(RotationEnabled() && m_pPlot->m_fElevation > -CPlot::kMaxRotation);
}

void CVorlanView::OnUpdateRotateDown(CCmdUI* pCmdUI) {
    pCmdUI->Enable(RotationEnabled() && m_pPlot->m_fElevation < CPlot::kMaxRotation);
}

void CVorlanView::OnUpdateRotateLeft(CCmdUI* pCmdUI) {
    pCmdUI->Enable(RotationEnabled() && m_pPlot->m_fAzimuth < CPlot::kMaxRotation);
}

void CVorlanView::OnUpdateRotateRight(CCmdUI* pCmdUI) {
    pCmdUI->Enable(RotationEnabled() && m_pPlot->m_fAzimuth > -CPlot::kMaxRotation);
}

// At rest while both angles lie within the tolerance of the home view (the bounds count as at
// rest).
void CVorlanView::OnUpdateRotateRestore(CCmdUI* pCmdUI) {
    const float az = m_pPlot->m_fAzimuth;
    const float el = m_pPlot->m_fElevation;
    pCmdUI->Enable(RotationEnabled() && (az > CPlot::kHomeAzimuth + CPlot::kHomeTolerance ||
                                         az < CPlot::kHomeAzimuth - CPlot::kHomeTolerance ||
                                         el > CPlot::kHomeElevation + CPlot::kHomeTolerance ||
                                         el < CPlot::kHomeElevation - CPlot::kHomeTolerance));
}

const char* CVorlanView::EmptyHint() {
    return "Import a track with File, Import, or drop a file here";
}

void CVorlanView::OnDraw(CDC* pDC) {
    const CVorlanDoc* pDoc = GetDocument();
    if (!pDoc)
        return;
    if (!pDoc->m_bLoaded) {
        DrawEmptyHint(pDC);
        return;
    }
    CPlot* pPlot = m_pPlot.get();
    const CDrawTools& tools = VorlanApp()->m_tools;
    CReadoutOverlay::Mode mode = CReadoutOverlay::Mode::none;
    if (m_nPlotMode == CVorlanDoc::kPlotElevation) {
        pPlot->m_bColumnSeries = !pDC->m_bPrinting && !SmoothLines();
        pPlot->Draw2D(pDC, tools);
        pPlot->m_bColumnSeries = false;
        mode = CReadoutOverlay::Mode::elevation;
    } else if (m_nPlotMode == CVorlanDoc::kPlot3D) {
        pPlot->Draw3D(pDC, tools);
        mode = CReadoutOverlay::Mode::scene3D;
    }
    // The readout, the scroll sizes and the scroll position follow the picture on the screen,
    // never a printed page's: the paper's size must not give the window scroll bars.
    if (pDC->m_bPrinting)
        return;
    const bool bGround = VorlanApp()->ShowsTerrain() && !pDoc->m_groundFeet.empty();
    m_overlay.TakeMapping(*pPlot, mode, &pDoc->m_record,
                          bGround ? pDoc->m_groundFeet.data() : nullptr);
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
        {ID_PLOT_ELEVATION, &CVorlanView::OnPlotElevation, &CVorlanView::OnUpdatePlotElevation},
        {ID_PLOT_3D, &CVorlanView::OnPlot3D, &CVorlanView::OnUpdatePlot3D},
        {ID_ROTATE_UP, &CVorlanView::OnRotateUp, &CVorlanView::OnUpdateRotateUp},
        {ID_ROTATE_DOWN, &CVorlanView::OnRotateDown, &CVorlanView::OnUpdateRotateDown},
        {ID_ROTATE_LEFT, &CVorlanView::OnRotateLeft, &CVorlanView::OnUpdateRotateLeft},
        {ID_ROTATE_RIGHT, &CVorlanView::OnRotateRight, &CVorlanView::OnUpdateRotateRight},
        {ID_ROTATE_RESTORE, &CVorlanView::OnRotateRestore, &CVorlanView::OnUpdateRotateRestore},
        {ID_WINDOW_CHART_AND_3D, &CVorlanView::OnWindowChartAnd3D,
         &CVorlanView::OnUpdateWindowChartAnd3D},
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
    if (nID >= ID_VIEW_GRAPH_FIRST && nID <= ID_VIEW_GRAPH_LAST) {
        const auto kind = static_cast<GraphKind>(nID - ID_VIEW_GRAPH_FIRST);
        if (nCode == CmdCode::Command)
            OnToggleGraph(kind);
        else if (nCode == CmdCode::Update)
            OnUpdateGraph(kind, pCmdUI);
        return 1;
    }
    return CScrollView::OnViewCmdMsg(nID, nCode, pCmdUI);
}

void CVorlanView::OnToggleGraph(GraphKind kind) {
    m_nGraphs ^= 1u << static_cast<int>(kind);
    VorlanApp()->SetDefaultGraphs(m_nGraphs);
    Fill();
    CScrollView::OnUpdate(nullptr, 0, nullptr);
}

void CVorlanView::OnUpdateGraph(GraphKind kind, CCmdUI* pCmdUI) {
    pCmdUI->SetCheck(m_nGraphs & (1u << static_cast<int>(kind)) ? 1 : 0);
    const CVorlanDoc* pDoc = GetDocument();
    pCmdUI->Enable(pDoc && pDoc->m_bLoaded &&
                   CGraphs::HasData(kind, pDoc->m_track, &pDoc->m_record));
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
    return pDoc && pDoc->m_bLoaded && m_nPlotMode != CVorlanDoc::kPlotNone;
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
    GiveDocumentView();
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
    // No release point: the drag was cancelled. An unmoved mouse leaves the starting rectangle,
    // and a click clears the selected stretch.
    if (pRelease && *pRelease == m_ptPress)
        if (CVorlanDoc* pDoc = GetDocument())
            pDoc->ClearStretch();
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
    GiveDocumentView();
}

void CVorlanView::mousePressEvent(QMouseEvent* pEvent) {
    const QPoint pt = pEvent->position().toPoint();
    if (pEvent->button() == Qt::LeftButton && (pEvent->modifiers() & Qt::ShiftModifier) &&
        !m_pRubberBand && !m_bRightDown && StartStretch(pt)) {
        pEvent->accept();
        return;
    }
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
    if (m_nStretchAnchor >= 0) {
        StretchTo(pt);
    } else if (m_pRubberBand) {
        m_pRubberBand->setGeometry(QRect(m_ptPress, pt).normalized());
    } else if (m_bRightDown) {
        const bool b3D = m_nPlotMode == CVorlanDoc::kPlot3D;
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
    if (pEvent->button() == Qt::LeftButton && m_nStretchAnchor >= 0) {
        StretchTo(pEvent->position().toPoint());
        m_nStretchAnchor = -1;
        if (CMainFrame* pFrame = VorlanApp()->GetMainFrame())
            pFrame->UpdateViewStatus();
    } else if (pEvent->button() == Qt::LeftButton && m_pRubberBand) {
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
    if (!GetDocument() || m_nPlotMode != CVorlanDoc::kPlot3D)
        return true; // swallowed: no action and no default processing outside the 3D view
    CPlot* pPlot = m_pPlot.get();
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
    GiveDocumentView();
    RedrawWindow();
    return true;
}

void CVorlanView::keyPressEvent(QKeyEvent* pEvent) {
    if (m_pRubberBand && pEvent->key() == Qt::Key_Escape) {
        EndRubberBand(nullptr);
        return;
    }
    if (pEvent->key() == Qt::Key_Escape && GetDocument() && GetDocument()->HasStretch()) {
        GetDocument()->ClearStretch();
        pEvent->accept();
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
        if (pDoc && m_nPlotMode == CVorlanDoc::kPlot3D)
            nID = ID_PLOT_3D;
        else if (pDoc && m_nPlotMode == CVorlanDoc::kPlotElevation)
            nID = ID_PLOT_ELEVATION;
        QWhatsThis::showText(static_cast<QHelpEvent*>(pEvent)->globalPos(),
                             CStringTable::WhatsThis(nID), this);
        return true;
    }
    return CScrollView::event(pEvent);
}

void CVorlanView::OnUpdate(CScrollView* pSender, long lHint, void* pHint) {
    if (lHint == CVorlanDoc::kHintShowPlot) {
        TakeDocumentView();
        Fill();
    } else if (lHint == CVorlanDoc::kHintRefill) {
        Refill();
    }
    if (lHint == CVorlanDoc::kHintStretch) {
        viewport()->update();
        return;
    }
    if (lHint != CVorlanDoc::kHintSelection) {
        CScrollView::OnUpdate(pSender, lHint, pHint);
        return;
    }
    // Only where the readout was and where it goes: the cached plot is copied there.
    viewport()->update(m_overlayArea + OverlayBounds());
}

QRegion CVorlanView::OverlayBounds() const {
    const CVorlanDoc* pDoc = GetDocument();
    if (!pDoc)
        return QRegion();
    return m_overlay.Bounds(viewport()->fontMetrics(), GetScrollPosition(), pDoc->m_nSelectedPoint,
                            pDoc->m_track, m_pPlot->m_units);
}

void CVorlanView::OnDrawOverlay(QPainter* pPainter) {
    const CVorlanDoc* pDoc = GetDocument();
    if (!pDoc)
        return;
    m_overlay.PaintStretch(pPainter, GetScrollPosition(), pDoc->m_nStretchFirst,
                           pDoc->m_nStretchLast, pDoc->m_track, m_pPlot->m_units);
    m_overlayArea = m_overlay.Paint(pPainter, GetScrollPosition(), pDoc->m_nSelectedPoint,
                                    pDoc->m_track, m_pPlot->m_units);
}

void CVorlanView::UpdateReadout(QPoint ptClient) {
    CVorlanDoc* pDoc = GetDocument();
    if (!pDoc || !pDoc->m_bLoaded)
        return;
    const POINT scroll = GetScrollPosition();
    const TrackReadout readout = m_overlay.ReadoutAt(
        POINT{ptClient.x() + scroll.x, ptClient.y() + scroll.y}, pDoc->m_track, m_pPlot->m_units);
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
    GiveDocumentView();
    if (CMainFrame* pFrame = VorlanApp()->GetMainFrame())
        pFrame->UpdateViewStatus();
}

// Dragging to the right turns the scene as Rotate Right does, downwards as Rotate Down.
void CVorlanView::TurnBy(QPoint ptOffset) {
    if (!GetDocument() || m_nPlotMode != CVorlanDoc::kPlot3D)
        return;
    TurnTo(m_fAzimuthAtPress - static_cast<float>(ptOffset.x()) / kPixelsPerDegree,
           std::clamp(m_fElevationAtPress + static_cast<float>(ptOffset.y()) / kPixelsPerDegree,
                      -CPlot::kMaxRotation, CPlot::kMaxRotation));
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
    if (!pDoc || m_nPlotMode == CVorlanDoc::kPlotNone)
        return QString();
    CPlotExporter exporter(*pDoc, *m_pPlot, m_nPlotMode, viewport()->size(),
                           viewport()->logicalDpiX());
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
    if (!pDoc || m_nPlotMode == CVorlanDoc::kPlotNone)
        return;
    CPlotExporter exporter(*pDoc, *m_pPlot, m_nPlotMode, viewport()->size(),
                           viewport()->logicalDpiX());
    if (const QString tooLarge = exporter.TooLargeText(1); !tooLarge.isEmpty()) {
        AfxMessageBox(tooLarge);
        return;
    }
    QApplication::clipboard()->setImage(exporter.Image(1));
}

void CVorlanView::OnUpdateExportCommand(CCmdUI* pCmdUI) {
    const CVorlanDoc* pDoc = GetDocument();
    pCmdUI->Enable(pDoc && pDoc->m_bLoaded && m_nPlotMode != CVorlanDoc::kPlotNone);
}

// The zoom centre is kept in the chart's units, so it is converted along with the chart; the 3D
// scene's coordinates do not depend on the units.
void CVorlanView::ConvertCentre(Units units) {
    CPlot& plot = *m_pPlot;
    const Units old = plot.m_units;
    if (old == units || m_nPlotMode != CVorlanDoc::kPlotElevation)
        return;
    const double feet = old == Units::metric ? plot.m_fCenterY / kMetresPerFoot
                                             : static_cast<double>(plot.m_fCenterY);
    if (!plot.m_bTimeAxis)
        plot.m_fCenterX = static_cast<float>(DistanceIn(units, MilesFrom(old, plot.m_fCenterX)));
    plot.m_fCenterY = static_cast<float>(ElevationIn(units, feet));
}

void CVorlanView::OnWindowChartAnd3D() {
    CSplitterWnd* pSplitter = GetParentSplitter();
    if (!pSplitter)
        return;
    if (pSplitter->GetColumnCount() < 2 &&
        !pSplitter->SplitColumn((pSplitter->width() - pSplitter->GetSplitterSize()) / 2))
        return;
    for (int row = 0; row < pSplitter->GetRowCount(); ++row)
        for (int col = 0; col < 2; ++col)
            static_cast<CVorlanView*>(pSplitter->GetPane(row, col))
                ->ShowPlot(col == 0 ? CVorlanDoc::kPlotElevation : CVorlanDoc::kPlot3D);
}

void CVorlanView::OnUpdateWindowChartAnd3D(CCmdUI* pCmdUI) {
    const CVorlanDoc* pDoc = GetDocument();
    pCmdUI->Enable(pDoc && pDoc->m_bLoaded && GetParentSplitter());
}

// The zoom centre stays on the chart where it was: converted with the units, and where the x
// axis changed kind (distance, time), moved to the same track point on the new axis.
void CVorlanView::Refill() {
    CPlot& plot = *m_pPlot;
    const bool bChart = m_nPlotMode == CVorlanDoc::kPlotElevation && plot.m_nSeries > 0;
    const bool bWasTime = plot.m_bTimeAxis;
    const int nCentre =
        bChart ? CReadoutOverlay::NearestX(plot.m_pX[0], plot.m_nPoints[0], plot.m_fCenterX) : -1;
    ConvertCentre(VorlanApp()->DisplayUnits());
    Fill();
    if (nCentre >= 0 && plot.m_nSeries > 0 && nCentre < plot.m_nPoints[0] &&
        (plot.m_bTimeAxis || bWasTime))
        plot.m_fCenterX = plot.m_pX[0][nCentre];
}

// Shift + drag on the chart: the stretch runs from the point at the press to the point under the
// mouse, in every pane at once.
bool CVorlanView::StartStretch(QPoint ptClient) {
    CVorlanDoc* pDoc = GetDocument();
    if (!pDoc || !pDoc->m_bLoaded || m_nPlotMode != CVorlanDoc::kPlotElevation)
        return false;
    const POINT scroll = GetScrollPosition();
    m_nStretchAnchor = m_overlay.ChartPointAt(
        POINT{ptClient.x() + scroll.x, ptClient.y() + scroll.y}, pDoc->m_track, m_pPlot->m_units);
    if (m_nStretchAnchor < 0)
        return false;
    pDoc->SetStretch(m_nStretchAnchor, m_nStretchAnchor);
    return true;
}

void CVorlanView::StretchTo(QPoint ptClient) {
    CVorlanDoc* pDoc = GetDocument();
    if (!pDoc)
        return;
    const POINT scroll = GetScrollPosition();
    const int nPoint = m_overlay.ChartPointAt(
        POINT{ptClient.x() + scroll.x, ptClient.y() + scroll.y}, pDoc->m_track, m_pPlot->m_units);
    if (nPoint >= 0)
        pDoc->SetStretch(m_nStretchAnchor, nPoint);
}

PaneView CVorlanView::GetPaneView() const {
    PaneView pane;
    pane.nPlot = static_cast<std::int8_t>(m_nPlotMode);
    pane.fZoom = m_pPlot->m_fZoom;
    pane.fAzimuth = m_pPlot->m_fAzimuth;
    pane.fElevation = m_pPlot->m_fElevation;
    pane.nGraphs = static_cast<std::uint8_t>(m_nGraphs);
    return pane;
}

void CVorlanView::SetPaneView(const PaneView& pane) {
    m_nPlotMode = pane.nPlot;
    m_pPlot->m_fZoom = pane.fZoom;
    m_pPlot->m_fAzimuth = pane.fAzimuth;
    m_pPlot->m_fElevation = pane.fElevation;
    m_nGraphs = pane.nGraphs;
    Fill();
    CScrollView::OnUpdate(nullptr, 0, nullptr);
}
