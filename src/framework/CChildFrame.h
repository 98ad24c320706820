// A document window inside the main frame's MDI area: always comes up maximised, is titled from
// its document ("Doc1", or "Doc1:2" when the document has several windows) and holds the
// document's view panes in its dynamic splitter. Created by the document template.
#pragma once

#include "CCmdTarget.h"

#include <QList>
#include <QMdiSubWindow>
#include <QPointer>

#include <functional>

class CDocument;
class CScrollView;
class CSplitterWnd;

class CChildFrame : public QMdiSubWindow, public CCmdTarget {
    Q_OBJECT
public:
    using ViewFactory = std::function<CScrollView*()>;

    CChildFrame();
    ~CChildFrame() override;

    // Creates the client area: a dynamic splitter of at most 2 x 2 panes of at least 10 x 10
    // pixels, starting with one view of pDocument made by createView, which also makes the
    // views of later panes.
    BOOL OnCreateClient(CDocument* pDocument, const ViewFactory& createView);
    // Shows the frame maximised whatever show state is asked for, and activates it.
    void ActivateFrame(int nCmdShow = -1);

    CSplitterWnd* GetSplitter() const { return m_wndSplitter; }
    // The pane that commands go to: the last one that had the focus.
    CScrollView* GetActiveView() const;
    void SetActiveView(CScrollView* pView);
    CDocument* GetActiveDocument() const;
    // The view panes, row by row.
    QList<CScrollView*> GetViews() const;
    // Moves the focus to the next (or previous) pane after pView.
    void ActivateNextPane(CScrollView* pView, bool bNext);

    // Title from the document, with ":n" when the document has several windows.
    void OnUpdateFrameTitle();
    int m_nWindow = 0;

    // Routes to the active view (and its document), then the frame's own (empty) message map.
    BOOL OnCmdMsg(UINT nID, CmdCode nCode, CCmdUI* pCmdUI) override;

private:
    CSplitterWnd* m_wndSplitter = nullptr;
    QPointer<CScrollView> m_pActiveView;
};
