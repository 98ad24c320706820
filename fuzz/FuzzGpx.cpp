// libFuzzer target: the GPX reader and the track builder (elevation filling, distances,
// simplification, smoothing and geometry) on arbitrary bytes.
#include "CTrack.h"
#include "CTrackImporter.h"
#include "FuzzCheck.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static CTrack track; // 320 KB of arrays: never on the stack
    std::vector<char> bytes(data, data + size);
    const ImportResult r = CTrackImporter().ImportGpx(bytes, "fuzz.gpx", track);
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
