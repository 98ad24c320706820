#include "MessageText.h"

namespace {
constexpr std::size_t kEscapeChars = 4; // "\x1b"
constexpr char kEllipsis[] = "...";
constexpr char32_t kFirstAfterC1 = 0xA0;
constexpr char32_t kLastCodePoint = 0x10FFFF;
constexpr char32_t kFirstSurrogate = 0xD800;
constexpr char32_t kLastSurrogate = 0xDFFF;

// The length of the UTF-8 sequence at the start of text that stands for a printable character
// beyond ASCII (no C1 control, no overlong form, no surrogate), or 0.
std::size_t PrintableSequence(std::string_view text) {
    const auto lead = static_cast<unsigned char>(text[0]);
    const std::size_t n = lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC0 ? 2 : 0;
    if (n == 0 || lead > 0xF4 || text.size() < n)
        return 0;
    char32_t c = lead & (0x7F >> n);
    for (std::size_t i = 1; i < n; ++i) {
        const auto b = static_cast<unsigned char>(text[i]);
        if ((b & 0xC0) != 0x80)
            return 0;
        c = (c << 6) | (b & 0x3F);
    }
    static constexpr char32_t kSmallest[5] = {0, 0, kFirstAfterC1, 0x800, 0x10000};
    if (c < kSmallest[n] || c > kLastCodePoint || (c >= kFirstSurrogate && c <= kLastSurrogate))
        return 0;
    return n;
}

void AppendEscaped(std::string& out, unsigned char byte) {
    static constexpr char kHex[] = "0123456789abcdef";
    out += "\\x";
    out += kHex[byte >> 4];
    out += kHex[byte & 0xF];
}
} // namespace

std::string QuotedText(std::string_view text) {
    std::string out;
    std::size_t nShown = 0;
    std::size_t at = 0;
    while (at < text.size()) {
        const auto byte = static_cast<unsigned char>(text[at]);
        const bool bAscii = byte >= 0x20 && byte < 0x7F;
        const std::size_t nBytes = bAscii ? 1 : PrintableSequence(text.substr(at));
        const std::size_t nChars = nBytes > 0 ? 1 : kEscapeChars;
        if (nShown + nChars > kMaxQuotedChars)
            return out + kEllipsis;
        if (nBytes > 0)
            out.append(text.substr(at, nBytes));
        else
            AppendEscaped(out, byte);
        nShown += nChars;
        at += nBytes > 0 ? nBytes : 1;
    }
    return out;
}
