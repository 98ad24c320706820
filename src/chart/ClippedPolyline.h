// The polylines of the elevation chart's series and of the 3D scene's track and shadows: a move
// to the first point and a line to each of the others, leaving out the lines that lie wholly
// outside the surface's clip box, so that a window on a page zoomed 16 times draws the part it
// shows and not a page of 32000 pixels.
#pragma once

#include "CDC.h"

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
