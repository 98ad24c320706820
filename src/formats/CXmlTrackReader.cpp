#include "CXmlTrackReader.h"

#include "MessageText.h"

#include <utility>

namespace {
constexpr char kUtf8Bom[] = "\xEF\xBB\xBF";
constexpr std::size_t kBomBytes = sizeof kUtf8Bom - 1;

bool IsBlank(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}
} // namespace

CXmlTrackReader::CXmlTrackReader(std::string format, std::string root)
    : m_format(std::move(format)), m_root(std::move(root)) {}

bool CXmlTrackReader::Feed(std::span<const char> bytes) {
    if (m_bInLead) {
        bytes = SkipLead(bytes);
        if (m_bInLead)
            return true;
    }
    return m_parser.Feed(bytes);
}

// Takes the blanks and byte-order mark off the front of the document; what is left of bytes once
// something else comes. A byte-order mark begun and not finished is a document's own bytes: they
// go to the parser as they were, so that its error is the one it would give.
std::span<const char> CXmlTrackReader::SkipLead(std::span<const char> bytes) {
    std::size_t i = 0;
    for (; i < bytes.size(); ++i) {
        const char c = bytes[i];
        if (m_nBomBytes < kBomBytes && m_nLeadLines == 0 && c == kUtf8Bom[m_nBomBytes]) {
            ++m_nBomBytes;
            continue;
        }
        if (m_nBomBytes != 0 && m_nBomBytes < kBomBytes)
            break;
        if (!IsBlank(c))
            break;
        if (c == '\n')
            ++m_nLeadLines;
    }
    if (i == bytes.size())
        return {};
    m_bInLead = false;
    if (m_nBomBytes != 0 && m_nBomBytes < kBomBytes)
        m_parser.Feed(std::span<const char>(kUtf8Bom, m_nBomBytes));
    return bytes.subspan(i);
}

bool CXmlTrackReader::CheckRoot(std::string_view localName) {
    if (localName == m_root)
        return true;
    m_refusal = "not a " + m_format + " file (the root element is <" + QuotedText(localName) + ">)";
    return false;
}

ReadResult CXmlTrackReader::Finish() {
    ReadResult result;
    if (!m_parser.Finish()) {
        result.error = m_parser.Failure().message;
        result.errorLine = m_parser.Failure().line;
        if (result.errorLine != 0)
            result.errorLine += m_nLeadLines;
        return result;
    }
    if (!m_refusal.empty()) {
        result.error = m_refusal;
        return result;
    }
    return TakeResult();
}

const char* CXmlTrackReader::Attribute(const char** attributes, std::string_view localName) {
    const char* value = nullptr;
    for (const char** a = attributes; *a; a += 2)
        if (localName == CXmlHandler::LocalName(a[0]))
            value = a[1];
    return value;
}
