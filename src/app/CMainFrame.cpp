#include "CMainFrame.h"

#include "CButtonImages.h"
#include "CChildFrame.h"
#include "CCommandTable.h"
#include "CDocument.h"
#include "CKeyIndicators.h"
#include "CMenuTemplate.h"
#include "CMultiDocTemplate.h"
#include "CPlot.h"
#include "CStringTable.h"
#include "CVorlanApp.h"
#include "CVorlanDoc.h"
#include "CVorlanView.h"
#include "LocalPath.h"
#include "Resource.h"

#include <QAbstractEventDispatcher>
#include <QAction>
#include <QActionGroup>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QDesktopServices>
#include <QDir>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileInfo>
#include <QGuiApplication>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenuBar>
#include <QMimeData>
#include <QPointer>
#include <QScreen>
#include <QStatusBar>
#include <QStyle>
#include <QTimer>
#include <QToolBar>
#include <QUrl>
#include <QWhatsThis>

#include <algorithm>

namespace {
// The lock-key panes, in the order of the status bar's indicator table after the message pane.
constexpr UINT kIndicators[] = {ID_INDICATOR_CAPS, ID_INDICATOR_NUM, ID_INDICATOR_SCRL};
constexpr int kIndicatorPollMs = 250;
// How long a note, such as what an import found, stays in the status bar.
constexpr int kNoteMilliseconds = 10000;
} // namespace

CMainFrame::CMainFrame() {
    setWindowTitle(CStringTable::Load(IDR_MAINFRAME));
    setWindowIcon(CButtonImages::Icon(CButtonImages::Image::MainIcon));
    m_pMdiArea = new QMdiArea(this);
    m_pMdiArea->setBackground(palette().brush(QPalette::Dark));
    setCentralWidget(m_pMdiArea);
    if (const QScreen* pScreen = QGuiApplication::primaryScreen())
        resize(pScreen->availableSize() * 3 / 4);
    setAcceptDrops(true);
}

CMainFrame::~CMainFrame() = default;

BOOL CMainFrame::LoadFrame(UINT nIDResource) {
    if (nIDResource != IDR_MAINFRAME)
        return 0;
    CreateActions();
    CreateMenus(IDR_MAINFRAME);
    CreateMenus(IDR_VORLANTYPE);
    m_wndToolBar = CreateToolBar(IDR_MAINFRAME, QStringLiteral("Toolbar"));
    m_wndRotateBar = CreateToolBar(IDR_ROTATEBAR, QStringLiteral("Rotation"));
    if (!m_wndToolBar || !m_wndRotateBar)
        return 0;
    // Both bars start docked at the top, each in a row of its own.
    addToolBar(Qt::TopToolBarArea, m_wndToolBar);
    addToolBarBreak(Qt::TopToolBarArea);
    addToolBar(Qt::TopToolBarArea, m_wndRotateBar);
    CreateStatusBar();

    connect(m_pMdiArea, &QMdiArea::subWindowActivated, this, [this](QMdiSubWindow* pChild) {
        if (pChild) {
            connect(pChild, &QWidget::windowTitleChanged, this, &CMainFrame::UpdateFrameTitle,
                    Qt::UniqueConnection);
            connect(pChild, &QMdiSubWindow::windowStateChanged, this, &CMainFrame::UpdateFrameTitle,
                    Qt::UniqueConnection);
        }
        UpdateFrameTitle();
        UpdateMenuBar();
        UpdateAllCommandUI();
    });
    // Idle time: the event loop is about to wait for the next event.
    connect(QAbstractEventDispatcher::instance(), &QAbstractEventDispatcher::aboutToBlock, this,
            &CMainFrame::OnIdle);
    auto* pTimer = new QTimer(this);
    connect(pTimer, &QTimer::timeout, this, &CMainFrame::UpdateIndicators);
    pTimer->start(kIndicatorPollMs);

    UpdateMenuBar();
    UpdateRecentFileMenu();
    UpdateAllCommandUI();
    return 1;
}

void CMainFrame::CreateActions() {
    // Captions come from the menus; commands without a menu item are named by their tooltip.
    std::map<UINT, QString> captions;
    for (UINT nMenu : {IDR_MAINFRAME, IDR_VORLANTYPE})
        for (const MenuPopup& popup : CMenuTemplate::Menu(nMenu))
            for (const MenuItem& item : popup.items) {
                if (item.pszCaption && !item.pSubMenu)
                    captions.emplace(item.nID, QString::fromLatin1(item.pszCaption));
                if (item.pSubMenu)
                    for (const MenuItem& sub : *item.pSubMenu)
                        captions.emplace(sub.nID, QString::fromLatin1(sub.pszCaption));
            }

    for (const CommandInfo& cmd : CCommandTable::Commands()) {
        auto* pAction = new QAction(this);
        const auto it = captions.find(cmd.nID);
        pAction->setText(it != captions.end() ? it->second : CStringTable::Tooltip(cmd.nID));
        pAction->setStatusTip(CStringTable::Prompt(cmd.nID));
        pAction->setWhatsThis(CStringTable::WhatsThis(cmd.nID));
        const QString tip = CStringTable::Tooltip(cmd.nID);
        pAction->setToolTip(tip.isEmpty() ? CStringTable::Prompt(cmd.nID) : tip);
        if (cmd.image != CButtonImages::Image::None) {
            pAction->setIcon(CButtonImages::Icon(cmd.image));
            pAction->setIconVisibleInMenu(false);
        }
        const UINT nID = cmd.nID;
        connect(pAction, &QAction::triggered, this, [this, nID] { OnCommand(nID); });
        // Accelerators work wherever the focus is inside the main window.
        addAction(pAction);
        m_actions[cmd.nID] = pAction;
    }
    std::map<UINT, QList<QKeySequence>> keys;
    for (const AccelInfo& accel : CCommandTable::Accelerators())
        keys[accel.nID].append(accel.keys);
    for (const auto& [nID, list] : keys)
        if (QAction* pAction = Action(nID))
            pAction->setShortcuts(list);
    CreateRadioGroups();
}

void CMainFrame::CreateRadioGroups() {
    for (const std::vector<UINT>& ids : CCommandTable::RadioGroups()) {
        auto* pGroup = new QActionGroup(this);
        pGroup->setExclusionPolicy(QActionGroup::ExclusionPolicy::Exclusive);
        for (UINT nID : ids)
            if (QAction* pAction = Action(nID)) {
                pAction->setCheckable(true);
                pGroup->addAction(pAction);
            }
    }
}

void CMainFrame::CreateMenus(UINT nIDResource) {
    std::vector<QMenu*>& menus = m_menus[nIDResource];
    for (const MenuPopup& popup : CMenuTemplate::Menu(nIDResource)) {
        auto* pMenu = new QMenu(QString::fromLatin1(popup.pszCaption), this);
        for (const MenuItem& item : popup.items) {
            if (!item.pszCaption) {
                pMenu->addSeparator();
                continue;
            }
            if (item.pSubMenu) {
                QMenu* pSub = pMenu->addMenu(QString::fromLatin1(item.pszCaption));
                pSub->menuAction()->setWhatsThis(QString::fromLatin1(item.pszWhatsThis));
                for (const MenuItem& sub : *item.pSubMenu)
                    pSub->addAction(Action(sub.nID));
                connect(pSub, &QMenu::aboutToShow, this, &CMainFrame::UpdateAllCommandUI);
                continue;
            }
            pMenu->addAction(Action(item.nID));
            // The recent files follow the first recent-file item.
            if (item.nID == ID_FILE_MRU_FILE1)
                for (int i = 1; i < kMaxRecentFiles; ++i)
                    pMenu->addAction(Action(ID_FILE_MRU_FILE1 + i));
        }
        const bool bWindowMenu = popup.items.front().nID == ID_WINDOW_NEW;
        connect(pMenu, &QMenu::aboutToShow, this, [this, pMenu, bWindowMenu] {
            UpdateAllCommandUI();
            if (bWindowMenu)
                FillWindowMenu(pMenu);
        });
        menus.push_back(pMenu);
    }
}

QToolBar* CMainFrame::CreateToolBar(UINT nIDResource, const QString& title) {
    auto* pBar = new QToolBar(title, this);
    pBar->setObjectName(nIDResource == IDR_MAINFRAME ? QStringLiteral("MainToolBar")
                                                     : QStringLiteral("RotateToolBar"));
    pBar->setIconSize(QSize(CButtonImages::kButtonWidth, CButtonImages::kButtonHeight));
    pBar->setMovable(true);
    pBar->setFloatable(true);
    pBar->setAllowedAreas(Qt::AllToolBarAreas);
    for (UINT nID : CCommandTable::ToolBar(nIDResource)) {
        if (nID == 0)
            pBar->addSeparator();
        else if (QAction* pAction = Action(nID))
            pBar->addAction(pAction);
        else
            return nullptr;
    }
    return pBar;
}

void CMainFrame::CreateStatusBar() {
    m_wndStatusBar = statusBar();
    m_pIdleText = new QLabel(CStringTable::Load(AFX_IDS_IDLEMESSAGE));
    // Prompts of menu items and buttons cover the idle text while the mouse is over them.
    m_wndStatusBar->addWidget(m_pIdleText, 1);
    // The status bar hides the idle text for a message only when the text is on the screen at
    // that moment; a note given while the window is still hidden (an import at start-up) would
    // be drawn over it.
    connect(m_wndStatusBar, &QStatusBar::messageChanged, m_pIdleText,
            [this](const QString& strMessage) { m_pIdleText->setVisible(strMessage.isEmpty()); });
    // The 3D view's angles and zoom, left of the lock keys; hidden in the elevation chart.
    m_pViewStatus = new QLabel;
    m_pViewStatus->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    m_wndStatusBar->addPermanentWidget(m_pViewStatus);
    m_pViewStatus->hide();
    for (UINT nID : kIndicators) {
        auto* pPane = new QLabel;
        pPane->setFrameStyle(QFrame::Panel | QFrame::Sunken);
        pPane->setAlignment(Qt::AlignCenter);
        pPane->setMinimumWidth(pPane->fontMetrics().horizontalAdvance(CStringTable::Load(nID)) +
                               pPane->fontMetrics().averageCharWidth() * 2);
        m_wndStatusBar->addPermanentWidget(pPane);
        m_indicators[nID] = pPane;
    }
    UpdateIndicators();
}

QAction* CMainFrame::Action(UINT nID) const {
    const auto it = m_actions.find(nID);
    return it == m_actions.end() ? nullptr : it->second;
}

const std::vector<QMenu*>& CMainFrame::Menus(UINT nIDResource) const {
    static const std::vector<QMenu*> none;
    const auto it = m_menus.find(nIDResource);
    return it == m_menus.end() ? none : it->second;
}

CChildFrame* CMainFrame::MDIGetActive() const {
    return qobject_cast<CChildFrame*>(m_pMdiArea->currentSubWindow());
}

// Menu IDR_VORLANTYPE while a document window is active, IDR_MAINFRAME otherwise.
void CMainFrame::UpdateMenuBar() {
    const UINT nMenu = MDIGetActive() ? IDR_VORLANTYPE : IDR_MAINFRAME;
    if (nMenu == m_nCurrentMenu)
        return;
    m_nCurrentMenu = nMenu;
    menuBar()->clear();
    for (QMenu* pMenu : Menus(nMenu))
        menuBar()->addMenu(pMenu);
}

void CMainFrame::UpdateRecentFileMenu() {
    QAction* actions[kMaxRecentFiles];
    for (int i = 0; i < kMaxRecentFiles; ++i)
        actions[i] = Action(ID_FILE_MRU_FILE1 + i);
    VorlanApp()->RecentFileList().UpdateMenu(actions, kMaxRecentFiles);
}

void CMainFrame::OnCommand(UINT nID) {
    const QPointer<CMainFrame> self(this);
    OnCmdMsg(nID, CmdCode::Command, nullptr);
    if (self) {
        UpdateMenuBar();
        UpdateAllCommandUI();
    }
}

CCmdUI CMainFrame::QueryCommandUI(UINT nID) {
    CCmdUI ui(nID);
    // A command that nobody handles is disabled.
    if (!OnCmdMsg(nID, CmdCode::Update, &ui) && !OnCmdMsg(nID, CmdCode::Query, nullptr))
        ui.Enable(0);
    return ui;
}

void CMainFrame::UpdateAllCommandUI() {
    if (m_bUpdating)
        return;
    m_bUpdating = true;
    for (const auto& [nID, pAction] : m_actions) {
        const CCmdUI ui = QueryCommandUI(nID);
        pAction->setEnabled(ui.m_bEnabled);
        if (ui.m_nCheck >= 0) {
            pAction->setCheckable(true);
            pAction->setChecked(ui.m_nCheck == 1);
        } else if (pAction->isCheckable()) {
            pAction->setChecked(false);
            pAction->setCheckable(false);
        }
    }
    m_bUpdating = false;
}

void CMainFrame::OnIdle() {
    if (!isVisible())
        return;
    UpdateMenuBar();
    UpdateAllCommandUI();
    UpdateViewStatus();
}

QString CMainFrame::ViewStatusText(const CVorlanView* pView) {
    if (!pView)
        return QString();
    const CVorlanDoc* pDoc = pView->GetDocument();
    QStringList parts;
    if (pDoc && !pDoc->StretchText().isEmpty())
        parts << pDoc->StretchText();
    if (pView->PlotMode() == CVorlanDoc::kPlot3D)
        parts << AnglesText(*pView->Plot());
    // What the elevation tiles lack is said, never hidden.
    if (pDoc && VorlanApp()->ShowsTerrain() && !pDoc->m_ground.message.empty())
        parts << QString::fromStdString(pDoc->m_ground.message);
    return parts.join(QStringLiteral("    "));
}

QString CMainFrame::AnglesText(const CPlot& plot) {
    // Six significant digits give the angles as stored in single precision: 29.75, not
    // 29.75000000000001.
    auto number = [](float f) { return QString::number(static_cast<double>(f), 'g', 6); };
    return QStringLiteral("Azimuth %1\u00b0  Elevation %2\u00b0  Zoom %3x")
        .arg(number(plot.m_fAzimuth), number(plot.m_fElevation), number(plot.m_fZoom));
}

void CMainFrame::UpdateViewStatus() {
    if (!m_pViewStatus)
        return;
    const CChildFrame* pChild = MDIGetActive();
    const QString text =
        ViewStatusText(pChild ? static_cast<const CVorlanView*>(pChild->GetActiveView()) : nullptr);
    if (m_pViewStatus->text() != text)
        m_pViewStatus->setText(text);
    m_pViewStatus->setVisible(!text.isEmpty());
}

QString CMainFrame::ViewStatus() const {
    return m_pViewStatus ? m_pViewStatus->text() : QString();
}

void CMainFrame::UpdateIndicators() {
    bool bOn[3] = {false, false, false};
    const bool bKnown = CKeyIndicators::Query(&bOn[0], &bOn[1], &bOn[2]);
    for (int i = 0; i < 3; ++i) {
        QLabel* pPane = m_indicators[kIndicators[i]];
        const QString text = bKnown && bOn[i] ? CStringTable::Load(kIndicators[i]) : QString();
        if (pPane && pPane->text() != text)
            pPane->setText(text);
    }
}

QString CMainFrame::StatusText() const {
    const QString message = m_wndStatusBar ? m_wndStatusBar->currentMessage() : QString();
    return message.isEmpty() && m_pIdleText ? m_pIdleText->text() : message;
}

BOOL CMainFrame::OnCmdMsg(UINT nID, CmdCode nCode, CCmdUI* pCmdUI) {
    if (CChildFrame* pChild = MDIGetActive())
        if (pChild->OnCmdMsg(nID, nCode, pCmdUI))
            return 1;
    static const CmdEntry<CMainFrame> kMessageMap[] = {
        {ID_VIEW_TOOLBAR, &CMainFrame::OnViewToolbar, &CMainFrame::OnUpdateViewToolbar},
        {ID_VIEW_STATUS_BAR, &CMainFrame::OnViewStatusBar, &CMainFrame::OnUpdateViewStatusBar},
        {ID_WINDOW_NEW, &CMainFrame::OnWindowNew, &CMainFrame::OnUpdateMDIWindowCmd},
        {ID_WINDOW_CASCADE, &CMainFrame::OnWindowCascade, &CMainFrame::OnUpdateMDIWindowCmd},
        {ID_WINDOW_TILE_HORZ, &CMainFrame::OnWindowTile, &CMainFrame::OnUpdateMDIWindowCmd},
        {ID_WINDOW_ARRANGE, &CMainFrame::OnWindowArrange, &CMainFrame::OnUpdateMDIWindowCmd},
        {ID_HELP_FINDER, &CMainFrame::OnHelpFinder, nullptr},
        {ID_HELP, &CMainFrame::OnHelp, nullptr},
        {ID_CONTEXT_HELP, &CMainFrame::OnContextHelp, nullptr},
        {ID_DEFAULT_HELP, &CMainFrame::OnHelpFinder, nullptr},
    };
    if (DispatchCmdMsg(this, kMessageMap, nID, nCode, pCmdUI))
        return 1;
    return VorlanApp()->OnCmdMsg(nID, nCode, pCmdUI);
}

// View, Toolbar shows and hides the main toolbar only: the rotation toolbar has no item.
void CMainFrame::OnViewToolbar() {
    m_wndToolBar->setVisible(m_wndToolBar->isHidden());
}

void CMainFrame::OnViewStatusBar() {
    m_wndStatusBar->setVisible(m_wndStatusBar->isHidden());
}

void CMainFrame::OnUpdateViewToolbar(CCmdUI* pCmdUI) {
    pCmdUI->SetCheck(m_wndToolBar->isHidden() ? 0 : 1);
}

void CMainFrame::OnUpdateViewStatusBar(CCmdUI* pCmdUI) {
    pCmdUI->SetCheck(m_wndStatusBar->isHidden() ? 0 : 1);
}

void CMainFrame::OnWindowNew() {
    CChildFrame* pActive = MDIGetActive();
    CDocument* pDoc = pActive ? pActive->GetActiveDocument() : nullptr;
    if (!pDoc || !pDoc->GetDocTemplate())
        return;
    if (CChildFrame* pFrame = pDoc->GetDocTemplate()->CreateNewFrame(pDoc))
        pDoc->GetDocTemplate()->InitialUpdateFrame(pFrame, pDoc);
}

// Each window sits one title bar lower and further right than the one before and keeps the
// area's size less the steps of the whole stack, whatever its view would like: every title bar
// stays in sight and every window stays usable. A stack that would leave the windows smaller
// than half the area starts again at the top-left corner. The active window ends on top.
void CMainFrame::OnWindowCascade() {
    QList<QMdiSubWindow*> windows;
    for (QMdiSubWindow* pWnd : m_pMdiArea->subWindowList())
        if (!pWnd->isHidden() && !pWnd->isMinimized())
            windows.append(pWnd);
    if (windows.isEmpty())
        return;
    if (QMdiSubWindow* pActive = m_pMdiArea->activeSubWindow(); windows.removeOne(pActive))
        windows.append(pActive);
    const QSize area = m_pMdiArea->viewport()->size();
    const int nStep =
        std::max(1, style()->pixelMetric(QStyle::PM_TitleBarHeight, nullptr, windows.first()));
    const int nMaxSteps = std::min(area.width(), area.height()) / 2 / nStep;
    const int nSteps = std::min(static_cast<int>(windows.size()) - 1, nMaxSteps);
    const QSize size(area.width() - nSteps * nStep, area.height() - nSteps * nStep);
    for (int i = 0; i < windows.size(); ++i) {
        QMdiSubWindow* pWnd = windows[i];
        if (pWnd->isMaximized())
            pWnd->showNormal();
        const int nOffset = (i % (nSteps + 1)) * nStep;
        pWnd->setGeometry(QRect(QPoint(nOffset, nOffset), size));
        pWnd->raise();
    }
    m_pMdiArea->setActiveSubWindow(windows.last());
}

void CMainFrame::OnWindowTile() {
    m_pMdiArea->tileSubWindows();
}

// Minimised document windows line up along the bottom of the MDI area.
void CMainFrame::OnWindowArrange() {
    int x = 0;
    for (QMdiSubWindow* pWnd : m_pMdiArea->subWindowList()) {
        if (!pWnd->isMinimized())
            continue;
        const QSize size = pWnd->size();
        pWnd->move(x, m_pMdiArea->viewport()->height() - size.height());
        x += size.width();
    }
}

void CMainFrame::OnUpdateMDIWindowCmd(CCmdUI* pCmdUI) {
    pCmdUI->Enable(MDIGetActive() != nullptr);
}

// The framework's list of document windows at the end of the Window menu.
void CMainFrame::FillWindowMenu(QMenu* pMenu) {
    for (QAction* pAction : m_windowListActions)
        delete pAction;
    m_windowListActions.clear();
    const QList<QMdiSubWindow*> windows = m_pMdiArea->subWindowList();
    if (windows.isEmpty())
        return;
    m_windowListActions.push_back(pMenu->addSeparator());
    int n = 1;
    for (QMdiSubWindow* pWnd : windows) {
        QString title = pWnd->windowTitle();
        title.replace(QLatin1Char('&'), QStringLiteral("&&"));
        QAction* pAction = pMenu->addAction(QStringLiteral("&%1 %2").arg(n++).arg(title));
        pAction->setStatusTip(CStringTable::Load(61215));
        pAction->setCheckable(true);
        pAction->setChecked(pWnd == m_pMdiArea->currentSubWindow());
        const QPointer<QMdiSubWindow> target(pWnd);
        connect(pAction, &QAction::triggered, this, [this, target] {
            if (target)
                m_pMdiArea->setActiveSubWindow(target);
        });
        m_windowListActions.push_back(pAction);
    }
}

QString CMainFrame::HelpFilePath() {
    const QString name = QStringLiteral("user-guide.html");
    const QDir programDir(QCoreApplication::applicationDirPath());
    for (const QString& dir : {programDir.filePath(QStringLiteral(VORLAN_DOC_FROM_BIN)),
                               QStringLiteral(VORLAN_SOURCE_DIR "/docs")}) {
        const QFileInfo file(QDir(dir).filePath(name));
        if (file.isFile())
            return file.canonicalFilePath();
    }
    return QString();
}

// Help, Help Topics: the guide from its beginning.
void CMainFrame::OnHelpFinder() {
    OpenHelp(QString());
}

// F1: the guide at the part about what the active window shows.
void CMainFrame::OnHelp() {
    const CChildFrame* pChild = MDIGetActive();
    const auto* pView = pChild ? static_cast<const CVorlanView*>(pChild->GetActiveView()) : nullptr;
    if (!pView)
        OpenHelp(QString());
    else if (pView->PlotMode() == CVorlanDoc::kPlot3D)
        OpenHelp(QStringLiteral("3d-view"));
    else if (pView->PlotMode() == CVorlanDoc::kPlotElevation)
        OpenHelp(QStringLiteral("elevation-chart"));
    else
        OpenHelp(QStringLiteral("importing"));
}

// Shift+F1: the next click on a button, a menu item or a window shows its prompt.
void CMainFrame::OnContextHelp() {
    QWhatsThis::enterWhatsThisMode();
}

// The desktop's viewer shows the guide; without one the message says where the guide is, so
// that the user can open it in a browser of their own.
void CMainFrame::OpenHelp(const QString& strTopic) {
    const QString path = HelpFilePath();
    if (path.isEmpty()) {
        AfxMessageBox(QStringLiteral("Failed to launch help.\nThe user guide is not installed."));
        return;
    }
    QUrl url = QUrl::fromLocalFile(path);
    if (!strTopic.isEmpty())
        url.setFragment(strTopic);
    if (!QDesktopServices::openUrl(url))
        AfxMessageBox(QStringLiteral("Failed to launch help.\nThe user guide is %1; open it in a "
                                     "web browser.")
                          .arg(QDir::toNativeSeparators(path)));
}

void CMainFrame::ShowNote(const QString& strNote) {
    m_wndStatusBar->showMessage(strNote, kNoteMilliseconds);
}

// While What's This help waits for a click, the status bar says so.
bool CMainFrame::event(QEvent* pEvent) {
    if (pEvent->type() == QEvent::EnterWhatsThisMode && m_pIdleText)
        m_pIdleText->setText(CStringTable::Load(AFX_IDS_HELPMODEMESSAGE));
    else if (pEvent->type() == QEvent::LeaveWhatsThisMode && m_pIdleText)
        m_pIdleText->setText(CStringTable::Load(AFX_IDS_IDLEMESSAGE));
    return QMainWindow::event(pEvent);
}

// The main frame paints first after a resize: its picture's new memory is faulted in before the
// panes draw into it.
void CMainFrame::paintEvent(QPaintEvent* pEvent) {
    m_backingStoreWarmup.Prepare(this);
    QMainWindow::paintEvent(pEvent);
}

// The MDI area puts "[child]" into the title when a window is maximised, from a title it took
// once; ours is made from the active window each time, so it is never stale.
void CMainFrame::changeEvent(QEvent* pEvent) {
    QMainWindow::changeEvent(pEvent);
    if (pEvent->type() == QEvent::ActivationChange && m_wndToolBar)
        UpdateAllCommandUI();
    else if (pEvent->type() == QEvent::WindowTitleChange)
        UpdateFrameTitle();
}

QString CMainFrame::FrameTitle() const {
    QString title = CStringTable::Load(IDR_MAINFRAME);
    const QMdiSubWindow* pChild = m_pMdiArea ? m_pMdiArea->activeSubWindow() : nullptr;
    if (!pChild || pChild->windowTitle().isEmpty())
        return title;
    return pChild->isMaximized() ? title + QStringLiteral(" - [") + pChild->windowTitle() + ']'
                                 : title + QStringLiteral(" - ") + pChild->windowTitle();
}

void CMainFrame::UpdateFrameTitle() {
    const QString title = FrameTitle();
    if (windowTitle() != title)
        setWindowTitle(title);
}

namespace {
QStringList LocalFiles(const QMimeData* pData) {
    QStringList files;
    if (pData && pData->hasUrls())
        for (const QUrl& url : pData->urls())
            if (url.isLocalFile())
                // The name's bytes, percent-encoded in the URL, whatever their encoding.
                files << QtPath(
                    QByteArray::fromPercentEncoding(url.path(QUrl::FullyEncoded).toLatin1()));
    return files;
}
} // namespace

void CMainFrame::dragEnterEvent(QDragEnterEvent* pEvent) {
    if (!LocalFiles(pEvent->mimeData()).isEmpty())
        pEvent->acceptProposedAction();
}

void CMainFrame::dragMoveEvent(QDragMoveEvent* pEvent) {
    if (!LocalFiles(pEvent->mimeData()).isEmpty())
        pEvent->acceptProposedAction();
}

void CMainFrame::dropEvent(QDropEvent* pEvent) {
    const QStringList files = LocalFiles(pEvent->mimeData());
    if (files.isEmpty())
        return;
    pEvent->acceptProposedAction();
    // The documents open once the drop is over, so that the program the files came from is
    // not kept waiting by a message about one of them.
    QMetaObject::invokeMethod(
        this, [this, files] { OnDropFiles(files); }, Qt::QueuedConnection);
}

void CMainFrame::OnDropFiles(const QStringList& files) {
    activateWindow();
    VorlanApp()->OpenFiles(files);
    UpdateMenuBar();
    UpdateAllCommandUI();
}

void CMainFrame::closeEvent(QCloseEvent* pEvent) {
    // No document is ever modified, so nothing asks to be saved.
    VorlanApp()->CloseAllDocuments();
    VorlanApp()->SaveStdProfileSettings();
    pEvent->accept();
}
