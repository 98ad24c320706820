#include "CMultiDocTemplate.h"
#include "LocalPath.h"

#include "CChildFrame.h"
#include "CDocument.h"
#include "CScrollView.h"
#include "CWinApp.h"

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
    if (strPath.isEmpty()) {
        CDocument* pDoc = m_createDoc();
        pDoc->SetDocTemplate(this);
        pDoc->SetTitle(DefaultTitle());
        if (!pDoc->OnNewDocument()) {
            delete pDoc;
            return nullptr;
        }
        ++m_nUntitledCount;
        return AddDocument(pDoc, bMakeVisible);
    }
    if (CDocument* pOpen = FindOpenDocument(strPath)) {
        if (!pOpen->GetFrames().isEmpty())
            pOpen->GetFrames().first()->ActivateFrame();
        return pOpen;
    }
    const DocLoader load = [&strPath](CDocument* pDoc, QString* pstrLoadError) {
        if (!pDoc->OnOpenDocument(strPath, pstrLoadError))
            return false;
        pDoc->SetPathName(strPath);
        return true;
    };
    return OpenLoadedDocument(load, bMakeVisible, pstrError);
}

CDocument* CMultiDocTemplate::OpenLoadedDocument(const DocLoader& load, bool bMakeVisible,
                                                 QString* pstrError) {
    CDocument* pDoc = m_createDoc();
    pDoc->SetDocTemplate(this);
    QString error;
    if (!load(pDoc, &error)) {
        delete pDoc;
        Report(error, pstrError);
        return nullptr;
    }
    return AddDocument(pDoc, bMakeVisible);
}

CDocument* CMultiDocTemplate::AddDocument(CDocument* pDoc, bool bMakeVisible) {
    m_docList.append(pDoc);
    CChildFrame* pFrame = CreateNewFrame(pDoc);
    if (!pFrame) {
        pDoc->OnCloseDocument();
        return nullptr;
    }
    InitialUpdateFrame(pFrame, pDoc, bMakeVisible);
    return pDoc;
}

void CMultiDocTemplate::Report(const QString& strError, QString* pstrError) {
    if (pstrError)
        *pstrError = strError;
    else if (!strError.isEmpty())
        AfxMessageBox(strError);
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
    const QString path = AbsolutePath(strPath);
    for (CDocument* pDoc : m_docList)
        if (!pDoc->GetPathName().isEmpty() && pDoc->GetPathName() == path)
            return pDoc;
    return nullptr;
}

void CMultiDocTemplate::CloseAllDocuments() {
    while (!m_docList.isEmpty())
        m_docList.first()->OnCloseDocument();
}
