// Reads an XML document fed in pieces and tells a CXmlHandler its elements, never holding the
// whole document: the XML track file readers (GPX) parse through it. Its memory stays a small
// multiple of the longest single token, whatever the document's size or shape: nesting is capped,
// DTD entities may expand to no more than the document's own size, external entities are never
// loaded. UTF-8, UTF-16 with a byte-order mark, ISO-8859-1 and US-ASCII are read as XML defines
// them; a declared encoding the parser does not know is read as bytes, one character each.
#pragma once

#include "CXmlElementText.h"
#include "CXmlHandler.h"

#include <cstddef>
#include <cstdint>
#include <exception>
#include <span>
#include <string>
#include <string_view>

struct XML_ParserStruct;

// The memory one parser holds, and how much it may: expat allocates through functions without a
// context, so each allocation carries its account in front of it.
struct XmlMemoryAccount {
    std::size_t nUsed = 0;
    std::size_t nLimit = 0;
    bool bRefused = false; // an allocation was refused for the limit
};

// Why a document could not be read: one line ("XML error: mismatched tag"), and the line of the
// file it was found on (1-based; 0 when no line applies).
struct XmlFailure {
    std::string message;
    std::size_t line = 0;
};

class CXmlStreamParser {
public:
    // Deeper nesting is refused: a file of nothing but start tags would otherwise cost the
    // parser many times its size.
    static constexpr std::size_t kMaxDepth = 10000;
    // The parser's own memory may grow to this plus the bytes fed so far. It keeps every
    // different element and attribute name it has met; a file of nothing but different names
    // would otherwise take eight times its size.
    static constexpr std::size_t kParserBaseBytes = std::size_t{64} << 20;
    // The bytes that settle whether a document is UTF-16 (its byte-order mark) and in which a NUL
    // byte always means "not a text file", whatever precedes it: a binary file says so at once.
    static constexpr std::size_t kHeadBytes = 4096;

    explicit CXmlStreamParser(CXmlHandler& handler);
    CXmlStreamParser(const CXmlStreamParser&) = delete;
    CXmlStreamParser& operator=(const CXmlStreamParser&) = delete;
    ~CXmlStreamParser();

    // Parses the next bytes of the document. False once it has failed (Failure() says why): the
    // rest need not be fed. Throws std::bad_alloc when memory runs out, and passes on what the
    // handler throws.
    bool Feed(std::span<const char> bytes);
    // Takes a document over from another parser at a point between two of its tags, before any
    // Feed. prefix: start tags that open the elements open at that point, outermost first
    // ("<gpx><trk>"), or an empty element that stands for a root element already ended; the
    // handler hears nothing of them. nLinesBefore: the document's lines before that point. text:
    // the text being kept there. False when it failed.
    bool Resume(std::string_view prefix, std::size_t nLinesBefore, CXmlElementText text);
    // Ends the document; false when it failed.
    bool Finish();
    bool Failed() const { return !m_failure.message.empty(); }
    const XmlFailure& Failure() const { return m_failure; }

private:
    bool ParseHead(bool bFinal);
    bool Parse(std::span<const char> bytes, bool bFinal);
    bool ParseAroundNul(std::span<const char> bytes, const char* nul);
    bool Fail(std::string message, std::size_t line);
    void Release();
    bool FailFromParser();
    std::size_t Line() const;
    void Stop(std::string message);

    void OnStart(const char* name, const char** attributes);
    void OnEnd();
    void OnText(const char* text, int length);
    static void StartHandler(void* self, const char* name, const char** attributes);
    static void EndHandler(void* self, const char* name);
    static void TextHandler(void* self, const char* text, int length);

    CXmlHandler& m_handler;
    XmlMemoryAccount m_memory;
    XML_ParserStruct* m_parser;
    std::string m_head; // the first bytes, until it is known whether the document is UTF-16
    bool m_bHeadDone = false;
    bool m_bUtf16 = false;
    std::uint64_t m_nFed = 0;       // bytes handed to the parser so far
    std::size_t m_nLinesBefore = 0; // lines of the document before the bytes fed here
    bool m_bHiding = false;         // the handler is not told of these elements
    std::size_t m_depth = 0;
    CXmlElementText m_text;
    std::exception_ptr m_pending; // what a handler threw, passed on once the parser returns
    XmlFailure m_failure;
};
