// The chart view, a pane of a document window: has a chart of its own (which plot, zoom, scroll
// and view angles), so that one window can show the elevation chart beside the 3D view; draws it
// on the screen, the printer and the preview, follows the chart's page with its scroll sizes,
// switches the plot, zooms by command and by rubber band, and turns the 3D view by command, with
// the Home and arrow keys and by dragging. What it last changed becomes the document's view (the
// one a new window opens with and Save writes).
#pragma once

#include "CGraphs.h"
#include "CReadoutOverlay.h"
#include "CScrollView.h"
#include "CViewValues.h"
#include "Units.h"

#include <cstdint>
#include <memory>
#include <vector>

class CPlot;
class CVorlanDoc;
class QRubberBand;

class CVorlanView : public CScrollView {
    Q_OBJECT
public:
    explicit CVorlanView(QWidget* pParent = nullptr);
    ~CVorlanView() override;

    CVorlanDoc* GetDocument() const;

    void OnInitialUpdate() override;
    // A pane split from pSource shows what it shows.
    void OnSplitFrom(CScrollView* pSource) override;

    // The pane's chart and the plot it shows (CVorlanDoc::kPlotNone, kPlotElevation, kPlot3D).
    CPlot* Plot() const { return m_pPlot.get(); }
    short PlotMode() const { return m_nPlotMode; }
    // Shows nMode in this pane (filled from the document's track) and makes it the document's.
    void ShowPlot(short nMode);
    // The pane's plot and view values as a document keeps them, and back.
    PaneView GetPaneView() const;
    void SetPaneView(const PaneView& pane);

    void OnPlotElevation();
    void OnPlot3D();
    void OnRotateUp();
    void OnRotateDown();
    void OnRotateLeft();
    void OnRotateRight();
    void OnRotateRestore();
    void OnUpdatePlotElevation(CCmdUI* pCmdUI);
    void OnUpdatePlot3D(CCmdUI* pCmdUI);
    void OnUpdateRotateUp(CCmdUI* pCmdUI);
    void OnUpdateRotateDown(CCmdUI* pCmdUI);
    void OnUpdateRotateLeft(CCmdUI* pCmdUI);
    void OnUpdateRotateRight(CCmdUI* pCmdUI);
    void OnUpdateRotateRestore(CCmdUI* pCmdUI);
    // Window, Chart and 3D: the window's left column of panes shows the elevation chart and its
    // right column the 3D view, split in the middle first when it has one column.
    void OnWindowChartAnd3D();
    void OnUpdateWindowChartAnd3D(CCmdUI* pCmdUI);
    // View, Graphs: a graph under this pane's chart, offered where the document has its data.
    void OnToggleGraph(GraphKind kind);
    void OnUpdateGraph(GraphKind kind, CCmdUI* pCmdUI);
    // The plot on show; while the document is empty, a hint on how to import a track (on the
    // screen only).
    void OnDraw(CDC* pDC) override;
    static const char* EmptyHint();

    void OnZoomIn();
    void OnZoomOut();
    void OnZoomRestore();
    void ZoomTo(float fZoom);
    void OnUpdateZoomIn(CCmdUI* pCmdUI);
    void OnUpdateZoomOut(CCmdUI* pCmdUI);
    void OnUpdateZoomRestore(CCmdUI* pCmdUI);

    // The mouse and keyboard handlers, with client pixels and Windows virtual-key codes.
    void OnLButtonDown(POINT point);
    void OnLButtonUp();
    // True when the key was handled here; false passes it on (default processing).
    bool OnKeyDown(int nChar);

    // The numbers and the mouse: the cursor readout, wheel zoom, turning by dragging, export.
    // A selection hint repaints the readout only; anything else redraws the plot.
    void OnUpdate(CScrollView* pSender, long lHint, void* pHint) override;
    // The readout at a point of the client area: selects the track point under it in the
    // document (or none) and shows its text in the status bar.
    void UpdateReadout(QPoint ptClient);
    void ClearReadout();
    const CReadoutOverlay& Overlay() const { return m_overlay; }
    // One zoom step in or out, as the zoom commands step and within their limits, keeping the
    // chart point under ptClient where it is.
    void ZoomAt(QPoint ptClient, bool bIn);
    // The 3D view turned by a right-button drag from the press point: one degree per
    // kPixelsPerDegree pixels, the elevation angle within the rotation limits.
    static constexpr float kPixelsPerDegree = 4.0f;
    void TurnBy(QPoint ptOffset);
    // Writes the plot as on screen (no readout) to strPath; the message when it failed.
    QString ExportImage(const QString& strPath, int nScale);
    void OnFileExportImage();
    void OnEditCopy();
    // Export and Copy need a plot on show.
    void OnUpdateExportCommand(CCmdUI* pCmdUI);

    // Virtual-key codes of the keys that turn the 3D view.
    static constexpr int VK_HOME = 0x24;
    static constexpr int VK_LEFT = 0x25;
    static constexpr int VK_UP = 0x26;
    static constexpr int VK_RIGHT = 0x27;
    static constexpr int VK_DOWN = 0x28;

protected:
    BOOL OnViewCmdMsg(UINT nID, CmdCode nCode, CCmdUI* pCmdUI) override;
    BOOL OnPreparePrinting(CPrintInfo* pInfo) override;
    bool SmoothLines() const override;
    bool event(QEvent* pEvent) override;

    void mousePressEvent(QMouseEvent* pEvent) override;
    void mouseMoveEvent(QMouseEvent* pEvent) override;
    void mouseReleaseEvent(QMouseEvent* pEvent) override;
    void keyPressEvent(QKeyEvent* pEvent) override;
    void OnDrawOverlay(QPainter* pPainter) override;
    bool viewportEvent(QEvent* pEvent) override;
    void wheelEvent(QWheelEvent* pEvent) override;
    void contextMenuEvent(QContextMenuEvent* pEvent) override;

private:
    void ShowContextMenu(const QPoint& ptGlobal);
    void ShowStatus(const QString& strText);
    QRegion OverlayBounds() const;

    bool ZoomEnabled() const;
    bool RotationEnabled() const;
    // The chart filled from the document's track for the plot on show, in the display units.
    void Fill();
    // The document's plot and view values into this pane's chart.
    void TakeDocumentView();
    // This pane's plot and view values become the document's.
    void GiveDocumentView();
    // Turns the 3D view to these angles, redraws and says so in the status bar.
    void TurnTo(float fAzimuth, float fElevation);
    // The elevation chart's zoom centre from the chart's units into units.
    void ConvertCentre(Units units);
    // Shift + drag on the chart selects a stretch of the track: false when this pane cannot.
    bool StartStretch(QPoint ptClient);
    void StretchTo(QPoint ptClient);
    // Fills the chart again after a change of units or x axis.
    void Refill();
    void DrawEmptyHint(CDC* pDC);
    void EndRubberBand(const QPoint* pRelease);

    std::unique_ptr<CPlot> m_pPlot;
    short m_nPlotMode = -1;
    // The graphs under this pane's chart, a bit each by GraphKind.
    unsigned m_nGraphs = 0;
    // The colour step of every track point while the track is coloured.
    std::vector<std::uint8_t> m_colourSteps;

    // The rubber band while the left button is held: press point and the band on screen.
    QRubberBand* m_pRubberBand = nullptr;
    QPoint m_ptPress;

    // The mapping of the picture on show and the client rectangle the readout last covered.
    CReadoutOverlay m_overlay;
    QRegion m_overlayArea;
    bool m_bReadoutShown = false;
    // The right button: pressed at m_ptRightPress with these angles; a drag turns the 3D view,
    // a click opens the context menu.
    bool m_bRightDown = false;
    bool m_bTurning = false;
    QPoint m_ptRightPress;
    float m_fAzimuthAtPress = 0;
    float m_fElevationAtPress = 0;
    // The chart point where a Shift + drag began, -1 while none goes on.
    int m_nStretchAnchor = -1;
    // Wheel turns not yet a whole notch (touchpads send small steps).
    int m_nWheelDelta = 0;
};
