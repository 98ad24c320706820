// What an XML parser (CXmlPieceParser, CXmlStreamParser) tells a reader about a document, element
// by element, as the bytes come in. The XML track file readers (GPX) implement it.
#pragma once

#include <cstddef>
#include <string_view>

class CXmlHandler {
public:
    virtual ~CXmlHandler() = default;
    // An element begins. localName is its name without a prefix ("trkpt" of "gpx:trkpt");
    // attributes alternate name and value (names as written, prefixes included) and end with
    // nullptr. True asks for the element's text at its end.
    virtual bool StartElement(std::string_view localName, const char** attributes) = 0;
    // The element that began last ends. text: its own character data, children's left out, when
    // StartElement asked for it, leading blanks dropped; empty when it is longer than the parser
    // keeps (CXmlElementText::kMaxBytes). Runs of nothing but blanks between its child nodes may
    // be left out too (CXmlPieceParser does): a reader never counts blanks in a value.
    virtual void EndElement(std::string_view text) = 0;

    // A name without its prefix ("trkpt" of "gpx:trkpt"), found in one pass over the name.
    static std::string_view LocalName(const char* name) {
        const char* local = name;
        const char* p = name;
        for (; *p != '\0'; ++p)
            if (*p == ':')
                local = p + 1;
        return std::string_view(local, static_cast<std::size_t>(p - local));
    }
};
