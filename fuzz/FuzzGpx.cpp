// libFuzzer target: the GPX reader, fed in pieces as a file or a converter's output is, and the
// track builder (elevation filling, distances, simplification, smoothing and geometry) on
// arbitrary bytes. The input's length chooses the pieces: a quarter of the inputs go in whole,
// the others in pieces of 1 to 509 bytes, so that the seeds stay GPX files and still every kind
// of split is tried.
#include "CGpxReader.h"
#include "CTrack.h"
#include "CTrackImporter.h"
#include "FuzzCheck.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static CTrack track; // 320 KB of arrays: never on the stack
    constexpr std::size_t kSplits = 509;
    const std::size_t nPiece = size % 4 == 0 ? size : 1 + size % kSplits;
    const std::span<const char> file(reinterpret_cast<const char*>(data), size);
    CGpxReader reader(file.size());
    for (std::size_t at = 0; at < file.size(); at += nPiece)
        if (!reader.Feed(file.subspan(at, std::min(nPiece, file.size() - at))))
            break;
    const ImportResult r = CTrackImporter::ImportRead(reader, "fuzz.gpx", "GPX", track);
    if (!r.bOk) {
        FuzzCheck(!r.error.empty(), "a failure says why");
        FuzzCheck(r.error.find('\n') == std::string::npos, "one line");
        return 0;
    }
    FuzzCheck(r.nRead >= static_cast<std::size_t>(track.m_nCount), "no more points than read");
    FuzzCheck(track.m_nCount > 0, "a successful import has points");
    CheckTrackIsSound(track);
    for (int i = 1; i < track.m_nCount; ++i)
        FuzzCheck(track.m_fDist[i] >= track.m_fDist[i - 1], "distance never decreases");
    return 0;
}
