// The application object: the Qt application with the drawing palette m_tools, the start-up
// sequence (settings, recent files, document template, main frame, command line), the
// application's commands (New, Open, About, recent files, Exit) and the shared services that
// documents and frames reach through AfxGetApp().
#pragma once

#include "CCmdTarget.h"
#include "CDrawTools.h"
#include "CRecentFileList.h"

#include <QApplication>
#include <QStringList>

#include <memory>

class CDocument;
class CMainFrame;
class CMultiDocTemplate;

class CVorlanApp : public QApplication, public CCmdTarget {
    Q_OBJECT
public:
    CVorlanApp(int& argc, char** argv);
    ~CVorlanApp() override;

    // The start-up sequence; false when the main frame cannot be created or the command line
    // names a document that cannot be opened (already reported to the user).
    bool InitInstance(const QStringList& arguments);
    // Closes every document and destroys the main frame (the end of a run, or of a test).
    void ExitInstance();

    CMainFrame* GetMainFrame() const { return m_pMainWnd; }
    CMultiDocTemplate* GetDocTemplate() const { return m_pDocTemplate.get(); }
    CRecentFileList& RecentFileList() { return m_recentFiles; }

    // Opens a document file (an open one is activated); nullptr after a reported failure.
    CDocument* OpenDocumentFile(const QString& strPath);
    void AddToRecentFileList(const QString& strPath);
    void CloseAllDocuments();
    void SaveStdProfileSettings();
    // Asks for a document file name: an existing one to open, or one to save as (".vrl" is
    // appended when the name has no extension of that kind). strName holds the proposed name
    // and receives the choice; false when the user cancelled.
    bool DoPromptFileName(QString& strName, bool bOpenFileDialog);

    BOOL OnCmdMsg(UINT nID, CmdCode nCode, CCmdUI* pCmdUI) override;

    void OnAppAbout();
    void OnFileNew();
    void OnFileOpen();
    void OnAppExit();

    // The palette that all drawing uses, built right after the Qt application.
    CDrawTools m_tools;

private:
    void OnOpenRecentFile(int nIndex);
    void OnUpdateRecentFileMenu(CCmdUI* pCmdUI);

    CMainFrame* m_pMainWnd = nullptr;
    std::unique_ptr<CMultiDocTemplate> m_pDocTemplate;
    CRecentFileList m_recentFiles;
};

CVorlanApp* AfxGetApp();
QWidget* AfxGetMainWnd();
// Shows a message box with the application's title over the main window.
void AfxMessageBox(const QString& strText);
