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

    // A document's contents put in place before it has a window: true, or false with the
    // message in *pstrError.
    using DocLoader = std::function<bool(CDocument*, QString*)>;

    // With an empty path: a new, untitled document; otherwise the document stored in that file
    // (the window of an already open one is activated instead). A failure gives nullptr and
    // leaves the documents already open untouched; its message goes to pstrError when given
    // (the caller reports it), else to the user.
    CDocument* OpenDocumentFile(const QString& strPath, bool bMakeVisible = true,
                                QString* pstrError = nullptr);
    // A new document filled by load before any window exists, so that one that cannot be
    // filled leaves nothing behind: no window opens and closes, the active one stays as it
    // was. Failures are reported as by OpenDocumentFile.
    CDocument* OpenLoadedDocument(const DocLoader& load, bool bMakeVisible = true,
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
    // pDocument, filled, joins the list and gets its window.
    CDocument* AddDocument(CDocument* pDocument, bool bMakeVisible);
    static void Report(const QString& strError, QString* pstrError);

    UINT m_nIDResource;
    QString m_strDocName;
    DocFactory m_createDoc;
    ViewFactory m_createView;
    QList<CDocument*> m_docList;
    int m_nUntitledCount = 0;
};
