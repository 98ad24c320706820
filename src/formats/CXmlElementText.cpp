#include "CXmlElementText.h"

namespace {

bool IsXmlSpace(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

} // namespace

void CXmlElementText::Begin(std::size_t depth) {
    m_depth = depth;
    m_text.clear();
    m_bTooLong = false;
}

void CXmlElementText::Append(std::string_view text) {
    if (m_bTooLong)
        return;
    while (m_text.empty() && !text.empty() && IsXmlSpace(text.front()))
        text.remove_prefix(1);
    if (text.size() > kMaxBytes - m_text.size()) {
        m_bTooLong = true;
        return;
    }
    m_text.append(text);
}

std::string_view CXmlElementText::End() {
    m_depth = 0;
    return m_bTooLong ? std::string_view() : std::string_view(m_text);
}
