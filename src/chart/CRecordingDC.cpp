#include "CRecordingDC.h"

#include "CDrawTools.h"

#include <cstdio>

std::string CRecordingDC::PenName(const CPen* p) const {
    if (!p)
        return "none";
    if (const CDrawTools* tools = m_pPalette)
        for (int i = 0; i < tools->m_nPens; ++i)
            if (tools->m_pPen[i] == p)
                return std::to_string(i);
    char buf[64];
    std::snprintf(buf, sizeof buf, "style%d/width%d/#%06X", p->m_nStyle, p->m_nWidth,
                  static_cast<unsigned>(p->m_crColor));
    return buf;
}

std::string CRecordingDC::BrushName(const CBrush* b) const {
    if (!b)
        return "none";
    if (const CDrawTools* tools = m_pPalette)
        for (int i = 0; i < tools->m_nBrushes; ++i)
            if (tools->m_pBrush[i] == b)
                return std::to_string(i);
    char buf[32];
    std::snprintf(buf, sizeof buf, "#%06X", static_cast<unsigned>(b->m_crColor));
    return buf;
}

std::string CRecordingDC::FontName(const CFont* f) const {
    if (!f)
        return "none";
    if (const CDrawTools* tools = m_pPalette) {
        if (f == &tools->m_fontScreen)
            return "screen";
        if (f == &tools->m_fontPrinter)
            return "printer";
    }
    return "other";
}

CRecordingDC CRecordingDC::Screen(int nDpi, int cx, int cy) {
    const RECT client{0, 0, cx, cy};
    return CRecordingDC(nDpi, nDpi, cx, cy, 0, &client);
}

CRecordingDC CRecordingDC::Printer(int nDpi, int cx, int cy) {
    return CRecordingDC(nDpi, nDpi, cx, cy, 1, nullptr);
}

CRecordingDC::CRecordingDC(int nDpiX, int nDpiY, int nHorzRes, int nVertRes, BOOL bPrinting,
                           const RECT* pClient)
    : CFixedDC(nDpiX, nDpiY, nHorzRes, nVertRes, bPrinting, pClient) {}

void CRecordingDC::Add(std::string line) {
    ++m_nCalls;
    if (m_bRecord)
        m_log.push_back(std::move(line));
}

CPen* CRecordingDC::SelectObject(CPen* pPen) {
    Add("SelectPen " + PenName(pPen));
    return CDC::SelectObject(pPen);
}

CBrush* CRecordingDC::SelectObject(CBrush* pBrush) {
    Add("SelectBrush " + BrushName(pBrush));
    return CDC::SelectObject(pBrush);
}

CFont* CRecordingDC::SelectObject(CFont* pFont) {
    Add("SelectFont " + FontName(pFont));
    return CDC::SelectObject(pFont);
}

POINT CRecordingDC::MoveTo(int x, int y) {
    if (m_bRecord)
        Add("MoveTo " + std::to_string(x) + " " + std::to_string(y));
    else
        ++m_nCalls;
    return CDC::MoveTo(x, y);
}

void CRecordingDC::DrawLine(POINT, POINT to) {
    if (m_bRecord)
        Add("LineTo " + std::to_string(to.x) + " " + std::to_string(to.y));
    else
        ++m_nCalls;
}

BOOL CRecordingDC::Rectangle(int x1, int y1, int x2, int y2) {
    Add("Rectangle " + std::to_string(x1) + " " + std::to_string(y1) + " " + std::to_string(x2) +
        " " + std::to_string(y2));
    return 1;
}

BOOL CRecordingDC::TextOut(int x, int y, const char* lpszString, int nCount) {
    Add("TextOut " + std::to_string(x) + " " + std::to_string(y) + " align " +
        std::to_string(m_nTextAlign) + " \"" + std::string(lpszString, nCount) + "\"");
    return 1;
}

BOOL CRecordingDC::FillRgn(CRgn* pRgn, CBrush* pBrush) {
    std::string line = "FillRgn brush ";
    line += BrushName(pBrush);
    line += " mode ";
    line += std::to_string(pRgn->m_nFillMode);
    for (int i = 0; i < pRgn->m_nCount; ++i) {
        line += ' ';
        line += std::to_string(pRgn->m_pt[i].x);
        line += ',';
        line += std::to_string(pRgn->m_pt[i].y);
    }
    Add(std::move(line));
    return 1;
}

UINT CRecordingDC::SetTextAlign(UINT nFlags) {
    Add("SetTextAlign " + std::to_string(nFlags));
    return CDC::SetTextAlign(nFlags);
}

int CRecordingDC::SetBkMode(int nBkMode) {
    Add("SetBkMode " + std::to_string(nBkMode));
    return CDC::SetBkMode(nBkMode);
}

int CRecordingDC::SetROP2(int nDrawMode) {
    Add("SetROP2 " + std::to_string(nDrawMode));
    return CDC::SetROP2(nDrawMode);
}

std::string CRecordingDC::Text() const {
    std::string all;
    for (const std::string& line : m_log)
        all += line + '\n';
    return all;
}

std::vector<std::string> CRecordingDC::Lines(const std::string& word) const {
    std::vector<std::string> found;
    for (const std::string& line : m_log)
        if (line.compare(0, word.size(), word) == 0 &&
            (line.size() == word.size() || line[word.size()] == ' '))
            found.push_back(line);
    return found;
}
