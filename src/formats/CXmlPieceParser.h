// Reads an XML document fed in pieces of any size and tells a CXmlHandler its elements, as
// CXmlStreamParser does, about twice as fast: pugixml parses the document a piece of about
// 128 KB at a time, each piece wrapped in start tags for the elements open at its start. Memory
// stays a few times the piece, whatever the document's size or shape. The XML track file readers
// (GPX, TCX, KML) parse through it.
//
// A piece ends before the first '<' after the piece size. That is a place between two tokens
// unless it falls inside a comment, a CDATA section, a processing instruction or an attribute
// value; then pugixml, parsing the piece, finds that token unclosed at the piece's end, and
// CXmlPieceScanner finds a cut point instead, as it does in the document's prolog.
//
// What pugixml does not read as XML defines it goes to CXmlStreamParser: a document in UTF-16 or
// in a declared encoding other than UTF-8 or US-ASCII, one with a document type declaration
// (whose entities and attribute defaults pugixml never applies) or a NUL byte in its head; and,
// from the start of the piece, whatever cannot be cut (a token longer than the largest piece, a
// NUL byte), a piece pugixml refuses, a document that ends early, and from the element on,
// nesting deeper than the stream parser allows. So every error is the stream parser's, with its
// words and line.
//
// pugixml accepts some documents that the stream parser refuses (a duplicate attribute, an entity
// it does not know kept as text, text after the root element, bytes that are not UTF-8), and
// leaves out the runs of blanks between the child nodes of an element whose text is asked for
// ("5<!-- -->  " is "5").
#pragma once

#include "CXmlElementText.h"
#include "CXmlHandler.h"
#include "CXmlPieceScanner.h"
#include "CXmlStreamParser.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace pugi {
class xml_document;
class xml_node;
struct xml_node_struct;
} // namespace pugi

class CXmlPieceParser {
public:
    // The size of a piece: big enough that starting each piece costs nothing, small enough that
    // the piece and its tree (up to 17 times the piece, for "<a/>" again and again) stay in the
    // caches and touch few pages. Measured on a 10000-point file: 64 KB to 512 KB alike in the
    // import (4.5 to 4.6 ms); the whole process takes 6.1 ms at 64 KB, 6.3 at 128 KB, 6.5 at
    // 256 KB, its pages faulted in growing with the piece.
    static constexpr std::size_t kPieceBytes = std::size_t{128} << 10;
    // No piece grows beyond this many times the piece size: a token that long goes to the stream
    // parser.
    static constexpr std::size_t kMaxPieceFactor = 4;
    // ... and always to this, which holds a prolog and a tag however small the pieces.
    static constexpr std::size_t kMinMaxPieceBytes = 4096;
    // The start tags that wrap a piece take at most this many bytes; deeper nesting of long
    // names goes to the stream parser.
    static constexpr std::size_t kMaxPrefixBytes = 32 * 1024;

    // nPieceBytes: the piece size; smaller only to try the cuts on small documents.
    explicit CXmlPieceParser(CXmlHandler& handler, std::size_t nPieceBytes = kPieceBytes);
    CXmlPieceParser(const CXmlPieceParser&) = delete;
    CXmlPieceParser& operator=(const CXmlPieceParser&) = delete;
    ~CXmlPieceParser();

    // As CXmlStreamParser's: false once the document has failed; throws std::bad_alloc when
    // memory runs out, and passes on what the handler throws.
    bool Feed(std::span<const char> bytes);
    // Ends the document and gives back the memory; false when it failed.
    bool Finish();
    bool Failed() const { return m_stream && m_stream->Failed(); }
    const XmlFailure& Failure() const { return m_stream ? m_stream->Failure() : m_noFailure; }

private:
    enum class Mode : std::uint8_t {
        head,    // the first bytes, until it is known whether pugixml can read the document
        careful, // the scanner finds the cut point
        quick,   // a piece ends before the first '<' after the piece size
    };
    enum class Parsed : std::uint8_t {
        whole,   // the piece parsed, the elements open at its end found
        inToken, // pugixml found a token unclosed at the piece's end: not a place to cut
        refused, // pugixml found a fault
    };

    void Take(std::span<const char> part);
    void StartPieces();
    void ReadPieces(bool bFinal);
    bool ReadQuickly(bool bFinal);
    bool ReadCarefully(bool bFinal);
    void BeCareful();
    std::size_t FindQuickCut(std::size_t limit);
    bool TakePiece(std::size_t cut, bool bFinal);
    Parsed ParsePiece(std::size_t cut);
    bool FindOpenAtEnd(bool bOpen);
    bool Walk();
    void StartElement(const pugi::xml_node& node, std::size_t depth, bool bWrapping);
    void EndElement(std::size_t depth);
    void NextPiece(std::size_t cut);
    void HandOver();
    void HandOverAt(const pugi::xml_node& node);
    void StreamFrom(std::size_t at, std::optional<std::string_view> prefix);
    void Release();

    CXmlHandler& m_handler;
    const std::size_t m_nPieceBytes;
    const std::size_t m_nMaxPieceBytes;
    Mode m_mode = Mode::head;
    std::string m_bytes;         // the piece as read, and what has come after it
    std::size_t m_nul;           // where m_bytes holds its first NUL byte, npos for nowhere
    std::size_t m_nSearched = 0; // m_bytes holds no '<' from the piece size to here
    std::string m_parsed;        // the piece wrapped, parsed in place
    std::string m_prefix;        // the start tags that open the elements open at the piece's start
    std::size_t m_nPrefixElements = 0;
    bool m_bAfterRoot = false;      // the piece starts after the root element has ended
    std::size_t m_nLinesBefore = 0; // the document's lines before the piece
    CXmlPieceScanner m_scanner;
    CXmlElementText m_text;
    std::unique_ptr<pugi::xml_document> m_document;
    std::vector<const char*>
        m_attributes; // of the element being started, as the handler takes them
    std::vector<pugi::xml_node_struct*> m_openAtEnd; // the elements open at the piece's end
    pugi::xml_node_struct* m_pMarker = nullptr;      // the element that marks the piece's end
    std::unique_ptr<CXmlStreamParser> m_stream;      // once the stream parser has the document
    XmlFailure m_noFailure;
};
