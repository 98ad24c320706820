#include "CChildFrame.h"

#include "CDocument.h"
#include "CScrollView.h"
#include "CSplitterWnd.h"
#include "CWinApp.h"

#include <QMdiArea>

CChildFrame::CChildFrame() {
    setAttribute(Qt::WA_DeleteOnClose);
    if (const CWinApp* pApp = AfxGetApp())
        setWindowIcon(pApp->DocumentIcon());
}

CChildFrame::~CChildFrame() = default;

BOOL CChildFrame::OnCreateClient(CDocument* pDocument, const ViewFactory& createView) {
    CScrollView* pView = createView();
    if (!pView)
        return 0;
    m_wndSplitter = new CSplitterWnd;
    if (!m_wndSplitter->CreateDynamic(2, 2, QSize(10, 10), pView, createView)) {
        delete m_wndSplitter;
        m_wndSplitter = nullptr;
        delete pView;
        return 0;
    }
    setWidget(m_wndSplitter);
    m_pActiveView = pView;
    pDocument->AddView(pView);
    return 1;
}

void CChildFrame::ActivateFrame(int) {
    showMaximized();
    if (mdiArea())
        mdiArea()->setActiveSubWindow(this);
    if (CScrollView* pView = GetActiveView())
        pView->setFocus();
}

CScrollView* CChildFrame::GetActiveView() const {
    if (m_pActiveView)
        return m_pActiveView;
    return m_wndSplitter ? m_wndSplitter->GetPane(0, 0) : nullptr;
}

void CChildFrame::SetActiveView(CScrollView* pView) {
    if (GetViews().contains(pView))
        m_pActiveView = pView;
}

CDocument* CChildFrame::GetActiveDocument() const {
    const CScrollView* pView = GetActiveView();
    return pView ? pView->GetDocument() : nullptr;
}

QList<CScrollView*> CChildFrame::GetViews() const {
    return m_wndSplitter ? m_wndSplitter->GetPanes() : QList<CScrollView*>();
}

void CChildFrame::ActivateNextPane(CScrollView* pView, bool bNext) {
    const QList<CScrollView*> views = GetViews();
    const qsizetype n = views.size();
    const qsizetype i = views.indexOf(pView);
    if (n < 2 || i < 0)
        return;
    CScrollView* pNext = views[(i + (bNext ? 1 : n - 1)) % n];
    SetActiveView(pNext);
    pNext->setFocus();
}

void CChildFrame::OnUpdateFrameTitle() {
    const CDocument* pDoc = GetActiveDocument();
    if (!pDoc)
        return;
    QString title = pDoc->GetTitle();
    if (m_nWindow > 0)
        title += QStringLiteral(":%1").arg(m_nWindow);
    setWindowTitle(title);
}

BOOL CChildFrame::OnCmdMsg(UINT nID, CmdCode nCode, CCmdUI* pCmdUI) {
    CScrollView* pView = GetActiveView();
    return pView && pView->OnCmdMsg(nID, nCode, pCmdUI);
}
