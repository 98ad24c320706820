// libFuzzer target: the GPX reader, fed in pieces as a file or a converter's output is, and the
// track builder (elevation filling, distances, simplification, smoothing and geometry) on
// arbitrary bytes. The input's length chooses the pieces: a quarter of the inputs go in whole,
// the others in pieces of 1 to 509 bytes, so that the seeds stay GPX files and still every kind
// of split is tried.
//
// Beside it, the XML parser that reads in pieces, with pieces of 1 to 61 bytes (again chosen by
// the length) so that small inputs are cut many times: however the bytes come in, it tells the
// same events and errors; and it reads every document the stream parser reads, element for
// element, with the same texts but for the runs of blanks it leaves out.
#include "CGpxReader.h"
#include "CTrack.h"
#include "CTrackImporter.h"
#include "CXmlPieceParser.h"
#include "CXmlStreamParser.h"
#include "FuzzCheck.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

namespace {

constexpr std::size_t kSplits = 509;
constexpr std::size_t kPieceSizes = 61;

// Every event written down; the text of ele and name elements asked for.
class Recorder : public CXmlHandler {
public:
    std::string log;
    bool bBlanks = true; // blanks in texts kept

    bool StartElement(std::string_view name, const char** attributes) override {
        log.append("<").append(name);
        for (const char** a = attributes; *a; a += 2)
            log.append(" ").append(a[0]).append("=").append(a[1]).append("\n");
        log += ">";
        return name == "ele" || name == "name";
    }
    void EndElement(std::string_view text) override {
        log += "</";
        for (const char c : text)
            if (bBlanks || (c != ' ' && c != '\t' && c != '\r' && c != '\n'))
                log += c;
        log += ">";
    }
};

struct Outcome {
    std::string log;
    bool bOk = false;
    XmlFailure failure;
};

template <class Parser>
Outcome Read(Parser& parser, Recorder& r, std::span<const char> file, std::size_t nPiece) {
    for (std::size_t at = 0; at < file.size(); at += nPiece)
        if (!parser.Feed(file.subspan(at, std::min(nPiece, file.size() - at))))
            break;
    Outcome o;
    o.bOk = parser.Finish();
    o.log = std::move(r.log);
    o.failure = parser.Failure();
    return o;
}

Outcome InPieces(std::span<const char> file, std::size_t nPieceBytes, std::size_t nFed,
                 bool bBlanks) {
    Recorder r;
    r.bBlanks = bBlanks;
    CXmlPieceParser parser(r, nPieceBytes);
    return Read(parser, r, file, nFed);
}

void CheckPieces(std::span<const char> file, std::size_t nFed) {
    const std::size_t nPieceBytes = 1 + file.size() / 4 % kPieceSizes;
    const Outcome split = InPieces(file, nPieceBytes, nFed, true);
    const Outcome whole = InPieces(file, nPieceBytes, file.size(), true);
    FuzzCheck(split.bOk == whole.bOk && split.log == whole.log &&
                  split.failure.message == whole.failure.message &&
                  split.failure.line == whole.failure.line,
              "every split of the bytes reads the same in pieces");
    Recorder r;
    r.bBlanks = false;
    CXmlStreamParser stream(r);
    const Outcome expected = Read(stream, r, file, file.size());
    if (!expected.bOk)
        return;
    const Outcome pieces = InPieces(file, nPieceBytes, file.size(), false);
    FuzzCheck(pieces.bOk && pieces.log == expected.log,
              "what the stream parser reads reads the same in pieces");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static CTrack track; // 320 KB of arrays: never on the stack
    const std::size_t nPiece = size % 4 == 0 ? size : 1 + size % kSplits;
    const std::span<const char> file(reinterpret_cast<const char*>(data), size);
    CheckPieces(file, std::max<std::size_t>(nPiece, 1));
    CGpxReader reader(file.size());
    for (std::size_t at = 0; at < file.size(); at += nPiece)
        if (!reader.Feed(file.subspan(at, std::min(nPiece, file.size() - at))))
            break;
    const ImportResult r = CTrackImporter::ImportRead(reader, "fuzz.gpx", "GPX", track);
    if (!r.Ok()) {
        FuzzCheck(!r.Error().empty(), "a failure says why");
        FuzzCheck(r.Error().find('\n') == std::string::npos, "one line");
        return 0;
    }
    FuzzCheck(r.nRead >= static_cast<std::size_t>(track.m_nCount), "no more points than read");
    FuzzCheck(track.m_nCount > 0, "a successful import has points");
    CheckTrackIsSound(track);
    for (int i = 1; i < track.m_nCount; ++i)
        FuzzCheck(track.m_fDist[i] >= track.m_fDist[i - 1], "distance never decreases");
    return 0;
}
