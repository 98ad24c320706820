#include "CSvgDC.h"

#include "LogicalCoord.h"
#include "TextLayout.h"

#include <algorithm>
#include <charconv>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {
void AppendColor(std::string& out, COLORREF c) {
    char buf[8];
    std::snprintf(buf, sizeof buf, "#%02X%02X%02X", GetRValue(c), GetGValue(c), GetBValue(c));
    out += buf;
}

// Texts are single-byte (the Latin range of Windows-1252); the document is UTF-8.
void AppendEscaped(std::string& out, const char* psz, int nCount) {
    for (int i = 0; i < nCount; ++i) {
        const unsigned char c = static_cast<unsigned char>(psz[i]);
        switch (c) {
        case '&':
            out += "&amp;";
            break;
        case '<':
            out += "&lt;";
            break;
        case '>':
            out += "&gt;";
            break;
        case '"':
            out += "&quot;";
            break;
        default:
            if (c >= 0xA0) {
                out += static_cast<char>(0xC0 | (c >> 6));
                out += static_cast<char>(0x80 | (c & 0x3F));
            } else if (c >= 0x80) {
                out += '?';
            } else if (c >= 0x20 || c == '\t') {
                out += static_cast<char>(c);
            }
        }
    }
}

// Horizontal part of the text alignment as SVG's text-anchor.
const char* AnchorName(TextAnchor anchor) {
    switch (anchor) {
    case TextAnchor::Centre:
        return "middle";
    case TextAnchor::Right:
        return "end";
    case TextAnchor::Left:
        break;
    }
    return "start";
}

// Vertical part as SVG's dominant-baseline.
const char* BaselineName(TextLine line) {
    switch (line) {
    case TextLine::Baseline:
        return "alphabetic";
    case TextLine::Bottom:
        return "text-after-edge";
    case TextLine::Top:
        break;
    }
    return "text-before-edge";
}
} // namespace

CSvgDC CSvgDC::Screen(int nDpi, int cx, int cy) {
    const RECT client{0, 0, cx, cy};
    return CSvgDC(nDpi, nDpi, cx, cy, 0, &client);
}

CSvgDC CSvgDC::Printer(int nDpi, int cx, int cy) {
    return CSvgDC(nDpi, nDpi, cx, cy, 1, nullptr);
}

CSvgDC::CSvgDC(int nDpiX, int nDpiY, int nHorzRes, int nVertRes, BOOL bPrinting,
               const RECT* pClient)
    : CFixedDC(nDpiX, nDpiY, nHorzRes, nVertRes, bPrinting, pClient) {}

int CSvgDC::DefaultFontSize() const {
    // 10 points.
    return std::max(1, TruncToInt(GetDeviceCaps(LOGPIXELSY) * 10.0 / 72.0));
}

CPen* CSvgDC::SelectObject(CPen* pPen) {
    if (pPen != m_pPen)
        EndPolyline();
    return CDC::SelectObject(pPen);
}

POINT CSvgDC::MoveTo(int x, int y) {
    EndPolyline();
    return CDC::MoveTo(x, y);
}

void CSvgDC::DrawLine(POINT from, POINT to) {
    if (!m_bInPolyline) {
        m_body += "<polyline";
        AppendStroke(m_pPen);
        m_body += " fill=\"none\" stroke-linejoin=\"round\" stroke-linecap=\"round\" points=\"";
        AppendPoint(from);
        m_bInPolyline = true;
    }
    m_body += ' ';
    AppendPoint(to);
}

void CSvgDC::EndPolyline() {
    if (!m_bInPolyline)
        return;
    m_body += "\"/>\n";
    m_bInPolyline = false;
}

BOOL CSvgDC::Rectangle(int x1, int y1, int x2, int y2) {
    EndPolyline();
    m_body += "<rect x=\"";
    AppendInt(std::min(x1, x2));
    m_body += "\" y=\"";
    AppendInt(std::min(y1, y2));
    m_body += "\" width=\"";
    AppendInt(std::abs(x2 - x1));
    m_body += "\" height=\"";
    AppendInt(std::abs(y2 - y1));
    m_body += '"';
    AppendStroke(m_pPen);
    m_body += " fill=\"";
    AppendColor(m_body, m_pBrush ? m_pBrush->m_crColor : RGB(255, 255, 255));
    m_body += "\"/>\n";
    return 1;
}

BOOL CSvgDC::TextOut(int x, int y, const char* lpszString, int nCount) {
    const int nLength = TextLength(lpszString, nCount);
    if (nLength == 0)
        return 1;
    EndPolyline();
    const TextAlignment align = DecodeTextAlign(m_nTextAlign);
    m_body += "<text x=\"";
    AppendInt(x);
    m_body += "\" y=\"";
    AppendInt(y);
    m_body += '"';
    AppendFont(m_pFont);
    m_body += " text-anchor=\"";
    m_body += AnchorName(align.anchor);
    m_body += "\" dominant-baseline=\"";
    m_body += BaselineName(align.line);
    m_body += '"';
    if (const double angle = TextAngle(m_pFont); angle != 0) {
        char buf[48];
        std::snprintf(buf, sizeof buf, " transform=\"rotate(%g ", -angle);
        m_body += buf;
        AppendInt(x);
        m_body += ' ';
        AppendInt(y);
        m_body += ")\"";
    }
    m_body += '>';
    AppendEscaped(m_body, lpszString, nLength);
    m_body += "</text>\n";
    return 1;
}

BOOL CSvgDC::FillRgn(CRgn* pRgn, CBrush* pBrush) {
    EndPolyline();
    m_body += "<polygon points=\"";
    for (int i = 0; i < pRgn->m_nCount; ++i) {
        if (i > 0)
            m_body += ' ';
        AppendPoint(pRgn->m_pt[i]);
    }
    m_body += "\" fill=\"";
    AppendColor(m_body, pBrush ? pBrush->m_crColor : RGB(255, 255, 255));
    m_body +=
        pRgn->m_nFillMode == WINDING ? "\" fill-rule=\"nonzero\"" : "\" fill-rule=\"evenodd\"";
    m_body += " stroke=\"none\"/>\n";
    return 1;
}

std::string CSvgDC::Document(CSize size) {
    EndPolyline();
    std::string doc;
    doc.reserve(m_body.size() + 256);
    doc += "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
           "<svg xmlns=\"http://www.w3.org/2000/svg\" version=\"1.1\" width=\"";
    doc += std::to_string(size.cx);
    doc += "\" height=\"";
    doc += std::to_string(size.cy);
    doc += "\" viewBox=\"0 0 ";
    doc += std::to_string(size.cx);
    doc += ' ';
    doc += std::to_string(size.cy);
    doc += "\" style=\"background-color:#FFFFFF\">\n";
    doc += m_body;
    doc += "</svg>\n";
    return doc;
}

void CSvgDC::AppendInt(int v) {
    char buf[16];
    const auto res = std::to_chars(buf, buf + sizeof buf, v);
    m_body.append(buf, res.ptr);
}

void CSvgDC::AppendPoint(POINT pt) {
    AppendInt(pt.x);
    m_body += ',';
    AppendInt(pt.y);
}

// A missing pen draws thin black lines; the dotted and dashed styles become a dash array.
void CSvgDC::AppendStroke(const CPen* pPen) {
    const int nWidth = pPen ? std::max(pPen->m_nWidth, 1) : 1;
    m_body += " stroke=\"";
    AppendColor(m_body, pPen ? pPen->m_crColor : RGB(0, 0, 0));
    m_body += "\" stroke-width=\"";
    AppendInt(nWidth);
    m_body += '"';
    if (pPen && (pPen->m_nStyle == PS_DOT || pPen->m_nStyle == PS_DASH)) {
        const int nDash = pPen->m_nStyle == PS_DASH ? 3 : 1;
        m_body += " stroke-dasharray=\"";
        AppendInt(2 * nDash * nWidth);
        m_body += ' ';
        AppendInt(2 * nWidth);
        m_body += '"';
    }
}

// The face "Roman" stands for a serif face; the surface's own font is sans-serif, 10 points.
// Without font metrics, a font's cell height is taken as its size.
void CSvgDC::AppendFont(const CFont* pFont) {
    const CFont* pText = TextFont(pFont);
    m_body += " font-family=\"";
    if (!pText || pText->m_logfont.lfFaceName[0] == '\0') {
        m_body += "sans-serif";
    } else if (std::strcmp(pText->m_logfont.lfFaceName, "Roman") == 0) {
        m_body += "serif";
    } else {
        m_body += '\'';
        AppendEscaped(m_body, pText->m_logfont.lfFaceName,
                      static_cast<int>(std::strlen(pText->m_logfont.lfFaceName)));
        m_body += "', sans-serif";
    }
    const TextSize size = DecodeFontHeight(pText);
    m_body += "\" font-size=\"";
    AppendInt(size.nHeight > 0 ? size.nHeight : DefaultFontSize());
    m_body += "\" fill=\"#000000\"";
}
