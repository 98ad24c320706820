// The XML parser that reads a document in pieces tells a reader the very elements, attributes,
// texts and errors (with their lines) that the stream parser tells it, however small the pieces
// and however the bytes come in.
#include "CXmlPieceParser.h"
#include "CXmlStreamParser.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <string_view>

namespace {

// Writes every event down; asks for the text of ele and name elements.
class Recorder : public CXmlHandler {
public:
    std::string log;

    bool StartElement(std::string_view name, const char** attributes) override {
        log.append("<").append(name);
        for (const char** a = attributes; *a; a += 2)
            log.append(" ").append(a[0]).append("=[").append(a[1]).append("]");
        log += ">\n";
        return name == "ele" || name == "name";
    }
    void EndElement(std::string_view text) override { log.append("</").append(text).append(">\n"); }
};

struct Outcome {
    std::string events;
    bool bOk = false;
    std::string error;
    std::size_t line = 0;
    bool operator==(const Outcome&) const = default;
};

template <class Parser> Outcome Finish(Parser& parser, Recorder& recorder) {
    Outcome o;
    o.bOk = parser.Finish();
    o.events = recorder.log;
    o.error = parser.Failure().message;
    o.line = parser.Failure().line;
    return o;
}

Outcome ByStream(std::string_view doc) {
    Recorder r;
    CXmlStreamParser parser(r);
    parser.Feed(doc);
    return Finish(parser, r);
}

Outcome ByPieces(std::string_view doc, std::size_t nPieceBytes, std::size_t nFedBytes) {
    Recorder r;
    CXmlPieceParser parser(r, nPieceBytes);
    for (std::size_t at = 0; at < doc.size(); at += nFedBytes)
        if (!parser.Feed(doc.substr(at, nFedBytes)))
            break;
    return Finish(parser, r);
}

const std::string kHead = "\xEF\xBB\xBF<?xml version=\"1.0\" encoding=\"utf-8\"?>\n"
                          "<gpx version=\"1.1\" xmlns:x=\"urn:x\">\n";

// n logged points, a line each.
std::string Points(int n) {
    std::string s = "<trk><trkseg>\n";
    char point[160];
    for (int i = 0; i < n; ++i) {
        std::snprintf(point, sizeof point,
                      "  <trkpt lat=\"47.%04d\" lon=\"8.1\"><ele>%d.5</ele>"
                      "<time>2021-07-01T10:00:%02dZ</time></trkpt>\n",
                      i, i, i % 60);
        s += point;
    }
    return s + "</trkseg></trk>\n";
}

TEST(XmlPieces, EveryPieceSizeAndSplitGivesTheStreamParsersEventsAndErrors) {
    const std::string points = kHead + Points(300);
    std::string nul = points + "</gpx>\n";
    nul[5000] = '\0';
    std::string mixed = kHead;
    for (int i = 0; i < 200; ++i)
        mixed += "<trk><name>a<!--<-->b<x/>c<?y <?>d<![CDATA[<]]>e</name></trk>\n";
    std::string deep = kHead;
    for (std::size_t i = 0; i <= CXmlStreamParser::kMaxDepth; ++i)
        deep += "<a>";
    const struct {
        std::string bytes;
        std::size_t nSmallestPiece = 1;
    } documents[] = {
        // Markup inside comments, CDATA sections, processing instructions and attribute values;
        // CR LF line ends, references, and blanks in attribute values.
        {kHead + "<!-- a comment with </trkpt> and <trkpt lat=\"9\" lon=\"9\"> in it -->\n" +
         "<trk a=\"x > y\" b='>'><name><![CDATA[<b>bold</b> ]] >]]>&amp;&lt;&#65;</name>\n" +
         "<?pi <not a tag> ?>\r\n<trkseg>\r\n<trkpt lat=\"1\t2\" lon=\"&#10;3\r\n\">" +
         "<ele>12<![CDATA[3]]>4<x:y/>5</ele><name>a\r\nb\rc</name></trkpt>\r\n</trkseg></trk>\n" +
         Points(50) + "</gpx>\n"},
        // Text asked for around markup that holds '<': the cut points move into that text.
        {mixed + "</gpx>\n"},
        // A document type declaration with an entity and an attribute default.
        {"<?xml version=\"1.0\"?>\n<!DOCTYPE gpx [\n<!ENTITY e \"text of e\">\n"
         "<!ATTLIST trkpt src CDATA \"default\">\n]>\n"
         "<gpx><trk><name>&e;</name><trkseg><trkpt lat=\"1\" lon=\"2\"/></trkseg></trk></gpx>\n"},
        // A mismatched end tag, a truncated tag, elements left open, late in the file.
        {points + "</trkseg>\n</gpx>\n"},
        {points.substr(0, points.rfind("lon=") + 2)},
        {points},
        // A NUL byte past the head, a comment longer than the largest piece, a Latin-1 document.
        {nul},
        {kHead + Points(10) + "<trk><name>5<x/><!--" + std::string(5000, '<') + "-->6</name>" +
         "</trk></gpx>\n"},
        {"<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?>\n<gpx><name>K\xE4se</name></gpx>\n"},
        // Nesting deeper than the stream parser allows; in pieces of a byte, 10000 pieces would
        // each be wrapped in thousands of start tags.
        {deep, 100},
    };
    for (const auto& doc : documents) {
        const Outcome expected = ByStream(doc.bytes);
        for (const std::size_t nPieceBytes :
             {std::size_t{1}, std::size_t{100}, std::size_t{2048}, CXmlPieceParser::kPieceBytes})
            for (const std::size_t nFedBytes :
                 {std::size_t{1}, std::size_t{13}, doc.bytes.size()}) {
                if (nPieceBytes < doc.nSmallestPiece)
                    continue;
                ASSERT_EQ(expected, ByPieces(doc.bytes, nPieceBytes, nFedBytes))
                    << "piece " << nPieceBytes << ", fed " << nFedBytes << ", document\n"
                    << doc.bytes.substr(0, 300);
            }
    }
}

} // namespace
