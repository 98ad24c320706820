#include "CXmlStreamParser.h"

// Debian's expat is built with DTD support, and with it the limits on entity expansion; its
// header declares the functions that set those limits only when told so.
#define XML_DTD
#include <expat.h>

#include <algorithm>
#include <cstddef>
#include <cstdlib>
#include <cstring>
#include <new>
#include <utility>

namespace {

// Pieces longer than this are parsed a part at a time, so that the parser's own buffer never
// holds more of a document that is fed whole.
constexpr std::size_t kMaxPieceBytes = 64 * 1024;
// Entities may expand to as much text again as the document has read so far (beyond the
// parser's own allowance of a few megabytes): a file cannot make itself many times larger.
constexpr float kMaxEntityAmplification = 2.0f;
constexpr int kByteValues = 256;

const char kNulByte[] = "not a text file (a NUL byte)";

std::size_t CountLines(const char* p, const char* end) {
    std::size_t n = 0;
    while ((p = static_cast<const char*>(std::memchr(p, '\n', static_cast<std::size_t>(end - p)))))
        ++n, ++p;
    return n;
}

// A declared encoding the parser has no table for ("windows-1252") is read a byte a character:
// the numbers and names a track file holds are ASCII, which every such encoding keeps.
int XMLCALL ByteEncoding(void*, const XML_Char*, XML_Encoding* info) {
    for (int i = 0; i < kByteValues; ++i)
        info->map[i] = i;
    info->data = nullptr;
    info->convert = nullptr;
    info->release = nullptr;
    return XML_STATUS_OK;
}

// The account that the parser being called on this thread allocates from. Set only around
// calls into expat by AccountScope; frees and reallocations find their account in the block.
thread_local XmlMemoryAccount* t_pAccount = nullptr;

class AccountScope {
public:
    explicit AccountScope(XmlMemoryAccount& account) : m_pOuter(t_pAccount) {
        t_pAccount = &account;
    }
    AccountScope(const AccountScope&) = delete;
    AccountScope& operator=(const AccountScope&) = delete;
    ~AccountScope() { t_pAccount = m_pOuter; }

private:
    XmlMemoryAccount* m_pOuter;
};

// Every block starts with its account and size, padded to keep the block aligned for any type.
struct alignas(std::max_align_t) BlockHeader {
    XmlMemoryAccount* pAccount;
    std::size_t nBytes;
};

BlockHeader* HeaderOf(void* p) {
    return static_cast<BlockHeader*>(p) - 1;
}

void* Place(void* raw, XmlMemoryAccount* pAccount, std::size_t nBytes) {
    auto* header = static_cast<BlockHeader*>(raw);
    *header = {pAccount, nBytes};
    pAccount->nUsed += nBytes;
    return header + 1;
}

bool Allowed(XmlMemoryAccount& account, std::size_t nMore) {
    if (nMore <= account.nLimit - std::min(account.nLimit, account.nUsed))
        return true;
    account.bRefused = true;
    return false;
}

void* CountedMalloc(std::size_t nBytes) {
    XmlMemoryAccount* pAccount = t_pAccount;
    if (!pAccount || !Allowed(*pAccount, nBytes))
        return nullptr;
    void* raw = std::malloc(sizeof(BlockHeader) + nBytes);
    return raw ? Place(raw, pAccount, nBytes) : nullptr;
}

void CountedFree(void* p) {
    if (!p)
        return;
    BlockHeader* header = HeaderOf(p);
    header->pAccount->nUsed -= header->nBytes;
    std::free(header);
}

void* CountedRealloc(void* p, std::size_t nBytes) {
    if (!p)
        return CountedMalloc(nBytes);
    BlockHeader* header = HeaderOf(p);
    XmlMemoryAccount* pAccount = header->pAccount;
    const std::size_t nOld = header->nBytes;
    if (nBytes > nOld && !Allowed(*pAccount, nBytes - nOld))
        return nullptr;
    void* raw = std::realloc(header, sizeof(BlockHeader) + nBytes);
    if (!raw)
        return nullptr;
    pAccount->nUsed -= nOld;
    return Place(raw, pAccount, nBytes);
}

constexpr XML_Memory_Handling_Suite kCountedMemory = {CountedMalloc, CountedRealloc, CountedFree};

XML_Parser CreateParser(XmlMemoryAccount& account) {
    const AccountScope scope(account);
    return XML_ParserCreate_MM(nullptr, &kCountedMemory, nullptr);
}

} // namespace

CXmlStreamParser::CXmlStreamParser(CXmlHandler& handler)
    : m_handler(handler), m_memory{0, kParserBaseBytes, false}, m_parser(CreateParser(m_memory)) {
    if (!m_parser)
        throw std::bad_alloc();
    XML_SetUserData(m_parser, this);
    XML_SetElementHandler(m_parser, StartHandler, EndHandler);
    XML_SetUnknownEncodingHandler(m_parser, ByteEncoding, nullptr);
    XML_SetBillionLaughsAttackProtectionMaximumAmplification(m_parser, kMaxEntityAmplification);
}

CXmlStreamParser::~CXmlStreamParser() {
    Release();
}

void CXmlStreamParser::Release() {
    if (m_parser)
        XML_ParserFree(m_parser);
    m_parser = nullptr;
}

bool CXmlStreamParser::Feed(std::span<const char> bytes) {
    if (Failed() || !m_parser)
        return false;
    if (!m_bHeadDone) {
        const std::size_t n = std::min(bytes.size(), kHeadBytes - m_head.size());
        m_head.append(bytes.data(), n);
        bytes = bytes.subspan(n);
        if (m_head.size() < kHeadBytes)
            return true;
        if (!ParseHead(false))
            return false;
    }
    while (!bytes.empty()) {
        const std::span<const char> piece = bytes.first(std::min(bytes.size(), kMaxPieceBytes));
        bytes = bytes.subspan(piece.size());
        const void* nul = m_bUtf16 ? nullptr : std::memchr(piece.data(), '\0', piece.size());
        if (nul ? !ParseAroundNul(piece, static_cast<const char*>(nul)) : !Parse(piece, false))
            return false;
    }
    return true;
}

bool CXmlStreamParser::Resume(std::string_view prefix, std::size_t nLinesBefore,
                              CXmlElementText text) {
    m_bHeadDone = true;
    m_nLinesBefore = nLinesBefore;
    m_text = std::move(text);
    m_bHiding = true;
    const bool bOk = Parse(prefix, false);
    m_bHiding = false;
    return bOk;
}

// The parser's memory goes back at once: what follows the reading (the simplification of a
// long track) needs room of its own.
bool CXmlStreamParser::Finish() {
    bool bOk = !Failed() && m_parser;
    if (bOk && !m_bHeadDone)
        bOk = m_head.empty() ? Fail("the file is empty", 0) : ParseHead(true);
    else if (bOk)
        bOk = Parse({}, true);
    Release();
    return bOk;
}

bool CXmlStreamParser::ParseHead(bool bFinal) {
    m_bHeadDone = true;
    const std::string head = std::move(m_head);
    m_head = std::string();
    m_bUtf16 = head.starts_with("\xFE\xFF") || head.starts_with("\xFF\xFE");
    const char* begin = head.data();
    if (const void* nul = m_bUtf16 ? nullptr : std::memchr(begin, '\0', head.size()))
        return Fail(kNulByte, 1 + CountLines(begin, static_cast<const char*>(nul)));
    return Parse(head, bFinal);
}

// Past the head a NUL byte is reported where the parser finds it, so that a fault earlier in
// the file keeps its own message: the bytes up to the NUL go in, and the parser stops at it.
bool CXmlStreamParser::ParseAroundNul(std::span<const char> bytes, const char* nul) {
    const std::size_t nBefore = static_cast<std::size_t>(nul - bytes.data());
    const std::uint64_t at = m_nFed + nBefore;
    if (Parse(bytes.first(nBefore + 1), false))
        return Fail(kNulByte, Line());
    if (static_cast<std::uint64_t>(XML_GetCurrentByteIndex(m_parser)) == at)
        m_failure.message = kNulByte;
    return false;
}

bool CXmlStreamParser::Parse(std::span<const char> bytes, bool bFinal) {
    m_memory.nLimit = kParserBaseBytes + m_nFed + bytes.size();
    XML_Status status;
    {
        const AccountScope scope(m_memory);
        status = XML_Parse(m_parser, bytes.data(), static_cast<int>(bytes.size()), bFinal);
    }
    m_nFed += bytes.size();
    if (m_pending)
        std::rethrow_exception(std::exchange(m_pending, nullptr));
    if (status == XML_STATUS_OK)
        return true;
    if (Failed()) // stopped by a check of this class
        return false;
    if (XML_GetErrorCode(m_parser) == XML_ERROR_NO_MEMORY) {
        if (m_memory.bRefused)
            return Fail("XML error: the document needs more memory than its size allows", Line());
        throw std::bad_alloc();
    }
    return FailFromParser();
}

bool CXmlStreamParser::Fail(std::string message, std::size_t line) {
    m_failure.message = std::move(message);
    m_failure.line = line;
    return false;
}

bool CXmlStreamParser::FailFromParser() {
    return Fail(std::string("XML error: ") + XML_ErrorString(XML_GetErrorCode(m_parser)), Line());
}

std::size_t CXmlStreamParser::Line() const {
    return m_nLinesBefore + XML_GetCurrentLineNumber(m_parser);
}

void CXmlStreamParser::Stop(std::string message) {
    Fail(std::move(message), Line());
    XML_StopParser(m_parser, XML_FALSE);
}

void CXmlStreamParser::OnStart(const char* name, const char** attributes) {
    if (++m_depth > kMaxDepth) {
        Stop("XML error: elements nested more than " + std::to_string(kMaxDepth) + " deep");
        return;
    }
    if (m_bHiding) {
        // The element whose text was being kept when this parser took over goes on keeping it.
        if (m_depth == m_text.Depth())
            XML_SetCharacterDataHandler(m_parser, TextHandler);
        return;
    }
    if (m_handler.StartElement(CXmlHandler::LocalName(name), attributes) && !m_text.Keeping()) {
        m_text.Begin(m_depth);
        XML_SetCharacterDataHandler(m_parser, TextHandler);
    }
}

void CXmlStreamParser::OnEnd() {
    if (m_bHiding) {
        --m_depth;
        return;
    }
    std::string_view text;
    if (m_text.Keeping() && m_text.Depth() == m_depth) {
        text = m_text.End();
        XML_SetCharacterDataHandler(m_parser, nullptr);
    }
    --m_depth;
    m_handler.EndElement(text);
}

void CXmlStreamParser::OnText(const char* text, int length) {
    if (m_depth == m_text.Depth())
        m_text.Append(std::string_view(text, static_cast<std::size_t>(length)));
}

// Nothing may unwind through the parser's C code: what a handler throws is kept, the parser
// stopped, and the exception thrown again once it has returned.
void CXmlStreamParser::StartHandler(void* self, const char* name, const char** attributes) {
    auto* p = static_cast<CXmlStreamParser*>(self);
    try {
        p->OnStart(name, attributes);
    } catch (...) {
        p->m_pending = std::current_exception();
        XML_StopParser(p->m_parser, XML_FALSE);
    }
}

void CXmlStreamParser::EndHandler(void* self, const char*) {
    auto* p = static_cast<CXmlStreamParser*>(self);
    try {
        p->OnEnd();
    } catch (...) {
        p->m_pending = std::current_exception();
        XML_StopParser(p->m_parser, XML_FALSE);
    }
}

void CXmlStreamParser::TextHandler(void* self, const char* text, int length) {
    auto* p = static_cast<CXmlStreamParser*>(self);
    try {
        p->OnText(text, length);
    } catch (...) {
        p->m_pending = std::current_exception();
        XML_StopParser(p->m_parser, XML_FALSE);
    }
}
