#include "CChildFrame.h"

#include "CButtonImages.h"
#include "CDocument.h"
#include "CScrollView.h"

#include <QMdiArea>

CChildFrame::CChildFrame() {
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowIcon(CButtonImages::Icon(CButtonImages::Image::DocumentIcon));
}

CChildFrame::~CChildFrame() {
    // The views are destroyed with the frame's widgets; forget them first.
    for (CScrollView* pView : m_views)
        disconnect(pView, nullptr, this, nullptr);
}

BOOL CChildFrame::OnCreateClient(CDocument* pDocument, const ViewFactory& createView) {
    CScrollView* pView = createView();
    if (!pView)
        return 0;
    setWidget(pView);
    m_views.append(pView);
    connect(pView, &QObject::destroyed, this, &CChildFrame::OnViewDestroyed);
    m_pActiveView = pView;
    pDocument->AddView(pView);
    return 1;
}

void CChildFrame::ActivateFrame(int) {
    showMaximized();
    if (mdiArea())
        mdiArea()->setActiveSubWindow(this);
    if (m_pActiveView)
        m_pActiveView->setFocus();
}

void CChildFrame::SetActiveView(CScrollView* pView) {
    if (m_views.contains(pView))
        m_pActiveView = pView;
}

CDocument* CChildFrame::GetActiveDocument() const {
    return m_pActiveView ? m_pActiveView->GetDocument() : nullptr;
}

void CChildFrame::ActivateNextPane(CScrollView* pView, bool bNext) {
    const qsizetype n = m_views.size();
    const qsizetype i = m_views.indexOf(pView);
    if (n < 2 || i < 0)
        return;
    m_views[(i + (bNext ? 1 : n - 1)) % n]->setFocus();
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
    return m_pActiveView && m_pActiveView->OnCmdMsg(nID, nCode, pCmdUI);
}

void CChildFrame::OnViewDestroyed(QObject* pView) {
    m_views.removeAll(static_cast<CScrollView*>(pView));
    if (m_pActiveView == pView)
        m_pActiveView = m_views.isEmpty() ? nullptr : m_views.first();
}
