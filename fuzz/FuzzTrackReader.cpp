// libFuzzer target for one of the readers of the table of track file types (TCX, KML, IGC, NMEA;
// the build names its extension in VORLAN_FUZZ_EXTENSION), fed in pieces as a file is, and the
// import's rules and the track builder after it. The input's length chooses the pieces: a quarter
// of the inputs go in whole, the others in pieces of 1 to 509 bytes, so that the seeds stay files
// of the format and still every kind of split is tried. Every split must read as the whole file
// does, and what is read must be a sound record.
#include "CTrack.h"
#include "CTrackFileTypes.h"
#include "CTrackImporter.h"
#include "FuzzCheck.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>

namespace {

constexpr const char* kFileName = "fuzz." VORLAN_FUZZ_EXTENSION;

ReadResult Read(std::span<const char> file, std::size_t nPiece) {
    const auto reader = CTrackFileTypes::Of(kFileName)->makeReader(file.size());
    for (std::size_t at = 0; at < file.size(); at += nPiece)
        if (!reader->Feed(file.subspan(at, std::min(nPiece, file.size() - at))))
            break;
    return reader->Finish();
}

// Hands the import a result read beforehand.
class CReadReader : public CTrackReader {
public:
    explicit CReadReader(ReadResult read) : m_read(std::move(read)) {}
    bool Feed(std::span<const char>) override { return true; }
    ReadResult Finish() override { return std::move(m_read); }

private:
    ReadResult m_read;
};

// Positions in range, every channel as long as the positions or absent, segments and tracks
// ascending within the points, laps within them.
void CheckRecordIsSound(const CTrackRecord& r) {
    const std::size_t n = r.Size();
    for (std::size_t i = 0; i < n; ++i)
        FuzzCheck(std::fabs(r.Lat()[i]) <= 90.0 && std::fabs(r.Lon()[i]) <= 180.0,
                  "positions in range");
    FuzzCheck(r.Lon().size() == n, "a longitude a point");
    FuzzCheck(r.Ele().empty() || r.Ele().size() == n, "elevations a point or none");
    FuzzCheck(r.Time().empty() || r.Time().size() == n, "times a point or none");
    for (const auto& info : CTrackRecord::Sensors())
        FuzzCheck(!r.HasSensor(info.sensor) || r.SensorValues(info.sensor).size() == n,
                  "sensor values a point or none");
    const auto& segments = r.SegmentStarts();
    FuzzCheck(n == 0 || (!segments.empty() && segments[0] == 0), "the first segment at 0");
    for (std::size_t s = 1; s < segments.size(); ++s)
        FuzzCheck(segments[s - 1] < segments[s] && segments[s] < n, "segments ascending");
    FuzzCheck(r.TrackStarts().size() == r.TrackNames().size(), "a name a track");
    for (const RecordLap& lap : r.m_laps)
        FuzzCheck(lap.nFirst <= lap.nLast && lap.nLast < n, "laps within the points");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static CTrack track; // 320 KB of arrays: never on the stack
    constexpr std::size_t kSplits = 509;
    const std::size_t nPiece = size % 4 == 0 ? size + 1 : 1 + size % kSplits;
    const std::span<const char> file(reinterpret_cast<const char*>(data), size);
    ReadResult split = Read(file, nPiece);
    const ReadResult whole = Read(file, size + 1);
    FuzzCheck(split.record == whole.record, "every split reads as the whole file");
    FuzzCheck(split.error == whole.error && split.errorLine == whole.errorLine &&
                  split.notes == whole.notes,
              "every split fails or notes as the whole file");
    CheckRecordIsSound(split.record);
    CReadReader reader(std::move(split));
    const ImportResult r = CTrackImporter::ImportRead(reader, kFileName, "fuzz", track);
    if (!r.Ok()) {
        FuzzCheck(!r.Error().empty(), "a failure says why");
        FuzzCheck(r.Error().find('\n') == std::string::npos, "one line");
        return 0;
    }
    FuzzCheck(track.m_nCount > 0, "a successful import has points");
    CheckTrackIsSound(track);
    for (int i = 1; i < track.m_nCount; ++i)
        FuzzCheck(track.m_fDist[i] >= track.m_fDist[i - 1], "distance never decreases");
    return 0;
}
