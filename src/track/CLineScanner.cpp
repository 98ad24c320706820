#include "CLineScanner.h"

#include <array>
#include <charconv>
#include <cmath>
#include <cstring>

namespace {
// The white space of "%s" (blank, tab, line feed, vertical tab, form feed, carriage return),
// looked up by character code since every character of a line is tested.
constexpr auto kBlanks = [] {
    std::array<bool, 256> blanks{};
    for (unsigned char c : {' ', '\t', '\n', '\v', '\f', '\r'})
        blanks[c] = true;
    return blanks;
}();

bool IsBlank(char c) {
    return kBlanks[static_cast<unsigned char>(c)];
}
} // namespace

CLineScanner::CLineScanner(const char* pszLine)
    : m_p(pszLine), m_pEnd(pszLine + std::strlen(pszLine)) {}

void CLineScanner::SkipBlanks() {
    while (IsBlank(*m_p))
        ++m_p;
}

bool CLineScanner::SkipWord() {
    SkipBlanks();
    if (*m_p == '\0')
        return false;
    while (*m_p != '\0' && !IsBlank(*m_p))
        ++m_p;
    return true;
}

bool CLineScanner::Word(char* pszToken) {
    SkipBlanks();
    if (*m_p == '\0')
        return false;
    int n = 0;
    while (*m_p != '\0' && !IsBlank(*m_p)) {
        if (n < kTokenSize - 1)
            pszToken[n++] = *m_p;
        ++m_p;
    }
    pszToken[n] = '\0';
    return true;
}

// Parses an optional sign and a decimal number (or inf/nan) at p, as "%f" does. Returns the end
// of what was read, or nullptr when no number starts at p. The number ends at the first character
// that cannot continue it, so a blank or the end of the line ends it too.
const char* CLineScanner::ParseNumber(const char* p, const char* pEnd, float& f) {
    bool negative = false;
    if (*p == '+' || *p == '-') {
        negative = *p++ == '-';
        if (*p == '+' || *p == '-')
            return nullptr; // one sign only: "--5" is no number
    }
    float value = 0.0f;
    const auto [ptr, ec] = std::from_chars(p, pEnd, value, std::chars_format::general);
    if (ptr == p)
        return nullptr;
    if (ec != std::errc() || !std::isfinite(value))
        value = 0.0f;
    f = negative ? -value : value;
    return ptr;
}

bool CLineScanner::Number(float& f) {
    SkipBlanks();
    const char* end = ParseNumber(m_p, m_pEnd, f);
    if (!end)
        return false;
    m_p = end;
    return true;
}

bool CLineScanner::NextIsNumber() const {
    const char* p = m_p;
    while (IsBlank(*p))
        ++p;
    float ignored = 0.0f;
    return ParseNumber(p, m_pEnd, ignored) != nullptr;
}

void CLineScanner::ScanFloat(const char* psz, float& f) {
    CLineScanner scanner(psz);
    scanner.Number(f);
}
