// The main window: the MDI area holding the document windows, the main and rotation toolbars,
// the status bar with its prompt and lock-key panes, menu IDR_MAINFRAME or IDR_VORLANTYPE, the
// accelerators, and the routing of every command with the recomputation of enabled and checked
// states. Created by the application at start-up.
#pragma once

#include "CBackingStoreWarmup.h"
#include "CCmdTarget.h"

#include <QMainWindow>

#include <map>
#include <vector>

class CChildFrame;
class CPlot;
class CVorlanDoc;
class CVorlanView;
class QAction;
class QLabel;
class QMdiArea;
class QMenu;
class QStatusBar;
class QToolBar;

class CMainFrame : public QMainWindow, public CCmdTarget {
    Q_OBJECT
public:
    CMainFrame();
    ~CMainFrame() override;

    // Creates the frame's bars, menus and accelerators from resource nIDResource; 0 on failure.
    BOOL LoadFrame(UINT nIDResource);

    QMdiArea* MDIArea() const { return m_pMdiArea; }
    // The active document window (the last active one while the application is inactive).
    CChildFrame* MDIGetActive() const;

    // Runs command nID through the routing: active view, its document, the document window,
    // this frame, the application. Afterwards every command's state is recomputed.
    void OnCommand(UINT nID);
    // Asks the routing for every command's enabled and checked state and applies it to the
    // menu items and buttons.
    void UpdateAllCommandUI();
    // The state that the routing gives one command (disabled when nobody handles it).
    CCmdUI QueryCommandUI(UINT nID);

    BOOL OnCmdMsg(UINT nID, CmdCode nCode, CCmdUI* pCmdUI) override;

    QAction* Action(UINT nID) const;
    QToolBar* ToolBar() const { return m_wndToolBar; }
    QToolBar* RotateBar() const { return m_wndRotateBar; }
    // The resource id of the menu on show: IDR_MAINFRAME or IDR_VORLANTYPE.
    UINT CurrentMenu() const { return m_nCurrentMenu; }
    // The popups of a menu resource as built.
    const std::vector<QMenu*>& Menus(UINT nIDResource) const;
    // The text of the status bar's message pane.
    QString StatusText() const;
    // Shows the recent-file list on the File menus.
    void UpdateRecentFileMenu();
    // The status pane of the active 3D view: "Azimuth 30°  Elevation 20°  Zoom 1x"; empty
    // (and hidden) for the elevation chart or without a document.
    void UpdateViewStatus();
    QString ViewStatus() const;
    // The status bar's right part for the active pane: the selected stretch, and in 3D the view
    // angles and zoom.
    static QString ViewStatusText(const CVorlanView* pView);
    static QString AnglesText(const CPlot& plot);

    // Files dropped on the window open as documents (MapSource exports are imported).
    void OnDropFiles(const QStringList& files);

    // The user guide that the help commands open: installed next to the program
    // (../share/doc/vorlan/), or in the source tree's docs folder when the program runs from
    // its build tree. Empty when there is none.
    static QString HelpFilePath();

    // A note in the status bar for a while, such as what an import found.
    void ShowNote(const QString& strNote);

    // "Vorlan - [ride]" while the active document window is maximised, "Vorlan - ride" while
    // it is not, "Vorlan" without one: the title follows the active window and its title.
    QString FrameTitle() const;
    void UpdateFrameTitle();

protected:
    void dragEnterEvent(QDragEnterEvent* pEvent) override;
    void dragMoveEvent(QDragMoveEvent* pEvent) override;
    void dropEvent(QDropEvent* pEvent) override;
    void closeEvent(QCloseEvent* pEvent) override;
    void changeEvent(QEvent* pEvent) override;
    bool event(QEvent* pEvent) override;
    void paintEvent(QPaintEvent* pEvent) override;

private:
    void CreateActions();
    void CreateRadioGroups();
    void CreateMenus(UINT nIDResource);
    QToolBar* CreateToolBar(UINT nIDResource, const QString& title);
    void CreateStatusBar();
    void UpdateMenuBar();
    void UpdateIndicators();
    void OnIdle();
    void FillWindowMenu(QMenu* pMenu);

    void OnViewToolbar();
    void OnViewStatusBar();
    void OnUpdateViewToolbar(CCmdUI* pCmdUI);
    void OnUpdateViewStatusBar(CCmdUI* pCmdUI);
    void OnWindowNew();
    void OnWindowCascade();
    void OnWindowTile();
    void OnWindowArrange();
    void OnUpdateMDIWindowCmd(CCmdUI* pCmdUI);
    void OnHelpFinder();
    void OnHelp();
    void OnContextHelp();
    void OpenHelp(const QString& strTopic);

    // Members in the order the frame builds them: status bar, main toolbar, rotation toolbar.
    QStatusBar* m_wndStatusBar = nullptr;
    QToolBar* m_wndToolBar = nullptr;
    QToolBar* m_wndRotateBar = nullptr;
    QMdiArea* m_pMdiArea = nullptr;
    CBackingStoreWarmup m_backingStoreWarmup;
    QLabel* m_pIdleText = nullptr;
    QLabel* m_pViewStatus = nullptr;
    std::map<UINT, QLabel*> m_indicators;
    std::map<UINT, QAction*> m_actions;
    std::map<UINT, std::vector<QMenu*>> m_menus;
    std::vector<QAction*> m_windowListActions;
    UINT m_nCurrentMenu = 0;
    bool m_bUpdating = false;
};
