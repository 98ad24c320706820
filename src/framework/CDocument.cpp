#include "CDocument.h"

#include "CArchive.h"
#include "CChildFrame.h"
#include "CMultiDocTemplate.h"
#include "CScrollView.h"
#include "CWinApp.h"
#include "FrameworkIds.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>

CDocument::~CDocument() {
    // Views outliving their document must not call back into it.
    for (CScrollView* pView : m_viewList)
        pView->SetDocument(nullptr);
}

void CDocument::SetTitle(const QString& strTitle) {
    m_strTitle = strTitle;
    UpdateFrameCounts();
}

void CDocument::SetPathName(const QString& strPathName, bool bAddToMRU) {
    m_strPathName = QFileInfo(strPathName).absoluteFilePath();
    SetTitle(QFileInfo(m_strPathName).fileName());
    if (bAddToMRU)
        AfxGetApp()->AddToRecentFileList(m_strPathName);
}

void CDocument::AddView(CScrollView* pView) {
    if (m_viewList.contains(pView))
        return;
    m_viewList.append(pView);
    pView->SetDocument(this);
    UpdateFrameCounts();
}

void CDocument::RemoveView(CScrollView* pView) {
    m_viewList.removeAll(pView);
    pView->SetDocument(nullptr);
    if (m_viewList.isEmpty() && m_bAutoDelete) {
        OnCloseDocument();
        return;
    }
    UpdateFrameCounts();
}

QList<CChildFrame*> CDocument::GetFrames() const {
    QList<CChildFrame*> frames;
    for (CScrollView* pView : m_viewList)
        if (CChildFrame* pFrame = pView->GetParentFrame(); pFrame && !frames.contains(pFrame))
            frames.append(pFrame);
    return frames;
}

void CDocument::UpdateAllViews(CScrollView* pSender, long lHint, void* pHint) {
    for (CScrollView* pView : m_viewList)
        if (pView != pSender)
            pView->OnUpdate(pSender, lHint, pHint);
}

void CDocument::UpdateFrameCounts() {
    const QList<CChildFrame*> frames = GetFrames();
    int nFrame = 1;
    for (CChildFrame* pFrame : frames) {
        pFrame->m_nWindow = frames.size() > 1 ? nFrame++ : 0;
        pFrame->OnUpdateFrameTitle();
    }
}

BOOL CDocument::OnNewDocument() {
    return 1;
}

BOOL CDocument::OnOpenDocument(const QString& strPath, QString* pstrError) {
    const QString name = QFileInfo(strPath).absoluteFilePath();
    if (QFileInfo(strPath).isDir()) {
        *pstrError = name + QStringLiteral("\nCannot open this file: it is a folder.");
        return 0;
    }
    errno = 0;
    std::FILE* fp = std::fopen(QFile::encodeName(strPath).constData(), "rb");
    if (!fp) {
        *pstrError = name + QStringLiteral("\nCannot open this file: %1.")
                                .arg(QString::fromLocal8Bit(std::strerror(errno)));
        return 0;
    }
    CArchive ar(fp, CArchive::load);
    const BOOL bLoaded = Serialize(ar);
    std::fclose(fp);
    if (!bLoaded) {
        *pstrError = name + QStringLiteral("\nUnexpected file format.");
        return 0;
    }
    return 1;
}

BOOL CDocument::OnSaveDocument(const QString& strPath, QString* pstrError) {
    const QString name = QFileInfo(strPath).absoluteFilePath();
    // The document is written to memory first and then to a temporary file in the target's
    // folder that replaces the old file only once everything was written.
    char* pBuf = nullptr;
    size_t nSize = 0;
    std::FILE* fp = open_memstream(&pBuf, &nSize);
    bool bWritten = false;
    if (fp) {
        CArchive ar(fp, CArchive::store);
        Serialize(ar);
        bWritten = ar.Flush() != 0;
        bWritten = std::fclose(fp) == 0 && bWritten;
    }
    QSaveFile file(strPath);
    const bool bSaved =
        bWritten && file.open(QIODevice::WriteOnly) &&
        file.write(pBuf, static_cast<qint64>(nSize)) == static_cast<qint64>(nSize) && file.commit();
    std::free(pBuf);
    if (!bSaved) {
        const QString reason =
            file.errorString().isEmpty() ? QStringLiteral("write failed") : file.errorString();
        *pstrError = name + QStringLiteral("\nCannot save this file: %1.").arg(reason);
        return 0;
    }
    return 1;
}

void CDocument::OnCloseDocument() {
    // Destroying the windows removes the views; the document must not close itself again then.
    const bool bAutoDelete = m_bAutoDelete;
    m_bAutoDelete = false;
    for (CChildFrame* pFrame : GetFrames())
        delete pFrame;
    m_bAutoDelete = bAutoDelete;
    if (m_pDocTemplate)
        m_pDocTemplate->RemoveDocument(this);
    if (m_bAutoDelete)
        delete this;
}

BOOL CDocument::OnCmdMsg(UINT nID, CmdCode nCode, CCmdUI* pCmdUI) {
    if (OnDocCmdMsg(nID, nCode, pCmdUI))
        return 1;
    static const CmdEntry<CDocument> kMessageMap[] = {
        {ID_FILE_CLOSE, &CDocument::OnFileClose, nullptr},
        {ID_FILE_SAVE, &CDocument::OnFileSave, nullptr},
        {ID_FILE_SAVE_AS, &CDocument::OnFileSaveAs, nullptr},
    };
    return DispatchCmdMsg(this, kMessageMap, nID, nCode, pCmdUI);
}

BOOL CDocument::OnDocCmdMsg(UINT, CmdCode, CCmdUI*) {
    return 0;
}

// Never modified, so closing never asks to save.
void CDocument::OnFileClose() {
    OnCloseDocument();
}

void CDocument::OnFileSave() {
    DoSave(m_strPathName);
}

void CDocument::OnFileSaveAs() {
    DoSave(QString());
}

BOOL CDocument::DoSave(const QString& strPath, bool bReplace) {
    QString path = strPath;
    if (path.isEmpty()) {
        path = m_strPathName.isEmpty() ? m_strTitle : m_strPathName;
        if (!AfxGetApp()->DoPromptFileName(path, false))
            return 0;
    }
    QString error;
    if (!OnSaveDocument(path, &error)) {
        AfxMessageBox(error);
        return 0;
    }
    if (bReplace)
        SetPathName(path);
    return 1;
}
