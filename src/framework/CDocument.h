// The framework part of a document: title and path, the list of views, redrawing them, the
// numbering of its windows, and the Close, Save and Save As commands around the document's own
// reading and writing of its file. The program's document class derives from it.
#pragma once

#include "CCmdTarget.h"
#include "WinDef.h"

#include <QList>
#include <QString>
#include <QStringList>

class CChildFrame;
class CMultiDocTemplate;
class CScrollView;

class CDocument : public CCmdTarget {
public:
    CDocument() = default;
    CDocument(const CDocument&) = delete;
    CDocument& operator=(const CDocument&) = delete;
    ~CDocument() override;

    const QString& GetTitle() const { return m_strTitle; }
    void SetTitle(const QString& strTitle);
    const QString& GetPathName() const { return m_strPathName; }
    // Sets the path, takes the file name as title and adds the file to the recent-file list.
    void SetPathName(const QString& strPathName, bool bAddToMRU = true);
    // The files the document was read from (its own file, if any): no export or print may
    // replace them.
    virtual QStringList InputFiles() const;
    CMultiDocTemplate* GetDocTemplate() const { return m_pDocTemplate; }
    void SetDocTemplate(CMultiDocTemplate* pTemplate) { m_pDocTemplate = pTemplate; }

    void AddView(CScrollView* pView);
    // Removing the last view closes the document.
    void RemoveView(CScrollView* pView);
    const QList<CScrollView*>& GetViews() const { return m_viewList; }
    // The document windows that show this document, in the order of their views.
    QList<CChildFrame*> GetFrames() const;
    // Every view except pSender repaints when the event loop next paints.
    void UpdateAllViews(CScrollView* pSender, long lHint = 0, void* pHint = nullptr);
    // Numbers the windows of the document (":1", ":2") when it has more than one, and retitles
    // them.
    void UpdateFrameCounts();

    virtual BOOL OnNewDocument();
    // Reads the file; on failure pstrError names the file and the reason.
    virtual BOOL OnOpenDocument(const QString& strPath, QString* pstrError) = 0;
    // Writes the file so that a failed save leaves the old file as it was; on failure
    // pstrError names the file and the reason.
    virtual BOOL OnSaveDocument(const QString& strPath, QString* pstrError) = 0;
    // Destroys the document's windows and then the document.
    virtual void OnCloseDocument();

    BOOL OnCmdMsg(UINT nID, CmdCode nCode, CCmdUI* pCmdUI) override;

    // Asks for the name to save under (Save As), strName proposing one and receiving the
    // choice; false when the user cancelled. The framework's asks the application.
    virtual bool PromptSaveAs(QString& strName);
    // Saves under strPath, or under a name the user chooses when strPath is empty (Save As);
    // with bReplace the document takes the new name. 0 when cancelled or failed (reported).
    virtual BOOL DoSave(const QString& strPath, bool bReplace = true);

protected:
    // The document's own message map; the framework's commands come after it.
    virtual BOOL OnDocCmdMsg(UINT nID, CmdCode nCode, CCmdUI* pCmdUI);

private:
    void OnFileClose();
    void OnFileSave();
    void OnFileSaveAs();

    QString m_strTitle;
    QString m_strPathName;
    QList<CScrollView*> m_viewList;
    CMultiDocTemplate* m_pDocTemplate = nullptr;
    bool m_bAutoDelete = true;
};
