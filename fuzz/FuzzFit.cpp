// libFuzzer target: the FIT reader on arbitrary bytes, fed whole and in pieces (which must read
// the same), and the track builder on what it read. The input's length chooses the pieces: 1 to
// 61 bytes, so that cuts fall inside headers, definitions and data messages alike.
#include "CFitReader.h"
#include "CTrack.h"
#include "CTrackImporter.h"
#include "FuzzCheck.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>

namespace {

constexpr std::size_t kSplits = 61;

void FeedInPieces(CFitReader& reader, std::span<const char> file, std::size_t nPiece) {
    for (std::size_t at = 0; at < file.size(); at += nPiece)
        if (!reader.Feed(file.subspan(at, std::min(nPiece, file.size() - at))))
            break;
}

void CheckRecordIsSound(const CTrackRecord& r) {
    for (std::size_t i = 0; i < r.Size(); ++i)
        FuzzCheck(std::fabs(r.Lat()[i]) <= 90 && std::fabs(r.Lon()[i]) <= 180,
                  "positions in range");
    const auto& starts = r.SegmentStarts();
    FuzzCheck(std::is_sorted(starts.begin(), starts.end()), "segments in order");
    FuzzCheck(std::adjacent_find(starts.begin(), starts.end()) == starts.end(), "no empty segment");
    FuzzCheck(r.TrackStarts().size() == r.TrackNames().size(), "a name per track");
    for (const RecordLap& lap : r.m_laps)
        FuzzCheck(lap.nFirst <= lap.nLast && lap.nLast < r.Size(), "laps within the points");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static CTrack track; // 320 KB of arrays: never on the stack
    const std::span<const char> file(reinterpret_cast<const char*>(data), size);
    const std::size_t nPiece = 1 + size % kSplits;

    CFitReader whole(size);
    whole.Feed(file);
    const ReadResult a = whole.Finish();
    CFitReader pieces(size);
    FeedInPieces(pieces, file, nPiece);
    const ReadResult b = pieces.Finish();
    FuzzCheck(a.error == b.error && a.notes == b.notes && a.record == b.record &&
                  a.skipped.Total() == b.skipped.Total(),
              "every split reads the same");
    FuzzCheck(a.error.find('\n') == std::string::npos, "one line");
    CheckRecordIsSound(a.record);

    CFitReader reader(size);
    FeedInPieces(reader, file, nPiece);
    const ImportResult r = CTrackImporter::ImportRead(reader, "fuzz.fit", "FIT", track);
    if (r.Ok())
        CheckTrackIsSound(track);
    return 0;
}
