// The framework part of a scrolling document view: a scroll area whose viewport is painted by
// OnDraw on a CQtDC, scroll sizes and position in logical units, synchronous repaint, printing
// and print preview of one page, and the routing of commands to the view and then its document.
// The program's view class derives from it.
#pragma once

#include "CCmdTarget.h"
#include "CWnd.h"
#include "WinDef.h"

#include <QAbstractScrollArea>
#include <QImage>

class CChildFrame;
class CSplitterWnd;
class QScrollBar;
class CDC;
class CDocument;
class QPrinter;
struct CPrintInfo;

class CScrollView : public QAbstractScrollArea, public CWnd, public CCmdTarget {
    Q_OBJECT
public:
    // The one-to-one mapping of the view: a logical unit is a device pixel.
    static constexpr int MM_TEXT = 1;

    explicit CScrollView(QWidget* pParent = nullptr);
    ~CScrollView() override;

    CDocument* GetDocument() const { return m_pDocument; }
    // Called by the document when the view is added to it or removed.
    void SetDocument(CDocument* pDocument) { m_pDocument = pDocument; }
    CChildFrame* GetParentFrame() const;
    // The splitter that holds this view as a pane, if any.
    CSplitterWnd* GetParentSplitter() const;

    // First update after the view joined its document and frame.
    virtual void OnInitialUpdate();
    // A new pane split from pSource, after its OnInitialUpdate: what it shows may follow the
    // source's.
    virtual void OnSplitFrom(CScrollView* /*pSource*/) {}
    // The document changed: repaint when the event loop next paints.
    virtual void OnUpdate(CScrollView* pSender, long lHint, void* pHint);
    virtual void OnDraw(CDC* pDC) = 0;

    // Total scrollable size in logical units; the page step is a tenth of it and the line step
    // a tenth of a page.
    void SetScrollSizes(int nMapMode, CSize sizeTotal);
    CSize GetTotalSize() const { return m_sizeTotal; }
    POINT GetScrollPosition() const;
    // Puts the logical point at the top-left corner of the client area, limited to the range.
    void ScrollToPosition(POINT pt);

    // Invalidates, erases and paints the whole client area before returning.
    void RedrawWindow();
    // Paints whatever part of the view is still invalid, at once.
    void UpdateWindow();

    void GetClientRect(RECT* lpRect) const override;
    BOOL OnCmdMsg(UINT nID, CmdCode nCode, CCmdUI* pCmdUI) override;

    // How many times OnDraw has run on the screen (tests and the synchronous repaint use it).
    int DrawCount() const { return m_nDrawCount; }
    // How many pages have been drawn for a printer or a preview.
    int PrintCount() const { return m_nPrintCount; }

    // Prints the one page on the application's printer, after the print dialog unless bDirect.
    // False when the dialog was cancelled or the job failed (a failure is reported).
    bool DoFilePrint(bool bDirect);

protected:
    // Whether the screen draws the view with smoothed (anti-aliased) lines; the framework's
    // does not.
    virtual bool SmoothLines() const { return false; }

    // The view's own message map; the document's is consulted when this returns 0.
    virtual BOOL OnViewCmdMsg(UINT nID, CmdCode nCode, CCmdUI* pCmdUI);

    // Printing, in the order a job calls them. OnPreparePrinting decides whether the job runs
    // (the framework's does nothing and says yes); DoPreparePrinting shows the print dialog.
    virtual BOOL OnPreparePrinting(CPrintInfo* pInfo);
    BOOL DoPreparePrinting(CPrintInfo* pInfo);
    virtual void OnBeginPrinting(CDC* pDC, CPrintInfo* pInfo);
    // Draws the page: the view's own drawing on the printer surface.
    virtual void OnPrint(CDC* pDC, CPrintInfo* pInfo);
    virtual void OnEndPrinting(CDC* pDC, CPrintInfo* pInfo);

    // The framework's print commands: File, Print; the shell's print request; File, Print
    // Preview.
    void OnFilePrint();
    void OnFilePrintDirect();
    void OnFilePrintPreview();

    // Painted on the screen over the cached drawing of the client area, in client pixels: what
    // follows the mouse and is never printed. The framework's paints nothing.
    virtual void OnDrawOverlay(QPainter* pPainter);
    // The cached drawing is out of date: the next paint runs OnDraw again. Every repaint of the
    // whole view (document change, resize, scroll, RedrawWindow) does this.
    void InvalidateDrawing() { m_bDrawingValid = false; }

    void paintEvent(QPaintEvent* pEvent) override;
    void resizeEvent(QResizeEvent* pEvent) override;
    void scrollContentsBy(int dx, int dy) override;
    void focusInEvent(QFocusEvent* pEvent) override;

private:
    // A drawing that changes the scroll position is drawn again; the second pass finds the
    // position settled, the third is a guard.
    static constexpr int kMaxDrawPasses = 3;
    // The print preview's size, in percent of the main window's.
    static constexpr int kPreviewShare = 90;
    // The cached drawing's memory grows in steps of this many pixels each way.
    static constexpr int kCacheStep = 256;

    void DrawOn(QPaintDevice* pDevice);
    // The cached image at the client area's size and the viewport's resolution.
    void FitCacheToViewport();
    // OnDraw on the cached image of the client area.
    void DrawCache();
    // Draws the page on pPrinter: a printer surface with no window and no scroll offset.
    bool PrintPage(QPrinter* pPrinter, CPrintInfo* pInfo);
    // PrintPage as a job on the printer's device: a PDF file is written through CPrintFile, and
    // a failure is reported.
    bool PrintJob(QPrinter* pPrinter, CPrintInfo* pInfo);
    void UpdateBars();
    static void SetBar(QScrollBar* pBar, int nRange, int nTotal);
    void OnNextPane();
    void OnPrevPane();
    void OnUpdateNextPane(CCmdUI* pCmdUI);
    void OnSplitCmd();
    void OnUpdateSplitCmd(CCmdUI* pCmdUI);

    CDocument* m_pDocument = nullptr;
    CSize m_sizeTotal;
    int m_nDrawCount = 0;
    int m_nPrintCount = 0;
    // The client area as OnDraw last drew it: a paint that only the overlay needs copies it.
    // Its pixels are the top left of m_cacheMemory.
    QImage m_drawing;
    QImage m_cacheMemory;
    bool m_bDrawingValid = false;
};
