// How a text call is read from a surface's state, written once for the SVG surface (CSvgDC) and
// the Qt surface (CQtDC): the reference point that the alignment flags name, the characters
// that are drawn, and the size and angle that the selected font asks for.
#pragma once

#include "CFont.h"
#include "WinDef.h"

#include <algorithm>
#include <climits>

// The horizontal part of the alignment: which point of the text stands at the reference x.
enum class TextAnchor { Left, Centre, Right };
// The vertical part: the top of the text's cell, its bottom, or the baseline of its characters.
enum class TextLine { Top, Bottom, Baseline };

struct TextAlignment {
    TextAnchor anchor;
    TextLine line;
};

inline TextAlignment DecodeTextAlign(UINT nFlags) {
    TextAlignment align{TextAnchor::Left, TextLine::Top};
    if ((nFlags & TA_CENTER) == TA_CENTER)
        align.anchor = TextAnchor::Centre;
    else if (nFlags & TA_RIGHT)
        align.anchor = TextAnchor::Right;
    if ((nFlags & TA_BASELINE) == TA_BASELINE)
        align.line = TextLine::Baseline;
    else if (nFlags & TA_BOTTOM)
        align.line = TextLine::Bottom;
    return align;
}

// The number of characters a text call draws: none for a missing string or a count below 1.
inline int TextLength(const char* psz, int nCount) {
    return psz && nCount > 0 ? nCount : 0;
}

// The font a text call draws with: a font that was never created, or was deleted, counts as
// none (the surface's own font).
inline const CFont* TextFont(const CFont* pFont) {
    return pFont && pFont->IsCreated() ? pFont : nullptr;
}

// The size a font asks for, in logical units: a negative height is the character height, a
// positive one the whole cell (ascent plus descent). 0: the surface's default size.
struct TextSize {
    int nHeight;
    bool bCell;
};

inline TextSize DecodeFontHeight(const CFont* pFont) {
    const CFont* pText = TextFont(pFont);
    if (!pText)
        return TextSize{0, false};
    const int nHeight = std::max(pText->m_logfont.lfHeight, -INT_MAX);
    return TextSize{nHeight < 0 ? -nHeight : nHeight, nHeight > 0};
}

// The angle the text turns counter-clockwise about its reference point, in degrees.
inline double TextAngle(const CFont* pFont) {
    const CFont* pText = TextFont(pFont);
    return pText ? pText->m_logfont.lfEscapement / 10.0 : 0.0;
}
