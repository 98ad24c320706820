// The chart view: draws the document's current plot (elevation chart or 3D scene) on the screen,
// the printer and the preview, follows the chart's page with its scroll sizes, zooms by command
// and by rubber band, and turns the 3D view with the Home and arrow keys. Holds no state of its
// own: everything lives in the chart.
#pragma once

#include "CScrollView.h"

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
    // The plot on show; while the document is empty, a hint on how to import a track (on the
    // screen only).
    void OnDraw(CDC* pDC) override;
    static const char* EmptyHint();

    void OnZoomIn();
    void OnZoomOut();
    void OnZoomRestore();
    void OnUpdateZoomIn(CCmdUI* pCmdUI);
    void OnUpdateZoomOut(CCmdUI* pCmdUI);
    void OnUpdateZoomRestore(CCmdUI* pCmdUI);

    // The mouse and keyboard handlers, with client pixels and Windows virtual-key codes.
    void OnLButtonDown(POINT point);
    void OnLButtonUp();
    // True when the key was handled here; false passes it on (default processing).
    bool OnKeyDown(int nChar);

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

private:
    CPlot* Plot() const;
    bool ZoomEnabled() const;
    void DrawEmptyHint(CDC* pDC);
    void EndRubberBand(const QPoint* pRelease);

    // The rubber band while the left button is held: press point and the band on screen.
    QRubberBand* m_pRubberBand = nullptr;
    QPoint m_ptPress;
};
