#include "CDocument.h"
#include "LocalPath.h"

#include "CChildFrame.h"
#include "CMultiDocTemplate.h"
#include "CScrollView.h"
#include "CWinApp.h"
#include "FrameworkIds.h"

#include <QFileInfo>

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
    m_strPathName = AbsolutePath(strPathName);
    SetTitle(QFileInfo(m_strPathName).fileName());
    if (bAddToMRU)
        AfxGetApp()->AddToRecentFileList(m_strPathName);
}

bool CDocument::PromptSaveAs(QString& strName) {
    return AfxGetApp()->DoPromptFileName(strName, false);
}

QStringList CDocument::InputFiles() const {
    return m_strPathName.isEmpty() ? QStringList() : QStringList{m_strPathName};
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
        if (!PromptSaveAs(path))
            return 0;
    }
    QString error;
    if (!AfxMayReplace(path, &error)) {
        if (!error.isEmpty())
            AfxMessageBox(error);
        return 0;
    }
    if (!OnSaveDocument(path, &error)) {
        AfxMessageBox(error);
        return 0;
    }
    if (bReplace)
        SetPathName(path);
    return 1;
}
