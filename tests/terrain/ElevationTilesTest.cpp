// The tile folder and its heights: tile names, exact heights of a plane inside a tile, on its
// samples and on the edges and corners tiles share, voids, the three kinds of file and both SRTM
// resolutions, GeoTIFF sample placement and no-data, files that are no tiles, a folder that
// changes, and the cap on tiles kept in memory.
#include "CElevationTiles.h"
#include "ScratchDir.h"
#include "TileSquare.h"
#include "TileWriter.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

namespace {
// 6 m a 3 arc-second sample north and 3 m east (2 and 1 at 1 arc-second): the samples are whole
// metres and bilinear heights the plane's exactly. Positions in 1/1024 degrees keep the
// arithmetic exact.
double Plane(double lat, double lon) {
    return 100 + 7200 * (lat - 47) + 3600 * (lon - 11);
}

// The position of sample (row, col) of a 3 arc-second tile of square (47, 11), and the plane
// there in whole metres.
double LatOf(int row) {
    return 48 - row / 1200.0;
}
double LonOf(int col) {
    return 11 + col / 1200.0;
}
double PlaneAt(int row, int col) {
    return 100 + 6 * (1200 - row) + 3 * col;
}

// folder: with a trailing slash.
void WritePlaneHgt(const std::string& folder, int nLat, int nLon, int nSide = 1201) {
    const std::string name = TileSquare{nLat, nLon}.Name() + ".hgt";
    WriteHgt(folder + name, HgtSamples(nSide, nLat, nLon, Plane));
}
} // namespace

TEST(TerrainSquare, NamesAfterTheSouthWestCorner) {
    EXPECT_EQ("N47E011", TileName(47.3, 11.9));
    EXPECT_EQ("S12W077", TileName(-11.5, -76.2));
    EXPECT_EQ("N00W001", TileName(0.5, -0.5));
    EXPECT_EQ("S01E000", TileName(-0.5, 0.0));
    EXPECT_EQ("N48E012", TileName(48.0, 12.0));
    EXPECT_EQ("N89W180", TileName(90.0, 180.0));
    EXPECT_EQ((TileSquare{47, 11}), TileSquare::FromName("n47e011.HGT"));
    EXPECT_EQ((TileSquare{-12, -77}), TileSquare::FromName("S12W077.SRTMGL1.hgt.zip"));
    EXPECT_FALSE(TileSquare::FromName("N47X011.hgt"));
    EXPECT_FALSE(TileSquare::FromName("N95E011.hgt"));
}

TEST(TerrainTiles, APlaneExactlyInsideOnSamplesAndWhereTilesMeet) {
    ScratchDir dir;
    const std::string four = MakeFolder(dir.File("four"));
    for (const int lat : {47, 48})
        for (const int lon : {11, 12})
            WritePlaneHgt(four, lat, lon);
    const std::string one = MakeFolder(dir.File("one"));
    WritePlaneHgt(one, 47, 11);
    const double positions[][2] = {
        {47 + 1.0 / 1024, 11 + 3.0 / 1024}, // between samples
        {47.5, 11.25},                      // on a sample
        {47 + 5.0 / 1024, 12.0},            // the edge N47E011 shares with N47E012
        {48.0, 11 + 7.0 / 1024},            // the edge with N48E011
        {48.0, 12.0},                       // the corner all four share
    };
    CElevationTiles tilesOfFour(four);
    CElevationTiles tilesOfOne(one);
    for (const auto& p : positions) {
        SCOPED_TRACE(std::to_string(p[0]) + " " + std::to_string(p[1]));
        EXPECT_EQ(Plane(p[0], p[1]), tilesOfFour.HeightAt(p[0], p[1]));
        EXPECT_EQ(Plane(p[0], p[1]), tilesOfOne.HeightAt(p[0], p[1]));
    }
    EXPECT_EQ(Plane(48.5, 12.5), tilesOfFour.HeightAt(48.5, 12.5 - 360)); // longitudes wrap
    EXPECT_TRUE(std::isnan(tilesOfOne.HeightAt(47.5, 12.5)));
    EXPECT_TRUE(std::isnan(tilesOfOne.HeightAt(NAN, 11.5)));
}

TEST(TerrainTiles, VoidsAreFilledWhenSurroundedElseAbsent) {
    ScratchDir dir;
    std::vector<std::int16_t> samples = HgtSamples(1201, 47, 11, Plane);
    const auto punch = [&](int row, int col) { samples[row * 1201 + col] = -32768; };
    punch(600, 600);                       // one sample
    for (int col = 299; col <= 301; ++col) // three in a row
        punch(300, col);
    punch(100, 0);                        // on the tile's west edge
    for (int row = 800; row < 840; ++row) // a hole wider than twice the fill's reach
        for (int col = 800; col < 840; ++col)
            punch(row, col);
    WriteHgt(dir.File("N47E011.hgt"), samples);
    CElevationTiles tiles(dir.Path());

    EXPECT_EQ(PlaneAt(600, 600), tiles.HeightAt(LatOf(600), LonOf(600)));
    // (PlaneAt(300, 298) / 2 + PlaneAt(300, 302) / 2 + north + south) / 3.
    EXPECT_EQ(PlaneAt(300, 300), tiles.HeightAt(LatOf(300), LonOf(300)));
    // Weighted by distance, 1 west and 3 east; a plain mean would give PlaneAt(300, 300).
    EXPECT_EQ(PlaneAt(300, 299), tiles.HeightAt(LatOf(300), LonOf(299)));
    EXPECT_TRUE(std::isnan(tiles.HeightAt(LatOf(100), LonOf(0))));
    EXPECT_TRUE(std::isnan(tiles.HeightAt(LatOf(820), LonOf(820))));
    EXPECT_TRUE(std::isnan(tiles.HeightAt(LatOf(800), LonOf(800))));
    // Half a cell from a void that stays one, and on the valid sample beside it.
    EXPECT_TRUE(std::isnan(tiles.HeightAt(LatOf(100), 11 + 0.5 / 1200)));
    EXPECT_EQ(PlaneAt(100, 1), tiles.HeightAt(LatOf(100), LonOf(1)));
}

TEST(TerrainTiles, ReadsZippedTilesAndBothSrtmResolutions) {
    ScratchDir dir;
    WriteHgtZip(dir.File("N47E011.hgt.zip"), "N47E011.hgt", HgtSamples(1201, 47, 11, Plane));
    WritePlaneHgt(dir.Path(), 48, 11, 3601);
    CElevationTiles tiles(dir.Path());
    EXPECT_TRUE(tiles.Skipped().empty());
    const double inZip[2] = {47 + 3.0 / 1024, 11 + 9.0 / 1024};
    const double inFine[2] = {48 + 3.0 / 1024, 11 + 9.0 / 1024}; // 10.546875 and 31.640625 cells
    EXPECT_EQ(Plane(inZip[0], inZip[1]), tiles.HeightAt(inZip[0], inZip[1]));
    EXPECT_EQ(Plane(inFine[0], inFine[1]), tiles.HeightAt(inFine[0], inFine[1]));
}

// Copernicus tiles hold the north and west edges only: between the last samples of N47E011 and
// the square's east edge the heights come from N47E012's first column. A tile of cell centres
// ("Area") has its samples half a cell in.
TEST(TerrainTiles, GeoTiffSamplesWhereTheirGeotransformPutsThem) {
    ScratchDir dir;
    WriteGeoTiff(dir.File("copernicus_a.tif"), GeoTiffOf(47, 11, 128, true, false, Plane));
    WriteGeoTiff(dir.File("copernicus_b.tif"), GeoTiffOf(47, 12, 128, true, false, Plane));
    GeoTiffTile area = GeoTiffOf(48, 11, 128, false, false, Plane);
    area.noData = -9999;
    area.At(64, 64) = -9999;
    area.At(0, 10) = -9999;
    WriteGeoTiff(dir.File("area.TIFF"), area);
    CElevationTiles tiles(dir.Path());
    ASSERT_TRUE(tiles.Skipped().empty());

    const double positions[][2] = {
        {47.25, 11 + 127.5 / 128}, // between the two Copernicus tiles
        {48 + 0.5 / 128, 11.5},    // on the area tile's southern row of centres
        {48 + 1.0 / 1024, 11.5},   // between that row and N47E011's northern one
        {49 - 0.5 / 128 - 64.0 / 128, 11 + 64.5 / 128}, // the no-data sample, filled
    };
    for (const auto& p : positions) {
        SCOPED_TRACE(std::to_string(p[0]) + " " + std::to_string(p[1]));
        EXPECT_EQ(Plane(p[0], p[1]), tiles.HeightAt(p[0], p[1]));
    }
    EXPECT_TRUE(std::isnan(tiles.HeightAt(49 - 0.5 / 128, 11 + 10.5 / 128))); // on the edge row
    // Without N46E011 beyond its last row, N47E011 holds that row's heights.
    EXPECT_EQ(Plane(47 + 1.0 / 128, 11.5), tiles.HeightAt(47 + 0.5 / 128, 11.5));
}

TEST(TerrainTiles, FilesThatAreNoTilesAreSkippedWithTheirReason) {
    ScratchDir dir;
    WritePlaneHgt(dir.Path(), 47, 11);
    std::filesystem::rename(dir.File("N47E011.hgt"), dir.File("n47e011.HGT"));
    WriteFile(dir.File("N47E012.hgt"), std::string(1000, '\0'));
    WriteFile(dir.File("dem.hgt"), HgtBytes(HgtSamples(1201, 47, 12, Plane)));
    WriteFile(dir.File("garbage.tif"), "not a tiff at all");
    GeoTiffTile utm = GeoTiffOf(0, 500, 4, true, false, Plane);
    utm.nEpsg = 32632;
    WriteGeoTiff(dir.File("utm.tif"), utm);
    WriteFile(dir.File("notes.txt"), "not a tile, not looked at");
    CElevationTiles tiles(dir.Path());

    EXPECT_TRUE(tiles.Covers({47, 11}));
    EXPECT_FALSE(tiles.Covers({47, 12}));
    const std::vector<CElevationTiles::SkippedFile>& skipped = tiles.Skipped();
    ASSERT_EQ(4u, skipped.size());
    EXPECT_EQ("N47E012.hgt", skipped[0].fileName);
    EXPECT_EQ("its 1000 bytes are not 1201 x 1201 or 3601 x 3601 samples of 2 bytes",
              skipped[0].reason);
    EXPECT_EQ("dem.hgt", skipped[1].fileName);
    EXPECT_EQ("its name does not give a degree square like N47E011.hgt", skipped[1].reason);
    EXPECT_EQ("garbage.tif", skipped[2].fileName);
    EXPECT_EQ(0u, skipped[2].reason.find("GDAL cannot read it as a GeoTIFF")) << skipped[2].reason;
    EXPECT_EQ("utm.tif", skipped[3].fileName);
    EXPECT_EQ("it is not in geographic degrees (a projected coordinate system)", skipped[3].reason);
}

TEST(TerrainTiles, AChangedFolderIsIndexedAgain) {
    ScratchDir dir;
    WritePlaneHgt(dir.Path(), 47, 11);
    CElevationTiles tiles(dir.Path());
    EXPECT_TRUE(tiles.IsCurrent());
    EXPECT_TRUE(std::isnan(tiles.HeightAt(47.5, 12.5)));
    WritePlaneHgt(dir.Path(), 47, 12);
    EXPECT_FALSE(tiles.IsCurrent());
    EXPECT_TRUE(tiles.Refresh());
    EXPECT_EQ(Plane(47.5, 12.5), tiles.HeightAt(47.5, 12.5));
    EXPECT_FALSE(tiles.Refresh());
}

TEST(TerrainTiles, KeepsAtMostTheCapOfTilesInMemory) {
    ScratchDir dir;
    const int nTiles = static_cast<int>(CElevationTiles::kMaxCachedTiles) + 1;
    for (int lon = 0; lon < nTiles; ++lon)
        WriteGeoTiff(dir.File(TileSquare{47, lon}.Name() + ".tif"),
                     GeoTiffOf(47, lon, 4, true, true, Plane));
    CElevationTiles tiles(dir.Path());
    for (int lon = 0; lon < nTiles; ++lon)
        EXPECT_EQ(Plane(47.5, lon + 0.5), tiles.HeightAt(47.5, lon + 0.5));
    EXPECT_EQ(CElevationTiles::kMaxCachedTiles, tiles.CachedTiles());
    EXPECT_EQ(Plane(47.5, 0.5), tiles.HeightAt(47.5, 0.5)); // read again
}
