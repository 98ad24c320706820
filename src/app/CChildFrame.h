// A document window inside the main frame's MDI area: always comes up maximised, is titled from
// its document ("Vorlan1", or "Vorlan1:2" when the document has several windows) and holds the
// document's view panes. Created by the document template.
#pragma once

#include "CCmdTarget.h"

#include <QList>
#include <QMdiSubWindow>

#include <functional>

class CDocument;
class CScrollView;

class CChildFrame : public QMdiSubWindow, public CCmdTarget {
    Q_OBJECT
public:
    using ViewFactory = std::function<CScrollView*()>;

    CChildFrame();
    ~CChildFrame() override;

    // Creates the client area: the first view of pDocument, made by createView.
    BOOL OnCreateClient(CDocument* pDocument, const ViewFactory& createView);
    // Shows the frame maximised whatever show state is asked for, and activates it.
    void ActivateFrame(int nCmdShow = -1);

    CScrollView* GetActiveView() const { return m_pActiveView; }
    void SetActiveView(CScrollView* pView);
    CDocument* GetActiveDocument() const;
    // The view panes, in order.
    const QList<CScrollView*>& GetViews() const { return m_views; }
    // Moves the focus to the next (or previous) pane after pView.
    void ActivateNextPane(CScrollView* pView, bool bNext);

    // Title from the document, with ":n" when the document has several windows.
    void OnUpdateFrameTitle();
    int m_nWindow = 0;

    // Routes to the active view (and its document), then the frame's own (empty) message map.
    BOOL OnCmdMsg(UINT nID, CmdCode nCode, CCmdUI* pCmdUI) override;

private:
    void OnViewDestroyed(QObject* pView);

    QList<CScrollView*> m_views;
    CScrollView* m_pActiveView = nullptr;
};
