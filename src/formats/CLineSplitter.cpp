#include "CLineSplitter.h"

#include <algorithm>

namespace {
bool IsLineEnd(char c) {
    return c == '\n' || c == '\r';
}
} // namespace

void CLineSplitter::Feed(std::span<const char> bytes, const LineSink& onLine) {
    const char* p = bytes.data();
    const char* const end = p + bytes.size();
    while (p != end) {
        const char* lineEnd = std::find_if(p, end, IsLineEnd);
        Take(std::string_view(p, static_cast<std::size_t>(lineEnd - p)), lineEnd != end, onLine);
        p = lineEnd == end ? end : lineEnd + 1;
    }
}

void CLineSplitter::Finish(const LineSink& onLine) {
    Take({}, true, onLine);
}

// A line that lies whole in one piece goes out without a copy.
void CLineSplitter::Take(std::string_view part, bool bEnds, const LineSink& onLine) {
    if (m_line.size() + part.size() > kMaxLineBytes) {
        m_bTooLong = true;
        m_line.clear();
    } else if (!m_bTooLong && (!m_line.empty() || !bEnds)) {
        m_line.append(part);
    }
    if (!bEnds)
        return;
    const std::string_view line = m_line.empty() ? part : std::string_view(m_line);
    if (!m_bTooLong && !line.empty())
        onLine(line);
    m_line.clear();
    m_bTooLong = false;
}
