// Shared pieces of the shell tests: a fixture that starts the application with one new document,
// a driver for modal dialogs, MapSource sample files written on the fly and a pixel count.
#pragma once

#include "CCmdUI.h"
#include "WinDef.h"

#include <QImage>
#include <QString>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <vector>

class CChildFrame;
class CMainFrame;
class CVorlanDoc;
class CVorlanView;
class QProcess;
class QWidget;

// Writes a MapSource text export of nPoints track points (a hilly loop) and returns its path.
QString WriteTrackFile(const QString& path, int nPoints);

// How many pixels of the image have the colour (alpha ignored).
int CountColour(const QImage& image, QRgb colour);

// Runs the vorlan program with args and waits for it to end; its settings go to a folder of
// the test's own (configDir), never to the user's. setUp may change the process before it
// starts (its environment, folder or limits). Returns the exit status (-1 on a crash or a
// time-out) with what it wrote on stderr in *pstrError when given.
int RunVorlan(const QStringList& args, const QString& configDir, QString* pstrError = nullptr,
              const std::function<void(QProcess&)>& setUp = {});

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

    // Runs action on the next modal dialog once it is open (the caller then starts the dialog),
    // so that a dialog's exec() never blocks a test: a dialog the action leaves open is closed,
    // and one that does not open within kModalWaitMs, or before the test ends, fails the test
    // with what was waited for.
    void OnNextModal(const QString& strWhat, std::function<void(QWidget*)> action);
    // Closes the next modal dialog with its reject/close button, keeping a message box's text
    // in *pstrText when given.
    void DismissNextModal(QString* pstrText = nullptr);
    // Picks path in the next file dialog, or cancels it when path is empty.
    void ChooseInNextFileDialog(const QString& path);

    QTemporaryDir m_dir;

private:
    struct ModalWait {
        QString strWhat;
        bool bOver = false; // answered, given up, or dropped at the end of the test
    };

    static constexpr int kModalWaitMs = 10000; // generous for the sanitizer build
    static constexpr int kModalPollMs = 10;

    std::vector<std::shared_ptr<ModalWait>> m_modalWaits;
};
