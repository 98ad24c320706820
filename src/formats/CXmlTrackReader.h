// What the XML track readers (TCX, KML) share: the document is parsed as it is fed, blanks and a
// UTF-8 byte-order mark before its first tag are passed over (writers leave blank lines before
// the XML declaration, which XML itself refuses), a root element of the wrong name refuses the
// file, and a parse error becomes the result's error with its line in the file.
#pragma once

#include "CTrackReader.h"
#include "CXmlHandler.h"
#include "CXmlPieceParser.h"

#include <cstddef>
#include <string>
#include <string_view>

class CXmlTrackReader : public CTrackReader, protected CXmlHandler {
public:
    bool Feed(std::span<const char> bytes) final;
    ReadResult Finish() final;

protected:
    // format: "TCX", named in a refusal; root: the local name the root element must have.
    CXmlTrackReader(std::string format, std::string root);
    // The root element starts: false when its name refuses the file (the rest is still parsed,
    // and Finish() says why).
    bool CheckRoot(std::string_view localName);
    // What was read from a document that parsed and had the right root.
    virtual ReadResult TakeResult() = 0;
    // The value of the last attribute of that local name, with or without a prefix; nullptr
    // when there is none.
    static const char* Attribute(const char** attributes, std::string_view localName);

private:
    std::span<const char> SkipLead(std::span<const char> bytes);

    std::string m_format;
    std::string m_root;
    std::string m_refusal;
    bool m_bInLead = true;        // nothing but blanks and a byte-order mark so far
    std::size_t m_nBomBytes = 0;  // bytes of a UTF-8 byte-order mark met so far
    std::size_t m_nLeadLines = 0; // line ends passed over, for the line of an error
    CXmlPieceParser m_parser{*this};
};
