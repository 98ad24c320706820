#include "CVorlanApp.h"

#include "CAboutDlg.h"
#include "CCommandLineInfo.h"
#include "CDocument.h"
#include "CMainFrame.h"
#include "CMultiDocTemplate.h"
#include "CStringTable.h"
#include "CVorlanDoc.h"
#include "CVorlanView.h"
#include "Resource.h"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>

#include <cstdio>

namespace {
// The last message shown, kept so that a failed start-up can repeat it on stderr.
QString s_strLastMessage;
} // namespace

CVorlanApp::CVorlanApp(int& argc, char** argv)
    : QApplication(argc, argv), m_recentFiles(kMaxRecentFiles) {
    // The settings live under the organisation and application names.
    setOrganizationName(QStringLiteral("Local AppWizard-Generated Applications"));
    setApplicationName(CStringTable::Load(AFX_IDS_APP_TITLE));
    setApplicationVersion(QStringLiteral(VORLAN_VERSION));
}

CVorlanApp::~CVorlanApp() {
    ExitInstance();
}

CVorlanApp* AfxGetApp() {
    return static_cast<CVorlanApp*>(QCoreApplication::instance());
}

QWidget* AfxGetMainWnd() {
    CVorlanApp* pApp = AfxGetApp();
    return pApp ? pApp->GetMainFrame() : nullptr;
}

void AfxMessageBox(const QString& strText) {
    s_strLastMessage = strText;
    QMessageBox box(QMessageBox::Warning, CStringTable::Load(AFX_IDS_APP_TITLE), strText,
                    QMessageBox::Ok, AfxGetMainWnd());
    box.exec();
}

bool CVorlanApp::InitInstance(const QStringList& arguments) {
    ExitInstance();
    m_recentFiles.ReadList();
    m_pDocTemplate = std::make_unique<CMultiDocTemplate>(
        IDR_VORLANTYPE, [] { return new CVorlanDoc; }, [] { return new CVorlanView; });

    m_pMainWnd = new CMainFrame;
    if (!m_pMainWnd->LoadFrame(IDR_MAINFRAME)) {
        delete m_pMainWnd;
        m_pMainWnd = nullptr;
        return false;
    }

    CCommandLineInfo cmdInfo;
    if (!cmdInfo.ParseCommandLine(arguments))
        return false;
    if (cmdInfo.m_nShellCommand == CCommandLineInfo::FileNew) {
        OnFileNew();
    } else {
        for (const QString& path : cmdInfo.m_strFileNames) {
            s_strLastMessage.clear();
            if (!OpenDocumentFile(path)) {
                std::fprintf(stderr, "vorlan: %s\n",
                             qPrintable(QString(s_strLastMessage)
                                            .replace(QLatin1Char('\n'), QStringLiteral(": "))));
                return false;
            }
        }
    }
    m_pMainWnd->show();
    m_pMainWnd->UpdateAllCommandUI();
    return true;
}

void CVorlanApp::ExitInstance() {
    if (!m_pMainWnd && !m_pDocTemplate)
        return;
    CloseAllDocuments();
    SaveStdProfileSettings();
    delete m_pMainWnd;
    m_pMainWnd = nullptr;
    m_pDocTemplate.reset();
}

CDocument* CVorlanApp::OpenDocumentFile(const QString& strPath) {
    return m_pDocTemplate ? m_pDocTemplate->OpenDocumentFile(strPath) : nullptr;
}

void CVorlanApp::AddToRecentFileList(const QString& strPath) {
    m_recentFiles.Add(strPath);
    if (m_pMainWnd)
        m_pMainWnd->UpdateRecentFileMenu();
}

void CVorlanApp::CloseAllDocuments() {
    if (m_pDocTemplate)
        m_pDocTemplate->CloseAllDocuments();
}

void CVorlanApp::SaveStdProfileSettings() {
    m_recentFiles.WriteList();
}

bool CVorlanApp::DoPromptFileName(QString& strName, bool bOpenFileDialog) {
    const QString filter = CStringTable::DocString(CStringTable::filterName);
    const QString ext = CStringTable::DocString(CStringTable::filterExt);
    QFileDialog dlg(AfxGetMainWnd(),
                    bOpenFileDialog ? QStringLiteral("Open") : QStringLiteral("Save As"),
                    QDir::currentPath(), filter);
    if (bOpenFileDialog) {
        dlg.setAcceptMode(QFileDialog::AcceptOpen);
        dlg.setFileMode(QFileDialog::ExistingFile);
    } else {
        dlg.setAcceptMode(QFileDialog::AcceptSave);
        dlg.setFileMode(QFileDialog::AnyFile);
        dlg.setDefaultSuffix(ext.mid(1));
        if (!strName.isEmpty())
            dlg.selectFile(strName);
    }
    if (dlg.exec() != QDialog::Accepted || dlg.selectedFiles().isEmpty())
        return false;
    strName = dlg.selectedFiles().first();
    if (!bOpenFileDialog && !strName.endsWith(ext, Qt::CaseInsensitive))
        strName += ext;
    QDir::setCurrent(QFileInfo(strName).absolutePath());
    return true;
}

BOOL CVorlanApp::OnCmdMsg(UINT nID, CmdCode nCode, CCmdUI* pCmdUI) {
    static const CmdEntry<CVorlanApp> kMessageMap[] = {
        {ID_APP_ABOUT, &CVorlanApp::OnAppAbout, nullptr},
        {ID_FILE_NEW, &CVorlanApp::OnFileNew, nullptr},
        {ID_FILE_OPEN, &CVorlanApp::OnFileOpen, nullptr},
        {ID_APP_EXIT, &CVorlanApp::OnAppExit, nullptr},
    };
    if (DispatchCmdMsg(this, kMessageMap, nID, nCode, pCmdUI))
        return 1;
    if (nID >= ID_FILE_MRU_FILE1 && nID < ID_FILE_MRU_FILE1 + kMaxRecentFiles) {
        const int nIndex = static_cast<int>(nID - ID_FILE_MRU_FILE1);
        switch (nCode) {
        case CmdCode::Command:
            OnOpenRecentFile(nIndex);
            break;
        case CmdCode::Update:
            OnUpdateRecentFileMenu(pCmdUI);
            break;
        case CmdCode::Query:
            break;
        }
        return 1;
    }
    return 0;
}

void CVorlanApp::OnAppAbout() {
    CAboutDlg dlg(AfxGetMainWnd());
    dlg.exec();
}

void CVorlanApp::OnFileNew() {
    OpenDocumentFile(QString());
}

void CVorlanApp::OnFileOpen() {
    QString name;
    if (DoPromptFileName(name, true))
        OpenDocumentFile(name);
}

void CVorlanApp::OnAppExit() {
    if (m_pMainWnd)
        m_pMainWnd->close();
}

// A recent file that no longer opens leaves the list.
void CVorlanApp::OnOpenRecentFile(int nIndex) {
    if (nIndex >= m_recentFiles.Files().size())
        return;
    if (!OpenDocumentFile(m_recentFiles.Files()[nIndex])) {
        m_recentFiles.Remove(nIndex);
        if (m_pMainWnd)
            m_pMainWnd->UpdateRecentFileMenu();
    }
}

void CVorlanApp::OnUpdateRecentFileMenu(CCmdUI* pCmdUI) {
    pCmdUI->Enable(static_cast<int>(pCmdUI->m_nID - ID_FILE_MRU_FILE1) <
                   m_recentFiles.Files().size());
}
