// The ground under a track: heights, the tiles it needs and the message naming the missing ones,
// the ground's range and climb; the 3D view's grid; and the sample track over the sample tile.
#include "CGroundProfile.h"
#include "CMapSourceFormat.h"
#include "CTrack.h"
#include "CTrackRecord.h"
#include "ScratchDir.h"
#include "TileWriter.h"
#include "TrackImport.h"

#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <string>
#include <vector>

namespace {
double Plane(double lat, double lon) {
    return 100 + 7200 * (lat - 47) + 3600 * (lon - 11);
}

// Small GeoTIFF tiles of the plane, 128 cells a degree with shared edges, one per square, in a
// folder of their own in dir.
std::string WriteTiles(const ScratchDir& dir, const std::string& folder,
                       const std::vector<TileSquare>& squares) {
    const std::string path = MakeFolder(dir.File(folder));
    for (const TileSquare& s : squares)
        WriteGeoTiff(path + s.Name() + ".tif", GeoTiffOf(s.nLat, s.nLon, 128, true, true, Plane));
    return path;
}

struct Track {
    std::vector<double> lat;
    std::vector<double> lon;
    void Add(double fLat, double fLon) { lat.push_back(fLat), lon.push_back(fLon); }
};

// A loop through the four squares of 47..49 N, 11..13 E, starting in N47E011, going anticlockwise.
Track FourSquareLoop() {
    Track track;
    for (const auto& [lat, lon] : {std::pair{47.5, 11.5}, {47.5, 12.5}, {48.5, 12.5}, {48.5, 11.5}})
        track.Add(lat, lon);
    return track;
}
} // namespace

TEST(TerrainProfile, NamesTheMissingTilesOfTheTrack) {
    ScratchDir dir;
    CElevationTiles tiles(WriteTiles(dir, "three", {{47, 11}, {48, 11}, {48, 12}}));
    const Track loop = FourSquareLoop();
    const CGroundProfile profile(tiles, loop.lat, loop.lon);
    EXPECT_EQ("No elevation data for N47E012 (1 of 4 tiles needed).", profile.Message());
    EXPECT_EQ(Plane(47.5, 11.5), profile.Heights()[0]);
    EXPECT_TRUE(std::isnan(profile.Heights()[1]));
    EXPECT_EQ(Plane(48.5, 12.5), profile.Heights()[2]);

    const std::string two = WriteTiles(dir, "two", {{47, 11}, {48, 11}});
    CElevationTiles twoTiles(two);
    EXPECT_EQ("No elevation data for N47E012, N48E012 (2 of 4 tiles needed).",
              CGroundProfile(twoTiles, loop.lat, loop.lon).Message());

    WriteFile(two + "N47E012.hgt", "short");
    twoTiles.Refresh();
    EXPECT_EQ("No elevation data for N47E012, N48E012 (2 of 4 tiles needed). Skipped N47E012.hgt: "
              "its 5 bytes are not 1201 x 1201 or 3601 x 3601 samples of 2 bytes.",
              CGroundProfile(twoTiles, loop.lat, loop.lon).Message());

    Track east; // seven squares along 47.5 N, no tile for any
    for (int lon = 20; lon < 27; ++lon)
        east.Add(47.5, lon + 0.5);
    EXPECT_EQ("No elevation data for N47E020, N47E021, N47E022, N47E023, N47E024, ... "
              "(7 of 7 tiles needed).",
              CGroundProfile(tiles, east.lat, east.lon).Message());
    Track inside; // all in N47E011, and on the edge of N47E012 without it
    inside.Add(47.5, 11.5), inside.Add(47.5, 12.0);
    const CGroundProfile covered(tiles, inside.lat, inside.lon);
    EXPECT_EQ("", covered.Message());
    EXPECT_EQ(1u, covered.Needed().size());
}

// East and back over the plane's 3600 m a degree: 4600 m up to 6400 m and down again.
TEST(TerrainProfile, RangeAndClimbOfTheGround) {
    ScratchDir dir;
    CElevationTiles tiles(WriteTiles(dir, "one", {{47, 11}}));
    Track track;
    for (int i = 0; i <= 128; ++i)
        track.Add(47.5, 11.25 + (i <= 64 ? i : 128 - i) / 128.0);
    const CGroundProfile profile(tiles, track.lat, track.lon);
    EXPECT_EQ(4600, profile.LowestM());
    EXPECT_EQ(6400, profile.HighestM());
    EXPECT_NEAR(1800, profile.AscentM(), 1e-3);
    EXPECT_NEAR(1800, profile.DescentM(), 1e-3);
}

// A 5 x 5 grid over 47.5..48.5 N, 11.5..12.5 E without N47E012: its lines at 48 N and 12 E
// come from the tiles beside the missing one.
TEST(TerrainProfile, GridOfHeightsForTheView) {
    ScratchDir dir;
    CElevationTiles tiles(WriteTiles(dir, "three", {{47, 11}, {48, 11}, {48, 12}}));
    std::vector<float> heights(25);
    tiles.GridHeights({47.5, 11.5, 48.5, 12.5}, 5, 5, heights);
    for (int row = 0; row < 5; ++row)
        for (int col = 0; col < 5; ++col) {
            const double lat = 47.5 + 0.25 * row;
            const double lon = 11.5 + 0.25 * col;
            SCOPED_TRACE(std::to_string(lat) + " " + std::to_string(lon));
            if (lat < 48 && lon > 12)
                EXPECT_TRUE(std::isnan(heights[row * 5 + col]));
            else
                EXPECT_EQ(static_cast<float>(Plane(lat, lon)), heights[row * 5 + col]);
        }
}

// The sample tile is made from the terrain the sample track was recorded over, without its
// ripples and the altimeter's noise.
TEST(TerrainProfile, SampleTrackOverTheSampleTile) {
    CTrackRecord record;
    const auto track = std::make_unique<CTrack>();
    CMapSourceFormat format;
    ASSERT_TRUE(ImportTrackFile(VORLAN_SAMPLES "/ridge-ddd.txt", record, *track, format).Ok());
    CElevationTiles tiles(VORLAN_SAMPLES "/dem");
    const CGroundProfile profile(tiles, record.Lat(), record.Lon());
    EXPECT_EQ("", profile.Message());
    ASSERT_EQ(record.Size(), profile.Heights().size());
    for (std::size_t i = 0; i < record.Size(); ++i)
        ASSERT_NEAR(record.Ele()[i], profile.Heights()[i], 15.0) << "point " << i;
}
