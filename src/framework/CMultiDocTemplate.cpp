#include "CMultiDocTemplate.h"

#include "CChildFrame.h"
#include "CDocument.h"
#include "CScrollView.h"
#include "CWinApp.h"

#include <QFileInfo>
#include <QMdiArea>

#include <utility>

CMultiDocTemplate::CMultiDocTemplate(UINT nIDResource, QString strDocName, DocFactory createDoc,
                                     ViewFactory createView)
    : m_nIDResource(nIDResource), m_strDocName(std::move(strDocName)),
      m_createDoc(std::move(createDoc)), m_createView(std::move(createView)) {}

CMultiDocTemplate::~CMultiDocTemplate() {
    CloseAllDocuments();
}

QString CMultiDocTemplate::DefaultTitle() const {
    return m_strDocName + QString::number(m_nUntitledCount + 1);
}

CDocument* CMultiDocTemplate::OpenDocumentFile(const QString& strPath, bool bMakeVisible,
                                               QString* pstrError) {
    if (!strPath.isEmpty()) {
        if (CDocument* pOpen = FindOpenDocument(strPath)) {
            if (!pOpen->GetFrames().isEmpty())
                pOpen->GetFrames().first()->ActivateFrame();
            return pOpen;
        }
    }
    CDocument* pDoc = m_createDoc();
    pDoc->SetDocTemplate(this);
    if (strPath.isEmpty()) {
        pDoc->SetTitle(DefaultTitle());
        if (!pDoc->OnNewDocument()) {
            delete pDoc;
            return nullptr;
        }
        ++m_nUntitledCount;
    } else {
        // The file is read before any window exists, so a refused file leaves nothing behind.
        QString error;
        if (!pDoc->OnOpenDocument(strPath, &error)) {
            delete pDoc;
            AfxMessageBox(error);
            if (pstrError)
                *pstrError = error;
            return nullptr;
        }
        pDoc->SetPathName(strPath);
    }
    m_docList.append(pDoc);
    CChildFrame* pFrame = CreateNewFrame(pDoc);
    if (!pFrame) {
        pDoc->OnCloseDocument();
        return nullptr;
    }
    InitialUpdateFrame(pFrame, pDoc, bMakeVisible);
    return pDoc;
}

CChildFrame* CMultiDocTemplate::CreateNewFrame(CDocument* pDocument) {
    QMdiArea* pMdiArea = AfxGetApp()->GetMDIArea();
    if (!pMdiArea)
        return nullptr;
    auto* pFrame = new CChildFrame;
    if (!pFrame->OnCreateClient(pDocument, m_createView)) {
        delete pFrame;
        return nullptr;
    }
    pMdiArea->addSubWindow(pFrame);
    pDocument->UpdateFrameCounts();
    return pFrame;
}

void CMultiDocTemplate::InitialUpdateFrame(CChildFrame* pFrame, CDocument*, bool bMakeVisible) {
    for (CScrollView* pView : pFrame->GetViews())
        pView->OnInitialUpdate();
    if (bMakeVisible)
        pFrame->ActivateFrame();
}

void CMultiDocTemplate::RemoveDocument(CDocument* pDocument) {
    m_docList.removeAll(pDocument);
}

CDocument* CMultiDocTemplate::FindOpenDocument(const QString& strPath) const {
    const QString path = QFileInfo(strPath).absoluteFilePath();
    for (CDocument* pDoc : m_docList)
        if (!pDoc->GetPathName().isEmpty() && pDoc->GetPathName() == path)
            return pDoc;
    return nullptr;
}

void CMultiDocTemplate::CloseAllDocuments() {
    while (!m_docList.isEmpty())
        m_docList.first()->OnCloseDocument();
}
