// Finds where an XML document read a piece at a time can be cut, so that an XML library can parse
// each piece on its own: right after the '>' of a start, end or empty-element tag, outside
// comments, CDATA sections, processing instructions and the document type declaration, and
// counts the elements open there. It reads nothing else of the document: whether the document is
// well-formed is for the parser to say. CXmlPieceParser uses it for a document's prolog, and for
// a piece where the quick way to cut a piece fails.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string_view>

class CXmlPieceScanner {
public:
    enum class Stop : std::uint8_t {
        more,    // the bytes ended before a cut point at or after the size asked for
        cut,     // Position() is such a cut point
        doctype, // a document type declaration before the root element
        fault,   // no cut can be made from here on: a document type declaration elsewhere,
                 // "<!" that begins neither it nor a comment or CDATA section, an end tag with no
                 // element open
    };

    // Scans bytes, the current piece from its start, from Position() on and stops at the first
    // cut point at or after nCutAfter bytes, or where the bytes end. Call again with the same
    // bytes and more after them to go on.
    Stop Scan(std::string_view bytes, std::size_t nCutAfter);
    std::size_t Position() const { return m_pos; }
    // The last cut point met, 0 for the piece's start. The elements open there are those open
    // at Position(): between the two there is no complete tag.
    std::size_t LastCut() const { return m_lastCut; }
    std::size_t Depth() const { return m_depth; }
    bool RootSeen() const { return m_bRootSeen; }
    // The document may end at Position(): outside any markup, with no element open, after a
    // root element.
    bool Complete() const { return m_state == State::text && m_depth == 0 && m_bRootSeen; }
    // Scans a piece from its start on, with depth elements open there; the prolog has been
    // scanned, so a document type declaration is a fault from here on.
    void Restart(std::size_t depth);

private:
    enum class State : std::uint8_t {
        text,     // character data or blanks between tags
        markup,   // just after '<'
        bang,     // "<!": a comment, a CDATA section or a document type declaration
        startTag, // a start tag outside its attribute values
        quoted,   // an attribute value
        endTag,
        comment,
        cdata,
        pi,
    };

    std::optional<Stop> Step(std::string_view bytes, std::size_t nCutAfter);
    std::optional<Stop> ScanTags(std::string_view bytes, std::size_t nCutAfter);
    void StartTag(const char* gt);
    std::optional<Stop> ScanMarkup(std::string_view bytes);
    std::optional<Stop> ScanBang(std::string_view bytes);
    std::optional<Stop> ScanStartTag(std::string_view bytes, std::size_t nCutAfter);
    std::optional<Stop> ScanQuoted(std::string_view bytes);
    std::optional<Stop> ScanEndTag(std::string_view bytes, std::size_t nCutAfter);
    std::optional<Stop> ScanToClose(std::string_view bytes, std::string_view close);
    std::optional<Stop> AfterTag(std::size_t next, std::size_t nCutAfter);

    State m_state = State::text;
    std::size_t m_pos = 0;
    std::size_t m_lastCut = 0;
    std::size_t m_tokenStart = 0; // the '<' of the markup being scanned
    std::size_t m_bodyStart = 0;  // of the comment, CDATA section or processing instruction
    char m_quote = 0;
    std::size_t m_depth = 0;
    bool m_bRootSeen = false;
};
