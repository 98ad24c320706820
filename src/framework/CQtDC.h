// The drawing surface over a QPainter: serves the view's viewport, a QImage, a printer and a
// preview page alike. Used by the view's painting and printing and by the benchmarks.
#pragma once

#include "CDC.h"

#include <QFont>
#include <QLine>
#include <QPen>

#include <vector>

class QPainter;
class QPaintDevice;

class CQtDC : public CDC {
public:
    // pWnd is the window whose client area the device shows (nullptr for a printer or an image
    // that belongs to no window); bPrinting marks a printer or preview page.
    CQtDC(QPainter* pPainter, CWnd* pWnd, BOOL bPrinting);
    ~CQtDC() override;

    int GetDeviceCaps(int nIndex) const override;
    CWnd* GetWindow() const override { return m_pWnd; }

    // A new pen first draws the segments collected with the old one.
    CPen* SelectObject(CPen* pPen) override;
    using CDC::SelectObject;

    BOOL Rectangle(int x1, int y1, int x2, int y2) override;
    BOOL TextOut(int x, int y, const char* lpszString, int nCount) override;
    BOOL FillRgn(CRgn* pRgn, CBrush* pBrush) override;

    // Draws the line segments that LineTo calls have collected so far.
    void Flush();

    // Smoothed (anti-aliased) lines and outlines; off unless asked for.
    void SetSmoothLines(bool bSmooth);

    // The pixels per inch that pen widths are given for.
    static constexpr int kPenDpi = 96;

    // The Qt font that a logical font stands for on this device (nullptr: the application's).
    QFont QtFont(const CFont* pFont) const;

    // Segments drawn with one pen are collected and drawn as separate lines, this many at a
    // time: with a 2-pixel pen that is several times faster than polylines of any length (see
    // the drawing benchmark), and each segment looks as if drawn on its own. A dashed pen's
    // connected segments are one polyline instead, so that its dashes run on from one short
    // segment to the next.
    static constexpr int kBatchLines = 256;

protected:
    void DrawLine(POINT from, POINT to) override;

private:
    void ApplyOrigin();
    QPen ToQPen(const CPen* pPen) const;
    void ApplyBrush(const CBrush* pBrush);

    QPainter* m_pPainter;
    QPaintDevice* m_pDevice;
    CWnd* m_pWnd;
    // What a pen's width in pixels is multiplied by on this device: 1 on a screen or image,
    // whose scale the painter's transformation applies; dots per inch over 96 on a printer (a
    // 2-pixel pen prints about 0.5 mm wide instead of as a hairline).
    qreal m_fPenScale;
    POINT m_ptApplied;          // viewport origin the painter is translated by
    std::vector<QLine> m_lines; // pending segments in logical units
    QPolygon m_polyline;        // or the pending polyline of a dashed pen
    QPen m_linesPen;            // the pen they were drawn with, taken at the first of them
};
