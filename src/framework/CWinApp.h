// The application as the framework sees it: the services that documents, templates, frames and
// views reach through AfxGetApp(). The program's application class derives from it.
#pragma once

#include "CCmdTarget.h"

#include <QApplication>
#include <QIcon>
#include <QString>

class QMdiArea;
class QPrinter;
class QWidget;

class CWinApp : public QApplication, public CCmdTarget {
    Q_OBJECT
public:
    CWinApp(int& argc, char** argv);
    ~CWinApp() override;

    // The main window, parent of message boxes and dialogs; nullptr before it exists.
    virtual QWidget* GetMainWnd() const = 0;
    // The area that document windows open in; nullptr while there is no main window.
    virtual QMdiArea* GetMDIArea() const = 0;
    // The printer of the session, shared by every print job and preview.
    virtual QPrinter* GetPrinter() = 0;
    virtual void AddToRecentFileList(const QString& strPath) = 0;
    // Asks for a document file name to open or to save as; false when the user cancelled.
    virtual bool DoPromptFileName(QString& strName, bool bOpenFileDialog) = 0;
    // Tells the user strText (AfxMessageBox).
    virtual void ShowMessage(const QString& strText) = 0;
    // Whether there is a user to ask (not so while a command-line job runs without a window).
    virtual bool IsInteractive() const { return true; }
    // The icon of document windows.
    virtual QIcon DocumentIcon() const = 0;
};

// The running application; nullptr when there is none of this kind.
CWinApp* AfxGetApp();
QWidget* AfxGetMainWnd();
void AfxMessageBox(const QString& strText);
// Whether strPath may be replaced: yes when it is not read-only, or when the user agrees to
// replace it anyway (as editors ask). Where nobody can be asked, a read-only file is refused and
// *pstrError says so; it stays empty when the user said no.
bool AfxMayReplace(const QString& strPath, QString* pstrError);
