#include "CSurfaceNames.h"

namespace {
// The first entry wins, so a palette that lists an object twice keeps its lower slot.
template <class T>
const std::string* FindName(const std::vector<std::pair<const T*, std::string>>& table,
                            const T* pObject) {
    for (const auto& entry : table)
        if (entry.first == pObject)
            return &entry.second;
    return nullptr;
}
} // namespace

void CSurfaceNames::AddPen(const CPen* pPen, std::string name) {
    m_pens.emplace_back(pPen, std::move(name));
}

void CSurfaceNames::AddBrush(const CBrush* pBrush, std::string name) {
    m_brushes.emplace_back(pBrush, std::move(name));
}

void CSurfaceNames::AddFont(const CFont* pFont, std::string name) {
    m_fonts.emplace_back(pFont, std::move(name));
}

const std::string* CSurfaceNames::Find(const CPen* pPen) const {
    return FindName(m_pens, pPen);
}

const std::string* CSurfaceNames::Find(const CBrush* pBrush) const {
    return FindName(m_brushes, pBrush);
}

const std::string* CSurfaceNames::Find(const CFont* pFont) const {
    return FindName(m_fonts, pFont);
}
