// The main frame: both menus, toolbars, status bar, document windows and their titles, the
// command routing and its table, the About box and the recent-file list.
#include "AppTestSupport.h"

#include "CChildFrame.h"
#include "CCommandTable.h"
#include "CMainFrame.h"
#include "CMultiDocTemplate.h"
#include "CStringTable.h"
#include "CVorlanApp.h"
#include "CVorlanDoc.h"
#include "CVorlanView.h"
#include "Resource.h"

#include <QAction>
#include <QApplication>
#include <QDialog>
#include <QFile>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QStatusBar>
#include <QStyle>
#include <QTest>
#include <QToolBar>

#include <memory>

namespace {
// A menu as "caption: item | item | - | ..." with "(off)" after an item that starts disabled.
QStringList MenuText(CMainFrame* pFrame) {
    QStringList lines;
    pFrame->UpdateAllCommandUI();
    for (QAction* pTop : pFrame->menuBar()->actions()) {
        QStringList items;
        for (QAction* pItem : pTop->menu()->actions()) {
            if (!pItem->isVisible())
                continue;
            items << (pItem->isSeparator() ? QStringLiteral("-") : pItem->text());
        }
        lines << pTop->text() + QStringLiteral(": ") + items.join(QStringLiteral(" | "));
    }
    return lines;
}

QStringList ToolBarIds(QToolBar* pBar, CMainFrame* pFrame) {
    QStringList ids;
    for (QAction* pAction : pBar->actions()) {
        if (pAction->isSeparator()) {
            ids << QStringLiteral("0");
            continue;
        }
        for (const CommandInfo& cmd : CCommandTable::Commands())
            if (pFrame->Action(cmd.nID) == pAction)
                ids << QString::fromLatin1(cmd.pszName);
    }
    return ids;
}

using MainFrameTest = AppTest;

TEST_F(MainFrameTest, DocumentMenuWhileADocumentWindowIsActive) {
    EXPECT_EQ(Frame()->CurrentMenu(), IDR_VORLANTYPE);
    const QStringList expected = {
        "&File: &New\tCtrl+N | &Open...\tCtrl+O | &Close | &Save\tCtrl+S | Save &As... | - | "
        "&Import...\tCtrl+I | - | &Print...\tCtrl+P | Print Pre&view | P&rint Setup... | - | "
        "Export &Image... | Export Trac&k... | Export 3D &Model... | Proper&ties...\tAlt+Enter | "
        "- | Recent File | - | E&xit",
        "&Edit: &Undo\tCtrl+Z | &Copy\tCtrl+C",
        "&View: &Toolbar | &Status Bar | - | S&mooth Lines | &Units | &X Axis | &Graphs | &Colour "
        "Track By | - | True &Proportions | Te&rrain | &Elevation Data Folder...",
        "&Track: Elevations from &Terrain",
        "&Window: &New Window | &Cascade | &Tile | &Arrange Icons | S&plit | C&hart and 3D",
        "&Plot: &Elevation | 3&D-Elevation | - | Zoom &In\tCtrl++ | Zoom &Out\tCtrl+- | "
        "&Restore Zoom\tCtrl+0 | - | Rotate &Left | Rotate Ri&ght | Rotate &Up | Rotate Do&wn | "
        "Restore &Position",
        "&Help: &Help Topics | - | &About Vorlan...",
    };
    EXPECT_EQ(MenuText(Frame()), expected);
    EXPECT_FALSE(Enabled(ID_FILE_MRU_FILE1));
}

TEST_F(MainFrameTest, MainMenuOnceTheLastDocumentCloses) {
    Command(ID_FILE_CLOSE);
    EXPECT_EQ(Frame()->MDIArea()->subWindowList().size(), 0);
    EXPECT_EQ(Frame()->CurrentMenu(), IDR_MAINFRAME);
    const QStringList expected = {
        "&File: &New\tCtrl+N | &Open...\tCtrl+O | - | P&rint Setup... | - | Recent File | - | "
        "E&xit",
        "&View: &Toolbar | &Status Bar | - | S&mooth Lines | &Units | &X Axis | &Graphs | &Colour "
        "Track By | - | True &Proportions | Te&rrain | &Elevation Data Folder...",
        "&Help: &Help Topics | - | &About Vorlan...",
    };
    EXPECT_EQ(MenuText(Frame()), expected);
    Command(ID_FILE_NEW);
    EXPECT_EQ(Frame()->CurrentMenu(), IDR_VORLANTYPE);
}

TEST_F(MainFrameTest, ToolbarsHoldTheButtonsInOrder) {
    EXPECT_EQ(ToolBarIds(Frame()->ToolBar(), Frame()).join(QLatin1Char(' ')),
              "ID_FILE_NEW ID_FILE_OPEN ID_FILE_SAVE 0 ID_FILE_PRINT 0 ID_APP_ABOUT "
              "ID_CONTEXT_HELP 0 ID_FILE_IMPORT 0 ID_PLOT_ELEVATION ID_PLOT_3D ID_ZOOM_IN "
              "ID_ZOOM_OUT ID_ZOOM_RESTORE");
    EXPECT_EQ(ToolBarIds(Frame()->RotateBar(), Frame()).join(QLatin1Char(' ')),
              "ID_ROTATE_LEFT ID_ROTATE_RIGHT ID_ROTATE_UP ID_ROTATE_DOWN ID_ROTATE_RESTORE");
    EXPECT_EQ(Frame()->toolBarArea(Frame()->ToolBar()), Qt::TopToolBarArea);
    EXPECT_EQ(Frame()->toolBarArea(Frame()->RotateBar()), Qt::TopToolBarArea);
    EXPECT_TRUE(Frame()->toolBarBreak(Frame()->RotateBar()));
    QAction* pZoom = Frame()->Action(ID_ZOOM_IN);
    EXPECT_EQ(pZoom->toolTip(), "Zoom In");
    EXPECT_EQ(pZoom->statusTip(), "Zoom in");
    EXPECT_EQ(Frame()->Action(ID_FILE_IMPORT)->statusTip(), "Import a Mapsource Txt file");
}

// Every button has a menu item too, with the same action (id, prompt and enabled state), and
// the zoom and import commands have their keys.
TEST_F(MainFrameTest, MenusReachEveryToolbarCommand) {
    QList<QAction*> items;
    for (QMenu* pMenu : Frame()->Menus(IDR_VORLANTYPE))
        items += pMenu->actions();
    for (UINT nBar : {IDR_MAINFRAME, IDR_ROTATEBAR}) {
        for (UINT nID : CCommandTable::ToolBar(nBar)) {
            // What's This help has Shift+F1 instead.
            if (nID != 0 && nID != ID_CONTEXT_HELP) {
                EXPECT_TRUE(items.contains(Frame()->Action(nID))) << nID;
            }
        }
    }
    const std::pair<UINT, QKeySequence> keys[] = {
        {ID_FILE_IMPORT, QKeySequence(Qt::CTRL | Qt::Key_I)},
        {ID_ZOOM_IN, QKeySequence(Qt::CTRL | Qt::Key_Plus)},
        {ID_ZOOM_OUT, QKeySequence(Qt::CTRL | Qt::Key_Minus)},
        {ID_ZOOM_RESTORE, QKeySequence(Qt::CTRL | Qt::Key_0)},
    };
    for (const auto& [nID, key] : keys)
        EXPECT_TRUE(Frame()->Action(nID)->shortcuts().contains(key)) << nID;
    // Ctrl+I reaches the import dialog.
    QString title;
    OnNextModal(QStringLiteral("the Import dialog"), [&title](QWidget* pModal) {
        title = pModal->windowTitle();
        static_cast<QDialog*>(pModal)->reject();
    });
    QApplication::setActiveWindow(Frame());
    QTest::keyClick(View(), Qt::Key_I, Qt::ControlModifier);
    EXPECT_EQ(title, "Import Track");
}

// A right click on the toolbar area offers both toolbars; the rotation toolbar hides and shows.
TEST_F(MainFrameTest, ToolbarAreaMenuListsBothToolbars) {
    std::unique_ptr<QMenu> pMenu(Frame()->createPopupMenu());
    ASSERT_NE(pMenu, nullptr);
    QStringList names;
    for (QAction* pAction : pMenu->actions())
        names << pAction->text();
    EXPECT_EQ(names, QStringList({"Toolbar", "Rotation"}));
    pMenu->actions()[1]->trigger();
    EXPECT_TRUE(Frame()->RotateBar()->isHidden());
    pMenu->actions()[1]->trigger();
    EXPECT_FALSE(Frame()->RotateBar()->isHidden());
}

// Cascaded windows keep the area's size less the steps of the stack, from tiled windows and
// from maximised ones alike, and never shrink to their title bars.
TEST_F(MainFrameTest, CascadeKeepsTheWindowsUsable) {
    Frame()->resize(1000, 750);
    QMdiArea* pArea = Frame()->MDIArea();
    Command(ID_FILE_NEW);
    Command(ID_FILE_NEW);
    Command(ID_WINDOW_TILE_HORZ);
    Command(ID_WINDOW_CASCADE);
    const QSize area = pArea->viewport()->size();
    const int nStep = Frame()->style()->pixelMetric(QStyle::PM_TitleBarHeight, nullptr,
                                                    pArea->subWindowList().first());
    const QList<QMdiSubWindow*> three = pArea->subWindowList(QMdiArea::StackingOrder);
    ASSERT_EQ(three.size(), 3);
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(three[i]->geometry(),
                  QRect(QPoint(i * nStep, i * nStep), area - QSize(2 * nStep, 2 * nStep)));
    }
    EXPECT_EQ(three.last(), pArea->activeSubWindow());

    for (int i = 0; i < 20; ++i)
        Command(ID_FILE_NEW);
    ActiveChild()->showMaximized();
    Command(ID_WINDOW_CASCADE);
    for (QMdiSubWindow* pWnd : pArea->subWindowList()) {
        EXPECT_FALSE(pWnd->isMaximized());
        EXPECT_GE(pWnd->width() * 2, area.width());
        EXPECT_GE(pWnd->height() * 2, area.height());
        EXPECT_TRUE(QRect(QPoint(0, 0), area).contains(pWnd->geometry()));
    }
}

TEST_F(MainFrameTest, ViewToolbarTogglesTheMainToolbarOnly) {
    EXPECT_EQ(Checked(ID_VIEW_TOOLBAR), 1);
    Command(ID_VIEW_TOOLBAR);
    EXPECT_TRUE(Frame()->ToolBar()->isHidden());
    EXPECT_FALSE(Frame()->RotateBar()->isHidden());
    EXPECT_EQ(Checked(ID_VIEW_TOOLBAR), 0);
    Command(ID_VIEW_TOOLBAR);
    EXPECT_FALSE(Frame()->ToolBar()->isHidden());
    Command(ID_VIEW_STATUS_BAR);
    EXPECT_EQ(Checked(ID_VIEW_STATUS_BAR), 0);
}

TEST_F(MainFrameTest, StatusBarShowsTheIdleTextAndPrompts) {
    EXPECT_EQ(Frame()->StatusText(), "For Help, press F1");
    Frame()->statusBar()->showMessage(Frame()->Action(ID_PLOT_3D)->statusTip());
    EXPECT_EQ(Frame()->StatusText(), "Plot a 3-dimensional object");
    Frame()->statusBar()->clearMessage();
    EXPECT_EQ(Frame()->StatusText(), "For Help, press F1");
}

TEST_F(MainFrameTest, WindowsAreMaximisedAndNumbered) {
    CChildFrame* pFirst = ActiveChild();
    EXPECT_TRUE(pFirst->isMaximized());
    EXPECT_EQ(pFirst->windowTitle(), "Vorlan1");
    EXPECT_EQ(Frame()->windowTitle(), "Vorlan - [Vorlan1]");
    Command(ID_FILE_NEW);
    EXPECT_EQ(ActiveChild()->windowTitle(), "Vorlan2");
    EXPECT_TRUE(ActiveChild()->isMaximized());
    Command(ID_WINDOW_NEW);
    CChildFrame* pSecond = ActiveChild();
    EXPECT_EQ(pSecond->windowTitle(), "Vorlan2:2");
    EXPECT_EQ(Doc()->GetFrames().size(), 2);
    EXPECT_EQ(Doc()->GetFrames().first()->windowTitle(), "Vorlan2:1");
    // Both windows show one document: a command through one changes what the other shows.
    CVorlanDoc* pDoc = Doc();
    pSecond->close();
    QApplication::processEvents();
    QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(pDoc->GetFrames().size(), 1);
    EXPECT_EQ(pDoc->GetFrames().first()->windowTitle(), "Vorlan2");
    EXPECT_EQ(VorlanApp()->GetDocTemplate()->GetDocuments().size(), 2);
}

TEST_F(MainFrameTest, ClosingTheLastWindowClosesTheDocument) {
    ActiveChild()->close();
    QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(VorlanApp()->GetDocTemplate()->GetDocuments().isEmpty());
    Frame()->UpdateAllCommandUI();
    EXPECT_FALSE(Enabled(ID_FILE_SAVE));
    EXPECT_TRUE(Enabled(ID_FILE_NEW));
}

// Every command is carried by the object the table names; the edit keys reach nobody.
TEST_F(MainFrameTest, CommandsAreRoutedToTheirOwners) {
    ImportSample();
    for (const CommandInfo& cmd : CCommandTable::Commands()) {
        if (cmd.nID >= ID_FILE_MRU_FILE1 && cmd.nID <= ID_FILE_MRU_LAST)
            continue; // a range of the application's, enabled by the list (tested below)
        CCmdTarget* pOwner = nullptr;
        switch (cmd.owner) {
        case CmdOwner::Application:
            pOwner = VorlanApp();
            break;
        case CmdOwner::MainFrame:
            pOwner = Frame();
            break;
        case CmdOwner::Document:
            pOwner = Doc();
            break;
        case CmdOwner::View:
            pOwner = View();
            break;
        case CmdOwner::Nobody:
            break;
        }
        const bool bHandled = pOwner && pOwner->OnCmdMsg(cmd.nID, CmdCode::Query, nullptr);
        EXPECT_EQ(bHandled, pOwner != nullptr) << cmd.pszName;
        if (cmd.owner == CmdOwner::Nobody) {
            EXPECT_FALSE(Enabled(cmd.nID)) << cmd.pszName;
        }
    }
    EXPECT_EQ(Frame()->Action(ID_EDIT_UNDO)->shortcuts().size(), 2);
    EXPECT_EQ(Frame()->Action(ID_NEXT_PANE)->shortcut(), QKeySequence(Qt::Key_F6));
}

TEST_F(MainFrameTest, AboutBoxShowsNameAndVersion) {
    QString title, version;
    OnNextModal(QStringLiteral("the About box"), [&](QWidget* pModal) {
        title = pModal->windowTitle();
        if (auto* pLabel = pModal->findChild<QLabel*>(QStringLiteral("version")))
            version = pLabel->text();
        static_cast<QDialog*>(pModal)->accept();
    });
    Command(ID_APP_ABOUT);
    EXPECT_EQ(title, "About Vorlan");
    EXPECT_EQ(version, "VORLAN  Version 1.1");
}

TEST_F(MainFrameTest, RecentFileListKeepsFourNewestFirst) {
    ImportSample();
    for (int i = 1; i <= 5; ++i)
        ASSERT_TRUE(Doc()->DoSave(m_dir.filePath(QStringLiteral("t%1.vrl").arg(i))));
    const QStringList files = VorlanApp()->RecentFileList().Files();
    ASSERT_EQ(files.size(), 4);
    EXPECT_TRUE(files[0].endsWith("t5.vrl"));
    EXPECT_TRUE(files[3].endsWith("t2.vrl"));
    EXPECT_TRUE(Frame()->Action(ID_FILE_MRU_FILE1)->text().startsWith("&1 "));
    EXPECT_TRUE(Frame()->Action(ID_FILE_MRU_FILE1 + 3)->text().endsWith("t2.vrl"));
    EXPECT_TRUE(Enabled(ID_FILE_MRU_FILE1 + 3));
    // The list survives in the settings.
    CRecentFileList reread(kMaxRecentFiles);
    reread.ReadList();
    EXPECT_EQ(reread.Files(), files);
}

TEST_F(MainFrameTest, RecentFileThatNoLongerOpensLeavesTheList) {
    ImportSample();
    const QString path = m_dir.filePath(QStringLiteral("gone.vrl"));
    ASSERT_TRUE(Doc()->DoSave(path));
    Command(ID_FILE_CLOSE);
    QFile::remove(path);
    QString message;
    DismissNextModal(&message);
    Command(ID_FILE_MRU_FILE1);
    EXPECT_TRUE(message.contains(QStringLiteral("gone.vrl")));
    EXPECT_TRUE(VorlanApp()->RecentFileList().Files().isEmpty());
    EXPECT_EQ(Frame()->Action(ID_FILE_MRU_FILE1)->text(), "Recent File");
}
} // namespace

// A note covers the idle text, also when it came while the window was hidden (an import at
// start-up), and the idle text returns with the note gone.
TEST_F(MainFrameTest, NoteCoversTheIdleTextEvenBeforeTheWindowShows) {
    QLabel* pIdle = nullptr;
    for (QLabel* pLabel : Frame()->statusBar()->findChildren<QLabel*>())
        if (pLabel->text() == QStringLiteral("For Help, press F1"))
            pIdle = pLabel;
    ASSERT_NE(pIdle, nullptr);
    Frame()->hide();
    Frame()->ShowNote(QStringLiteral("GPX: 2400 points read."));
    Frame()->show();
    EXPECT_FALSE(pIdle->isVisible());
    EXPECT_EQ(Frame()->statusBar()->currentMessage(), QStringLiteral("GPX: 2400 points read."));
    Frame()->statusBar()->clearMessage();
    EXPECT_TRUE(pIdle->isVisible());
}
