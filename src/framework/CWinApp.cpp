#include "CWinApp.h"

#include "CAtomicFile.h"
#include "CBandedStyle.h"
#include "CScreenTiming.h"
#include "LocalPath.h"

#include <QMessageBox>

CWinApp::CWinApp(int& argc, char** argv) : QApplication(argc, argv) {
    CScreenTiming::InstallIfWanted(this);
    // The style asked for (-style, QT_STYLE_OVERRIDE or the desktop's), painted in bands.
    setStyle(new CBandedStyle(style()->name()));
}

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

bool AfxMayReplace(const QString& strPath, QString* pstrError) {
    pstrError->clear();
    const CFileResult r = CAtomicFile::CheckNotReadOnly(LocalPath(strPath));
    if (r.Ok())
        return true;
    const QString path = AbsolutePath(strPath);
    CWinApp* pApp = AfxGetApp();
    if (!pApp || !pApp->IsInteractive()) {
        *pstrError = path + QLatin1Char('\n') + QtPath(r.Sentence());
        return false;
    }
    return QMessageBox::question(
               AfxGetMainWnd(), QApplication::applicationName(),
               path + QStringLiteral("\nThis file is read-only. Replace it anyway?"),
               QMessageBox::Yes | QMessageBox::No, QMessageBox::No) == QMessageBox::Yes;
}
