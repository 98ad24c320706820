#include "CWinApp.h"

CWinApp::CWinApp(int& argc, char** argv) : QApplication(argc, argv) {}

CWinApp::~CWinApp() = default;

CWinApp* AfxGetApp() {
    return static_cast<CWinApp*>(QCoreApplication::instance());
}

QWidget* AfxGetMainWnd() {
    CWinApp* pApp = AfxGetApp();
    return pApp ? pApp->GetMainWnd() : nullptr;
}

void AfxMessageBox(const QString& strText) {
    if (CWinApp* pApp = AfxGetApp())
        pApp->ShowMessage(strText);
}
