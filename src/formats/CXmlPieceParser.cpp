#include "CXmlPieceParser.h"

#include <pugixml.hpp>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <new>
#include <optional>
#include <string_view>

namespace {

// The five predefined entities and character references are read, a DTD's entities never; line
// ends, and blanks in attribute values, come out as XML says; the text of an element lives in the
// element itself, which saves a node for every number a track point holds.
constexpr unsigned kParseFlags = pugi::parse_cdata | pugi::parse_escapes |
                                 pugi::parse_embed_pcdata | pugi::parse_eol |
                                 pugi::parse_wconv_attribute;

// The bytes are taken this many at a time, so that no more is left over after a cut.
constexpr std::size_t kTakeBytes = 64 * 1024;

// A root element that has ended, for the stream parser to take over after it.
constexpr std::string_view kEndedRoot = "<r/>";
// Ends every piece: an empty element, the last element of the piece in document order, whose
// ancestors are the elements open at the piece's end. The blank after it lets pugixml parse it
// whole, so that elements still open are the only fault it can find at the very end; no
// element's text keeps a run of blanks alone.
constexpr std::string_view kMarker = "<_/> ";
constexpr std::string_view kMarkerName = "_";

constexpr std::string_view kUtf8Bom = "\xEF\xBB\xBF";
constexpr std::string_view kXmlDeclaration = "<?xml";
constexpr std::string_view kEncoding = "encoding";

// The line ends in bytes, eight at a time. A byte of x is zero where the byte was '\n'; the sum
// below sets its top bit only for the others (no carry crosses a byte), and the counts gather in
// the bytes of a word, at most 255 words at a time.
std::size_t CountLines(std::string_view bytes) {
    constexpr std::uint64_t kNewlines = 0x0A0A0A0A0A0A0A0AULL;
    constexpr std::uint64_t kLow7 = 0x7F7F7F7F7F7F7F7FULL;
    constexpr std::uint64_t kHigh = 0x8080808080808080ULL;
    constexpr std::uint64_t kEvenBytes = 0x00FF00FF00FF00FFULL;
    constexpr std::uint64_t kSumPairs = 0x0001000100010001ULL;
    constexpr std::size_t kWordsPerSum = 255;
    constexpr std::size_t kWord = sizeof(std::uint64_t);
    std::size_t n = 0;
    std::size_t i = 0;
    while (i + kWord <= bytes.size()) {
        std::uint64_t counts = 0;
        for (std::size_t k = 0; k < kWordsPerSum && i + kWord <= bytes.size(); ++k, i += kWord) {
            std::uint64_t word;
            std::memcpy(&word, bytes.data() + i, kWord);
            const std::uint64_t x = word ^ kNewlines;
            counts += (~(((x & kLow7) + kLow7) | x) & kHigh) >> 7;
        }
        const std::uint64_t pairs = (counts & kEvenBytes) + ((counts >> 8) & kEvenBytes);
        n += static_cast<std::size_t>((pairs * kSumPairs) >> 48);
    }
    for (; i < bytes.size(); ++i)
        n += bytes[i] == '\n';
    return n;
}

bool IsXmlSpace(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

std::string_view SkipSpace(std::string_view s) {
    while (!s.empty() && IsXmlSpace(s.front()))
        s.remove_prefix(1);
    return s;
}

bool EqualsIgnoringCase(std::string_view a, std::string_view b) {
    return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
        return (x >= 'a' && x <= 'z' ? x - 'a' + 'A' : x) == y;
    });
}

// The value of the declaration's encoding, "UTF-8" when it names none; empty when it cannot be
// read here.
std::string_view DeclaredEncoding(std::string_view declaration) {
    const std::size_t at = declaration.find(kEncoding);
    if (at == std::string_view::npos)
        return "UTF-8";
    std::string_view s = SkipSpace(declaration.substr(at + kEncoding.size()));
    if (s.empty() || s.front() != '=')
        return {};
    s = SkipSpace(s.substr(1));
    if (s.empty() || (s.front() != '"' && s.front() != '\''))
        return {};
    const std::size_t end = s.find(s.front(), 1);
    return end == std::string_view::npos ? std::string_view() : s.substr(1, end - 1);
}

// Whether pugixml reads the document that begins with head as XML does: UTF-8 (US-ASCII is the
// same bytes), no NUL byte.
bool PiecesCanRead(std::string_view head) {
    if (head.empty() || head.find('\0') != std::string_view::npos || head.starts_with("\xFE\xFF") ||
        head.starts_with("\xFF\xFE"))
        return false;
    if (head.starts_with(kUtf8Bom))
        head.remove_prefix(kUtf8Bom.size());
    if (!head.starts_with(kXmlDeclaration) || head.size() == kXmlDeclaration.size() ||
        !IsXmlSpace(head[kXmlDeclaration.size()]))
        return true;
    const std::size_t end = head.find("?>");
    if (end == std::string_view::npos)
        return false;
    const std::string_view encoding = DeclaredEncoding(head.substr(0, end));
    return EqualsIgnoringCase(encoding, "UTF-8") || EqualsIgnoringCase(encoding, "US-ASCII");
}

} // namespace

CXmlPieceParser::CXmlPieceParser(CXmlHandler& handler, std::size_t nPieceBytes)
    : m_handler(handler), m_nPieceBytes(std::max<std::size_t>(nPieceBytes, 1)),
      m_nMaxPieceBytes(std::max(m_nPieceBytes * kMaxPieceFactor, kMinMaxPieceBytes)),
      m_nul(std::string::npos), m_document(std::make_unique<pugi::xml_document>()) {}

CXmlPieceParser::~CXmlPieceParser() = default;

bool CXmlPieceParser::Feed(std::span<const char> bytes) {
    while (!m_stream && !bytes.empty()) {
        const std::span<const char> part = bytes.first(std::min(bytes.size(), kTakeBytes));
        bytes = bytes.subspan(part.size());
        Take(part);
    }
    if (!m_stream)
        return true;
    return bytes.empty() ? !m_stream->Failed() : m_stream->Feed(bytes);
}

bool CXmlPieceParser::Finish() {
    if (!m_stream && m_mode == Mode::head)
        StartPieces();
    ReadPieces(true);
    Release();
    return !m_stream || m_stream->Finish();
}

void CXmlPieceParser::Take(std::span<const char> part) {
    if (m_nul == std::string::npos)
        if (const void* nul = std::memchr(part.data(), '\0', part.size()))
            m_nul = m_bytes.size() +
                    static_cast<std::size_t>(static_cast<const char*>(nul) - part.data());
    m_bytes.append(part.data(), part.size());
    if (m_mode == Mode::head && m_bytes.size() >= CXmlStreamParser::kHeadBytes)
        StartPieces();
    ReadPieces(false);
}

void CXmlPieceParser::StartPieces() {
    if (!PiecesCanRead(std::string_view(m_bytes).substr(0, CXmlStreamParser::kHeadBytes))) {
        HandOver();
        return;
    }
    // The prolog is scanned for a document type declaration up to the root element's start.
    m_mode = Mode::careful;
    // A piece and what is taken after its cut point, without growing on the way.
    m_bytes.reserve(m_nPieceBytes + kTakeBytes);
    m_parsed.reserve(m_nPieceBytes + kTakeBytes);
}

void CXmlPieceParser::ReadPieces(bool bFinal) {
    while (!m_stream && m_mode != Mode::head) {
        // Long names of deeply nested elements would make every piece long.
        if (m_prefix.size() > kMaxPrefixBytes) {
            HandOver();
            return;
        }
        if (!(m_mode == Mode::quick ? ReadQuickly(bFinal) : ReadCarefully(bFinal)))
            return;
    }
}

// True when there may be more to read in the bytes held.
bool CXmlPieceParser::ReadQuickly(bool bFinal) {
    const std::size_t limit = std::min({m_bytes.size(), m_nul, m_nMaxPieceBytes});
    if (const std::size_t cut = FindQuickCut(limit); cut != std::string::npos)
        return TakePiece(cut, false);
    if (limit < m_bytes.size() || limit == m_nMaxPieceBytes) {
        BeCareful();
        return true;
    }
    return bFinal && TakePiece(m_bytes.size(), true);
}

// The first '<' from the piece size on, before limit; npos when there is none.
std::size_t CXmlPieceParser::FindQuickCut(std::size_t limit) {
    const std::size_t from = std::max(m_nPieceBytes, m_nSearched);
    if (from >= limit)
        return std::string::npos;
    const void* lt = std::memchr(m_bytes.data() + from, '<', limit - from);
    if (!lt) {
        m_nSearched = limit;
        return std::string::npos;
    }
    return static_cast<std::size_t>(static_cast<const char*>(lt) - m_bytes.data());
}

// Where the scanner finds no cut point before the largest piece, pugixml reads up to the last
// cut point and the piece goes on from there; what cannot be cut at all, or ends the document
// early, goes to the stream parser from the last cut point on.
bool CXmlPieceParser::ReadCarefully(bool bFinal) {
    const std::size_t limit = std::min({m_bytes.size(), m_nul, m_nMaxPieceBytes});
    const bool bProlog = !m_scanner.RootSeen();
    const CXmlPieceScanner::Stop stop =
        m_scanner.Scan(std::string_view(m_bytes).substr(0, limit), bProlog ? 0 : m_nPieceBytes);
    const bool bScannedAll = stop == CXmlPieceScanner::Stop::more;
    if (stop == CXmlPieceScanner::Stop::cut) {
        if (!bProlog)
            return TakePiece(m_scanner.Position(), false);
        m_mode = Mode::quick; // the root element has begun
        return true;
    }
    if (bScannedAll && limit == m_bytes.size() && limit < m_nMaxPieceBytes) {
        if (!bFinal)
            return false;
        if (m_scanner.Complete())
            return TakePiece(limit, true);
    } else if (bScannedAll && limit == m_nMaxPieceBytes && limit < m_nul &&
               m_scanner.LastCut() > 0) {
        return TakePiece(m_scanner.LastCut(), false);
    }
    if (m_scanner.LastCut() > 0 && !TakePiece(m_scanner.LastCut(), false))
        return false;
    HandOver();
    return false;
}

void CXmlPieceParser::BeCareful() {
    m_mode = Mode::careful;
    m_scanner.Restart(m_nPrefixElements);
}

// Reads the piece that ends at cut; true when there may be more to read in the bytes held.
bool CXmlPieceParser::TakePiece(std::size_t cut, bool bFinal) {
    switch (ParsePiece(cut)) {
    case Parsed::inToken:
        if (m_mode == Mode::quick) {
            BeCareful();
            return true;
        }
        break;
    case Parsed::refused: // or, for a cut point the scanner found, pugixml saw it otherwise
        break;
    case Parsed::whole:
        // A document that ends inside its elements: the stream parser says where.
        if (bFinal && !m_openAtEnd.empty())
            break;
        if (!Walk())
            return false;
        NextPiece(cut);
        return !bFinal;
    }
    HandOver();
    return false;
}

CXmlPieceParser::Parsed CXmlPieceParser::ParsePiece(std::size_t cut) {
    m_parsed.assign(m_prefix);
    m_parsed.append(m_bytes, 0, cut);
    m_parsed += kMarker;
    const pugi::xml_parse_result result = m_document->load_buffer_inplace(
        m_parsed.data(), m_parsed.size(), kParseFlags, pugi::encoding_utf8);
    if (result.status == pugi::status_out_of_memory)
        throw std::bad_alloc();
    const bool bOpen = result.status == pugi::status_end_element_mismatch &&
                       static_cast<std::size_t>(result.offset) == m_parsed.size() - 1;
    if (!result && !bOpen)
        return static_cast<std::size_t>(result.offset) >= m_prefix.size() + cut ? Parsed::inToken
                                                                                : Parsed::refused;
    return FindOpenAtEnd(bOpen) ? Parsed::whole : Parsed::refused;
}

// The marker is the last node of the tree; the elements open at the piece's end are its
// ancestors, each the last child of the one before.
bool CXmlPieceParser::FindOpenAtEnd(bool bOpen) {
    m_openAtEnd.clear();
    pugi::xml_node node = m_document->last_child();
    while (const pugi::xml_node child = node.last_child()) {
        m_openAtEnd.push_back(node.internal_object());
        node = child;
    }
    m_pMarker = node.internal_object();
    return bOpen == !m_openAtEnd.empty() && node.type() == pugi::node_element &&
           node.name() == kMarkerName;
}

// The tree in document order, up to the marker. Its first m_nPrefixElements elements are the
// wrapping start tags' and began in an earlier piece; the marker's ancestors end in a later one.
// False when the stream parser has taken over.
bool CXmlPieceParser::Walk() {
    std::size_t nWrapping = m_nPrefixElements;
    std::size_t depth = 1;
    pugi::xml_node node = m_document->first_child();
    while (node.internal_object() != m_pMarker) {
        if (node.type() == pugi::node_element) {
            const bool bWrapping = nWrapping > 0;
            nWrapping -= bWrapping;
            if (depth > CXmlStreamParser::kMaxDepth) {
                HandOverAt(node);
                return false;
            }
            StartElement(node, depth, bWrapping);
            if (const pugi::xml_node child = node.first_child()) {
                node = child;
                ++depth;
                continue;
            }
            EndElement(depth);
        } else if (m_text.Keeping() && depth == m_text.Depth() + 1) {
            m_text.Append(node.value());
        }
        pugi::xml_node next = node.next_sibling();
        while (!next) {
            node = node.parent();
            --depth;
            EndElement(depth);
            next = node.next_sibling();
        }
        node = next;
    }
    return true;
}

void CXmlPieceParser::StartElement(const pugi::xml_node& node, std::size_t depth, bool bWrapping) {
    if (!bWrapping) {
        m_attributes.clear();
        for (pugi::xml_attribute a = node.first_attribute(); a; a = a.next_attribute()) {
            m_attributes.push_back(a.name());
            m_attributes.push_back(a.value());
        }
        m_attributes.push_back(nullptr);
        if (m_handler.StartElement(CXmlHandler::LocalName(node.name()), m_attributes.data()) &&
            !m_text.Keeping())
            m_text.Begin(depth);
    }
    // The text before the element's first child, which pugixml keeps in the element.
    if (depth == m_text.Depth())
        m_text.Append(node.value());
}

void CXmlPieceParser::EndElement(std::size_t depth) {
    m_handler.EndElement(depth == m_text.Depth() ? m_text.End() : std::string_view());
}

void CXmlPieceParser::NextPiece(std::size_t cut) {
    m_nLinesBefore += CountLines(std::string_view(m_bytes).substr(0, cut));
    m_bytes.erase(0, cut);
    if (m_nul != std::string::npos)
        m_nul -= cut;
    m_nSearched = 0;
    m_prefix.clear();
    for (pugi::xml_node_struct* open : m_openAtEnd) {
        m_prefix += '<';
        m_prefix += pugi::xml_node(open).name();
        m_prefix += '>';
    }
    m_nPrefixElements = m_openAtEnd.size();
    m_bAfterRoot = m_nPrefixElements == 0;
    m_mode = Mode::quick;
}

// The stream parser reads the rest of the document from the piece's start on, inside the
// elements open there.
void CXmlPieceParser::HandOver() {
    if (m_nPrefixElements == 0 && !m_bAfterRoot)
        StreamFrom(0, std::nullopt);
    else
        StreamFrom(0, m_bAfterRoot ? kEndedRoot : std::string_view(m_prefix));
}

// The stream parser reads the rest of the document from the element's start tag on, inside its
// ancestors.
void CXmlPieceParser::HandOverAt(const pugi::xml_node& node) {
    std::vector<const char*> names;
    for (pugi::xml_node a = node.parent(); a.type() == pugi::node_element; a = a.parent())
        names.push_back(a.name());
    std::string prefix;
    for (auto name = names.rbegin(); name != names.rend(); ++name)
        prefix.append("<").append(*name).append(">");
    StreamFrom(static_cast<std::size_t>(node.name() - m_parsed.data()) - m_prefix.size() - 1,
               prefix);
}

// The stream parser reads the rest of the document from m_bytes[at] on: from the document's
// start, or inside the elements that prefix opens.
void CXmlPieceParser::StreamFrom(std::size_t at, std::optional<std::string_view> prefix) {
    m_stream = std::make_unique<CXmlStreamParser>(m_handler);
    const std::size_t nLines = m_nLinesBefore + CountLines(std::string_view(m_bytes).substr(0, at));
    if (!prefix || m_stream->Resume(*prefix, nLines, std::move(m_text)))
        m_stream->Feed(std::span<const char>(m_bytes).subspan(at));
    Release();
}

void CXmlPieceParser::Release() {
    std::string().swap(m_bytes);
    std::string().swap(m_parsed);
    std::string().swap(m_prefix);
    m_document->reset();
    std::vector<const char*>().swap(m_attributes);
    std::vector<pugi::xml_node_struct*>().swap(m_openAtEnd);
}
