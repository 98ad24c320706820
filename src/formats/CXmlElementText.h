// The text of the one element whose text a reader asked for, kept while the document is read:
// its own character data, leading blanks dropped, given up when it grows longer than any value a
// reader looks at. Both XML parsers (CXmlStreamParser, CXmlPieceParser) keep it the same way, and
// hand it on when one takes over a document from the other.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

class CXmlElementText {
public:
    // Text kept for an element: numbers and times are far shorter.
    static constexpr std::size_t kMaxBytes = 64 * 1024;

    // The depth of the element whose text is kept (the root is 1), 0 while none is.
    std::size_t Depth() const { return m_depth; }
    bool Keeping() const { return m_depth != 0; }
    void Begin(std::size_t depth);
    void Append(std::string_view text);
    // The text, empty when it was too long; none is kept any more. Valid until the next Begin.
    std::string_view End();

private:
    std::size_t m_depth = 0;
    std::string m_text;
    bool m_bTooLong = false;
};
