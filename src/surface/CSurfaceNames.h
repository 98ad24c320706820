// The names a recording surface writes for the pens, brushes and fonts it is handed ("SelectPen
// 8" rather than the pen's attributes). Filled by whoever owns the palette; used by CRecordingDC.
#pragma once

#include "CBrush.h"
#include "CFont.h"
#include "CPen.h"

#include <string>
#include <utility>
#include <vector>

class CSurfaceNames {
public:
    void AddPen(const CPen* pPen, std::string name);
    void AddBrush(const CBrush* pBrush, std::string name);
    void AddFont(const CFont* pFont, std::string name);

    // The name an object was added with, or nullptr when it has none.
    const std::string* Find(const CPen* pPen) const;
    const std::string* Find(const CBrush* pBrush) const;
    const std::string* Find(const CFont* pFont) const;

private:
    std::vector<std::pair<const CPen*, std::string>> m_pens;
    std::vector<std::pair<const CBrush*, std::string>> m_brushes;
    std::vector<std::pair<const CFont*, std::string>> m_fonts;
};
