// The polylines of the elevation chart's series and of the 3D scene's track and shadows: a move
// to the first point and a line to each of the others, leaving out the lines that lie wholly
// outside the surface's clip box, so that a window on a page zoomed 16 times draws the part it
// shows and not a page of 32000 pixels.
#pragma once

#include "CDC.h"
#include "CPen.h"

#include <algorithm>
#include <cstdint>
#include <vector>

// True when the line from a to b lies wholly beyond one edge of box.
inline bool LineOutside(const RECT& box, POINT a, POINT b) {
    return (a.x < box.left && b.x < box.left) || (a.x > box.right && b.x > box.right) ||
           (a.y < box.top && b.y < box.top) || (a.y > box.bottom && b.y > box.bottom);
}

// The polyline through the n logical points that pointAt(i) gives. Without a clip box these are
// exactly MoveTo and n - 1 LineTo calls; with one, the box is widened by the pen's width, so
// that no line whose stroke reaches into it is left out.
template <class PointAt> void DrawClippedPolyline(CDC* pDC, int n, PointAt pointAt) {
    if (n < 1)
        return;
    RECT box;
    const bool bClip = pDC->GetClipBox(&box);
    if (bClip) {
        const CPen* pPen = pDC->GetCurrentPen();
        const int w = pPen && pPen->m_nWidth > 1 ? pPen->m_nWidth : 1;
        box = RECT{box.left - w, box.top - w, box.right + w, box.bottom + w};
    }
    POINT prev = pointAt(0);
    pDC->MoveTo(prev.x, prev.y);
    bool bAtPrev = true;
    for (int i = 1; i < n; ++i) {
        const POINT pt = pointAt(i);
        if (bClip && LineOutside(box, prev, pt)) {
            bAtPrev = false;
        } else {
            if (!bAtPrev)
                pDC->MoveTo(prev.x, prev.y);
            pDC->LineTo(pt.x, pt.y);
            bAtPrev = true;
        }
        prev = pt;
    }
}

// The same polyline in colours: each line takes the pen of the step of the point it ends at, and
// lines of one step in a row are one polyline.
template <class PointAt>
void DrawSteppedPolyline(CDC* pDC, int n, PointAt pointAt, const std::uint8_t* pSteps,
                         CPen* const* ppPens) {
    for (int a = 1; a < n;) {
        int b = a;
        while (b + 1 < n && pSteps[b + 1] == pSteps[a])
            ++b;
        pDC->SelectObject(ppPens[pSteps[a]]);
        DrawClippedPolyline(pDC, b - a + 2, [&](int k) { return pointAt(a - 1 + k); });
        a = b + 1;
    }
}

// One run of points in a pixel column: its first, lowest, highest and last point.
struct ColumnRun {
    int nFirst = 0, nLow = 0, nHigh = 0, nLast = 0;
    POINT first{}, low{}, high{}, last{};

    explicit ColumnRun(int i, POINT pt)
        : nFirst(i), nLow(i), nHigh(i), nLast(i), first(pt), low(pt), high(pt), last(pt) {}
    void Add(int i, POINT pt) {
        if (pt.y < low.y)
            low = pt, nLow = i;
        if (pt.y > high.y)
            high = pt, nHigh = i;
        last = pt, nLast = i;
    }
    // The run's points in their order, each once.
    void AppendTo(std::vector<POINT>& kept) const {
        kept.push_back(first);
        const auto keep = [&](POINT pt, int k) {
            if (k != nFirst && k != nLast)
                kept.push_back(pt);
        };
        if (nLow < nHigh) {
            keep(low, nLow);
            keep(high, nHigh);
        } else {
            keep(high, nHigh);
            keep(low, nLow);
        }
        if (nLast != nFirst)
            kept.push_back(last);
    }
};

// The same polyline with each run of points in one pixel column (one x) cut to its first,
// lowest, highest and last point, in their order: the lines between them cover the pixels that
// the lines between all of the run's points cover, so a graph of 100000 points draws what a
// graph of every point draws at the cost of a few points a column (on Qt's painter for pens of
// two pixels or more: its one-pixel lines leave out an end pixel by their direction and their
// place in a batch). kept is scratch space.
template <class PointAt>
void DrawColumnPolyline(CDC* pDC, int n, PointAt pointAt, std::vector<POINT>& kept) {
    kept.clear();
    POINT next = n > 0 ? pointAt(0) : POINT{};
    for (int i = 0; i < n;) {
        ColumnRun run(i, next);
        for (++i; i < n; ++i) {
            next = pointAt(i);
            if (next.x != run.first.x)
                break;
            run.Add(i, next);
        }
        run.AppendTo(kept);
    }
    DrawClippedPolyline(pDC, static_cast<int>(kept.size()), [&](int k) { return kept[k]; });
}

// The same for points whose x never decreases, with the same points kept: each column's run is
// found by galloping ahead and bisecting on x, so that only the y of its points is worked out
// one by one.
template <class XAt, class YAt>
void DrawAscendingColumnPolyline(CDC* pDC, int n, XAt xAt, YAt yAt, std::vector<POINT>& kept) {
    kept.clear();
    for (int i = 0; i < n;) {
        const int x = xAt(i);
        // Points i..lo - 1 are in the column and point hi is not (or is the end): hi is found
        // by steps that double, then the run's end between them by halves.
        int lo = i + 1, step = 1;
        while (lo + step - 1 < n && xAt(lo + step - 1) == x) {
            lo += step;
            step *= 2;
        }
        int hi = std::min(lo + step - 1, n);
        while (lo < hi) {
            const int mid = lo + (hi - lo) / 2;
            if (xAt(mid) == x)
                lo = mid + 1;
            else
                hi = mid;
        }
        ColumnRun run(i, POINT{x, yAt(i)});
        for (int k = i + 1; k < lo; ++k)
            run.Add(k, POINT{x, yAt(k)});
        run.AppendTo(kept);
        i = lo;
    }
    DrawClippedPolyline(pDC, static_cast<int>(kept.size()), [&](int k) { return kept[k]; });
}
