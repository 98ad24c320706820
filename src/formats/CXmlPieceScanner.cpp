#include "CXmlPieceScanner.h"

#include <cstring>

namespace {

constexpr std::string_view kCommentOpen = "<!--";
constexpr std::string_view kCdataOpen = "<![CDATA[";
constexpr std::string_view kDoctypeOpen = "<!DOCTYPE";
constexpr std::string_view kCommentClose = "-->";
constexpr std::string_view kCdataClose = "]]>";
constexpr std::string_view kPiClose = "?>";

// Whether the bytes so far could still become the opening.
bool MayBecome(std::string_view bytes, std::string_view opening) {
    return bytes.size() < opening.size() && opening.starts_with(bytes);
}

std::size_t Offset(std::string_view bytes, const void* p) {
    return static_cast<std::size_t>(static_cast<const char*>(p) - bytes.data());
}

// The first c in [p, end), or end.
const char* Find(const char* p, const char* end, char c) {
    const void* hit = std::memchr(p, c, static_cast<std::size_t>(end - p));
    return hit ? static_cast<const char*>(hit) : end;
}

// The first '>' or quote in [p, end), or end.
const char* FindTagEndOrQuote(const char* p, const char* end) {
    while (p < end && *p != '>' && *p != '"' && *p != '\'')
        ++p;
    return p;
}

} // namespace

CXmlPieceScanner::Stop CXmlPieceScanner::Scan(std::string_view bytes, std::size_t nCutAfter) {
    while (m_pos < bytes.size())
        if (const std::optional<Stop> stop = Step(bytes, nCutAfter))
            return *stop;
    return Stop::more;
}

void CXmlPieceScanner::Restart(std::size_t depth) {
    *this = CXmlPieceScanner();
    m_depth = depth;
    m_bRootSeen = true;
}

std::optional<CXmlPieceScanner::Stop> CXmlPieceScanner::Step(std::string_view bytes,
                                                             std::size_t nCutAfter) {
    switch (m_state) {
    case State::text:
        return ScanTags(bytes, nCutAfter);
    case State::markup:
        return ScanMarkup(bytes);
    case State::bang:
        return ScanBang(bytes);
    case State::startTag:
        return ScanStartTag(bytes, nCutAfter);
    case State::quoted:
        return ScanQuoted(bytes);
    case State::endTag:
        return ScanEndTag(bytes, nCutAfter);
    case State::comment:
        return ScanToClose(bytes, kCommentClose);
    case State::cdata:
        return ScanToClose(bytes, kCdataClose);
    case State::pi:
        return ScanToClose(bytes, kPiClose);
    }
    return Stop::fault;
}

// Start and end tags that the bytes hold whole, one after the other, as a document has them
// mostly; anything else is left to the step of its own state.
std::optional<CXmlPieceScanner::Stop> CXmlPieceScanner::ScanTags(std::string_view bytes,
                                                                 std::size_t nCutAfter) {
    const char* const begin = bytes.data();
    const char* const end = begin + bytes.size();
    const char* p = begin + m_pos;
    for (;;) {
        const char* lt = Find(p, end, '<');
        m_pos = static_cast<std::size_t>(lt - begin);
        if (end - lt < 2)
            break;
        const char* gt = nullptr;
        if (lt[1] == '/') {
            gt = Find(lt + 2, end, '>');
            if (gt == end)
                break;
            if (m_depth == 0)
                return Stop::fault;
            --m_depth;
        } else if (lt[1] != '?' && lt[1] != '!') {
            gt = FindTagEndOrQuote(lt + 1, end);
            while (gt != end && *gt != '>') {
                const char* quote = Find(gt + 1, end, *gt);
                gt = quote == end ? end : FindTagEndOrQuote(quote + 1, end);
            }
            if (gt == end)
                break;
            StartTag(gt);
        } else {
            break;
        }
        p = gt + 1;
        m_pos = m_lastCut = static_cast<std::size_t>(p - begin);
        if (m_pos >= nCutAfter)
            return Stop::cut;
    }
    if (m_pos < bytes.size()) {
        m_tokenStart = m_pos;
        m_pos = m_tokenStart + 1;
        m_state = State::markup;
    }
    return std::nullopt;
}

// "<a/>": a '/' just before the '>' is outside any value, which ends with its quote.
void CXmlPieceScanner::StartTag(const char* gt) {
    if (gt[-1] != '/')
        ++m_depth;
    m_bRootSeen = true;
}

std::optional<CXmlPieceScanner::Stop> CXmlPieceScanner::ScanMarkup(std::string_view bytes) {
    switch (bytes[m_pos]) {
    case '/':
        m_state = State::endTag;
        ++m_pos;
        break;
    case '?':
        m_state = State::pi;
        m_bodyStart = ++m_pos;
        break;
    case '!':
        m_state = State::bang;
        break;
    default:
        m_state = State::startTag;
        break;
    }
    return std::nullopt;
}

std::optional<CXmlPieceScanner::Stop> CXmlPieceScanner::ScanBang(std::string_view bytes) {
    const std::string_view at = bytes.substr(m_tokenStart);
    if (at.starts_with(kCommentOpen)) {
        m_state = State::comment;
        m_pos = m_bodyStart = m_tokenStart + kCommentOpen.size();
        return std::nullopt;
    }
    if (at.starts_with(kCdataOpen)) {
        m_state = State::cdata;
        m_pos = m_bodyStart = m_tokenStart + kCdataOpen.size();
        return std::nullopt;
    }
    // The declaration is where a document's own entities and attribute defaults live: the
    // parser that knows them reads such a document.
    if (at.starts_with(kDoctypeOpen))
        return m_depth == 0 && !m_bRootSeen ? Stop::doctype : Stop::fault;
    if (MayBecome(at, kCommentOpen) || MayBecome(at, kCdataOpen) || MayBecome(at, kDoctypeOpen))
        return Stop::more;
    return Stop::fault;
}

std::optional<CXmlPieceScanner::Stop> CXmlPieceScanner::ScanStartTag(std::string_view bytes,
                                                                     std::size_t nCutAfter) {
    const char* p = FindTagEndOrQuote(bytes.data() + m_pos, bytes.data() + bytes.size());
    m_pos = Offset(bytes, p);
    if (m_pos == bytes.size())
        return std::nullopt;
    if (*p != '>') {
        m_quote = *p;
        m_state = State::quoted;
        ++m_pos;
        return std::nullopt;
    }
    StartTag(p);
    return AfterTag(m_pos + 1, nCutAfter);
}

std::optional<CXmlPieceScanner::Stop> CXmlPieceScanner::ScanQuoted(std::string_view bytes) {
    const void* q = std::memchr(bytes.data() + m_pos, m_quote, bytes.size() - m_pos);
    if (!q) {
        m_pos = bytes.size();
        return std::nullopt;
    }
    m_pos = Offset(bytes, q) + 1;
    m_state = State::startTag;
    return std::nullopt;
}

std::optional<CXmlPieceScanner::Stop> CXmlPieceScanner::ScanEndTag(std::string_view bytes,
                                                                   std::size_t nCutAfter) {
    const void* gt = std::memchr(bytes.data() + m_pos, '>', bytes.size() - m_pos);
    if (!gt) {
        m_pos = bytes.size();
        return std::nullopt;
    }
    if (m_depth == 0)
        return Stop::fault;
    --m_depth;
    return AfterTag(Offset(bytes, gt) + 1, nCutAfter);
}

std::optional<CXmlPieceScanner::Stop> CXmlPieceScanner::ScanToClose(std::string_view bytes,
                                                                    std::string_view close) {
    std::size_t p = m_pos;
    while (const void* hit = std::memchr(bytes.data() + p, '>', bytes.size() - p)) {
        const std::size_t gt = Offset(bytes, hit);
        if (gt + 1 >= m_bodyStart + close.size() &&
            bytes.substr(gt + 1 - close.size(), close.size()) == close) {
            m_pos = gt + 1;
            m_state = State::text;
            return std::nullopt;
        }
        p = gt + 1;
    }
    m_pos = bytes.size();
    return std::nullopt;
}

std::optional<CXmlPieceScanner::Stop> CXmlPieceScanner::AfterTag(std::size_t next,
                                                                 std::size_t nCutAfter) {
    m_pos = m_lastCut = next;
    m_state = State::text;
    if (next >= nCutAfter)
        return Stop::cut;
    return std::nullopt;
}
