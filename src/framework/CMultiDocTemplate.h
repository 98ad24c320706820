// The one document template: binds the document, the document window and the view classes,
// creates new and opened documents with their windows in the main frame, numbers untitled
// documents and keeps the list of open documents. Owned by the application.
#pragma once

#include "WinDef.h"

#include <QList>
#include <QString>

#include <functional>

class CChildFrame;
class CDocument;
class CScrollView;

class CMultiDocTemplate {
public:
    using DocFactory = std::function<CDocument*()>;
    using ViewFactory = std::function<CScrollView*()>;

    // strDocName is the base name of untitled documents.
    CMultiDocTemplate(UINT nIDResource, QString strDocName, DocFactory createDoc,
                      ViewFactory createView);
    CMultiDocTemplate(const CMultiDocTemplate&) = delete;
    CMultiDocTemplate& operator=(const CMultiDocTemplate&) = delete;
    ~CMultiDocTemplate();

    // With an empty path: a new, untitled document; otherwise the document stored in that file
    // (the window of an already open one is activated instead). Failures are reported to the
    // user and give nullptr; the documents already open are not touched. pstrError, if given,
    // receives the message of a file that could not be read.
    CDocument* OpenDocumentFile(const QString& strPath, bool bMakeVisible = true,
                                QString* pstrError = nullptr);
    // A further window on pDocument (Window, New Window).
    CChildFrame* CreateNewFrame(CDocument* pDocument);
    void InitialUpdateFrame(CChildFrame* pFrame, CDocument* pDocument, bool bMakeVisible = true);

    void RemoveDocument(CDocument* pDocument);
    const QList<CDocument*>& GetDocuments() const { return m_docList; }
    CDocument* FindOpenDocument(const QString& strPath) const;
    void CloseAllDocuments();

    UINT GetResourceID() const { return m_nIDResource; }
    // The base name of new documents followed by the next number: "Doc1", "Doc2", ...
    QString DefaultTitle() const;

private:
    UINT m_nIDResource;
    QString m_strDocName;
    DocFactory m_createDoc;
    ViewFactory m_createView;
    QList<CDocument*> m_docList;
    int m_nUntitledCount = 0;
};
