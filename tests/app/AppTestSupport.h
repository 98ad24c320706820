// Shared pieces of the shell tests: a fixture that starts the application with one new document,
// a driver for modal dialogs, and MapSource sample files written on the fly.
#pragma once

#include "CCmdUI.h"
#include "WinDef.h"

#include <QString>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <functional>

class CChildFrame;
class CMainFrame;
class CVorlanDoc;
class CVorlanView;
class QProcess;
class QWidget;

// Writes a MapSource text export of nPoints track points (a hilly loop) and returns its path.
QString WriteTrackFile(const QString& path, int nPoints);

// Runs the vorlan program with args and waits for it to end; its settings go to a folder of
// the test's own (configDir), never to the user's. setUp may change the process before it
// starts (its environment, folder or limits). Returns the exit status (-1 on a crash or a
// time-out) with what it wrote on stderr in *pstrError when given.
int RunVorlan(const QStringList& args, const QString& configDir, QString* pstrError = nullptr,
              const std::function<void(QProcess&)>& setUp = {});

// Runs action on the next modal dialog once it is open (the caller then starts the dialog).
// The text of a message box is kept in *pstrText when given.
void OnNextModal(std::function<void(QWidget*)> action);
// Closes the next modal dialog with its reject/close button, keeping a message box's text.
void DismissNextModal(QString* pstrText = nullptr);
// Picks path in the next file dialog, or cancels it when path is empty.
void ChooseInNextFileDialog(const QString& path);

class AppTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    CMainFrame* Frame() const;
    CChildFrame* ActiveChild() const;
    CVorlanView* View() const;
    CVorlanDoc* Doc() const;

    void Command(UINT nID);
    CCmdUI State(UINT nID);
    bool Enabled(UINT nID) { return State(nID).m_bEnabled; }
    int Checked(UINT nID) { return State(nID).m_nCheck; }

    // Imports the sample track into the active (empty) document through the import dialog.
    void ImportSample(int nPoints = 400);

    QTemporaryDir m_dir;
};
