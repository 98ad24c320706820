// The rules the import applies to every reader's record alike: points at 0,0 in a track that is
// elsewhere are left out and counted.
#include "CTrack.h"
#include "CTrackImporter.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace {

// A reader that hands over a record made beforehand.
class CFixedReader : public CTrackReader {
public:
    explicit CFixedReader(CTrackRecord record) : m_record(std::move(record)) {}
    bool Feed(std::span<const char>) override { return true; }
    ReadResult Finish() override {
        ReadResult r;
        r.record = std::move(m_record);
        return r;
    }

private:
    CTrackRecord m_record;
};

void Add(CTrackRecord& record, double lat, double lon) {
    RecordPoint p;
    p.lat = lat;
    p.lon = lon;
    record.AddPoint(p);
}

// The first track has zeros before its fix and in the middle; the second lies wholly at 0,0 and
// is kept as it is.
TEST(ImportRules, PointsAtZeroZeroInATrackThatIsElsewhereAreSkippedAndCounted) {
    CTrackRecord record;
    record.BeginTrack("walk");
    for (const auto& [lat, lon] : {std::pair{0.0, 0.0},
                                   {47.0, 11.0},
                                   {-0.0, 0.0},
                                   {47.001, 11.0},
                                   {0.0, 11.0},
                                   {47.002, 0.0}})
        Add(record, lat, lon);
    record.BeginTrack("null island");
    Add(record, 0.0, 0.0);
    Add(record, 0.0, 0.0);
    CFixedReader reader(std::move(record));
    const auto track = std::make_unique<CTrack>();
    const ImportResult r = CTrackImporter::ImportRead(reader, "walk.nmea", "NMEA", *track);
    ASSERT_TRUE(r.Ok()) << r.Error();
    EXPECT_EQ(6, track->m_nCount);
    EXPECT_EQ(47.0f, track->m_fLat[0]);
    EXPECT_EQ(0.0f, track->m_fLat[4]);
    EXPECT_EQ((std::vector<std::string>{"NMEA: 6 points read.", "2 points at 0,0 skipped.",
                                        "No elevation in this file."}),
              r.Notes());
}

} // namespace
