// The terrain model as the STL file holds it, over a plane: a closed solid with outward normals,
// the count the header gives, the top on the ground at the given exaggeration, the ridge along
// the track, ground without tiles made flat, and no model without any tile.
#include "CStlWriter.h"
#include "CTerrainModel.h"
#include "ScratchDir.h"
#include "TileWriter.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <map>
#include <string>
#include <vector>

namespace {
// Rising to the north-east: the lowest ground of a box at its south-west corner, the highest at
// its north-east.
double Plane(double lat, double lon) {
    return 1000 + 3600 * (lat - 47) + 2400 * (lon - 11);
}

std::string WritePlaneTiles(const ScratchDir& dir, const std::vector<TileSquare>& squares) {
    const std::string folder = MakeFolder(dir.File("dem"));
    for (const TileSquare& s : squares)
        WriteGeoTiff(folder + s.Name() + ".tif", GeoTiffOf(s.nLat, s.nLon, 128, true, true, Plane));
    return folder;
}

struct Track {
    std::vector<double> lat;
    std::vector<double> lon;
};

// South-east to north-west across N47E011, 0.1 degrees north and 0.15 west, across the cells'
// diagonals: t from 0 to 1.
double DiagonalLat(double t) {
    return 47.3 + 0.1 * t;
}
double DiagonalLon(double t) {
    return 11.55 - 0.15 * t;
}
Track Diagonal() {
    Track track;
    for (int i = 0; i <= 50; ++i) {
        track.lat.push_back(DiagonalLat(i / 50.0));
        track.lon.push_back(DiagonalLon(i / 50.0));
    }
    return track;
}

using Corner = std::array<float, 3>;
struct StlTriangle {
    Corner normal;
    std::array<Corner, 3> corners;
};

float FloatAt(const std::string& bytes, std::size_t at) {
    std::uint32_t u = 0;
    for (int i = 3; i >= 0; --i)
        u = u << 8 | static_cast<unsigned char>(bytes[at + i]);
    float f;
    std::memcpy(&f, &u, sizeof f);
    return f;
}

std::uint32_t CountOf(const std::string& bytes) {
    std::uint32_t n = 0;
    for (int i = 3; i >= 0; --i)
        n = n << 8 | static_cast<unsigned char>(bytes[80 + i]);
    return n;
}

std::vector<StlTriangle> ReadStl(const std::string& bytes) {
    std::vector<StlTriangle> triangles(CountOf(bytes));
    for (std::size_t t = 0; t < triangles.size(); ++t) {
        const std::size_t at = 84 + 50 * t;
        for (int k = 0; k < 3; ++k)
            triangles[t].normal[k] = FloatAt(bytes, at + 4 * k);
        for (int v = 0; v < 3; ++v)
            for (int k = 0; k < 3; ++k)
                triangles[t].corners[v][k] = FloatAt(bytes, at + 12 + 12 * v + 4 * k);
    }
    return triangles;
}

std::array<double, 3> Cross(const Corner& a, const Corner& b, const Corner& c) {
    const double u[3] = {b[0] - a[0], b[1] - a[1], b[2] - a[2]};
    const double v[3] = {c[0] - a[0], c[1] - a[1], c[2] - a[2]};
    return {u[1] * v[2] - u[2] * v[1], u[2] * v[0] - u[0] * v[2], u[0] * v[1] - u[1] * v[0]};
}

// The top's height at (x, y): on the upward-facing triangle over it.
double TopAt(const std::vector<StlTriangle>& triangles, double x, double y) {
    for (const StlTriangle& t : triangles) {
        if (t.normal[2] <= 0)
            continue;
        const Corner &a = t.corners[0], &b = t.corners[1], &c = t.corners[2];
        const double d = (b[1] - c[1]) * (a[0] - c[0]) + (c[0] - b[0]) * (a[1] - c[1]);
        const double wa = ((b[1] - c[1]) * (x - c[0]) + (c[0] - b[0]) * (y - c[1])) / d;
        const double wb = ((c[1] - a[1]) * (x - c[0]) + (a[0] - c[0]) * (y - c[1])) / d;
        const double wc = 1 - wa - wb;
        if (wa >= -1e-9 && wb >= -1e-9 && wc >= -1e-9)
            return wa * a[2] + wb * b[2] + wc * c[2];
    }
    return NAN;
}

CTerrainModel::Options Options(double exaggeration, double baseMm) {
    CTerrainModel::Options options;
    options.exaggeration = exaggeration;
    options.baseMm = baseMm;
    return options;
}
} // namespace

// Every edge in two triangles, once each way; every normal the unit normal of its corners
// counter-clockwise, with no triangle without area; the volume positive, so they point out.
TEST(TerrainModel, StlIsAClosedSolidWithOutwardNormals) {
    const ScratchDir dir;
    CElevationTiles tiles(WritePlaneTiles(dir, {{47, 11}}));
    const Track track = Diagonal();
    const CTerrainModel model(tiles, track.lat, track.lon, {}, Options(2, 3));
    ASSERT_TRUE(model.Ok()) << model.Message();
    EXPECT_EQ("", model.Message());
    const std::string bytes = CStlWriter::Bytes(model);
    EXPECT_EQ(0, bytes.compare(0, 21, std::string("Vorlan terrain model\0", 21)));
    const std::uint32_t n = CountOf(bytes);
    EXPECT_EQ(84u + 50u * n, bytes.size());
    // The track's 11300 x 11120 m with a margin of 565 m each side: 12431 m east-west in 200
    // cells, 12250 m north-south in 197 cells of about the same size.
    EXPECT_EQ(201, model.Cols());
    EXPECT_EQ(198, model.Rows());
    EXPECT_EQ(2u * 200 * 197 + 6 * (200 + 197), n);

    std::map<std::array<Corner, 2>, int> edges;
    double volume = 0;
    for (const StlTriangle& t : ReadStl(bytes)) {
        const auto& [a, b, c] = t.corners;
        const std::array<double, 3> cross = Cross(a, b, c);
        const double area2 = std::hypot(cross[0], cross[1], cross[2]);
        ASSERT_GT(area2, 1e-6);
        for (int k = 0; k < 3; ++k)
            ASSERT_NEAR(cross[k] / area2, t.normal[k], 1e-6);
        volume += (a[0] * (b[1] * c[2] - b[2] * c[1]) - a[1] * (b[0] * c[2] - b[2] * c[0]) +
                   a[2] * (b[0] * c[1] - b[1] * c[0])) /
                  6;
        ++edges[{a, b}], ++edges[{b, c}], ++edges[{c, a}];
    }
    for (const auto& [edge, count] : edges) {
        ASSERT_EQ(1, count);
        const auto back = edges.find({edge[1], edge[0]});
        ASSERT_TRUE(back != edges.end() && back->second == 1);
    }
    EXPECT_GT(volume, 0);
}

// Exaggeration 5 over a base of 4 mm: the north-east corner, far from the track, is the highest
// ground, 150 mm the longer side; along the track the top is the ridge's 2.25 mm over the ground.
TEST(TerrainModel, TopFollowsTheGroundWithTheRidgeAlongTheTrack) {
    const ScratchDir dir;
    CElevationTiles tiles(WritePlaneTiles(dir, {{47, 11}}));
    const Track track = Diagonal();
    const CTerrainModel model(tiles, track.lat, track.lon, {}, Options(5, 4));
    ASSERT_TRUE(model.Ok()) << model.Message();
    const std::vector<StlTriangle> triangles = ReadStl(CStlWriter::Bytes(model));
    float maxX = 0, maxY = 0, maxZ = 0, minTop = 1e9f;
    for (const StlTriangle& t : triangles)
        for (const Corner& c : t.corners) {
            maxX = std::max(maxX, c[0]), maxY = std::max(maxY, c[1]), maxZ = std::max(maxZ, c[2]);
            if (t.normal[2] > 0)
                minTop = std::min(minTop, c[2]);
        }
    const CElevationTiles::Box& box = model.Box();
    const double lowest = Plane(box.fSouth, box.fWest);
    const double zPerMetre = model.MmPerMetre() * 5;
    EXPECT_NEAR(150, std::max(maxX, maxY), 1e-4);
    EXPECT_NEAR(4, minTop, 1e-4);
    EXPECT_NEAR((Plane(box.fNorth, box.fEast) - lowest) * zPerMetre, maxZ - 4, 1e-3);
    EXPECT_DOUBLE_EQ(2.25, model.RidgeMm());
    // At the points and between them, wherever the track crosses a cell.
    for (int i = 0; i <= 400; ++i) {
        const double lat = DiagonalLat(i / 400.0), lon = DiagonalLon(i / 400.0);
        const double x = (lon - box.fWest) / (box.fEast - box.fWest) * maxX;
        const double y = (lat - box.fSouth) / (box.fNorth - box.fSouth) * maxY;
        ASSERT_NEAR(4 + (Plane(lat, lon) - lowest) * zPerMetre + 2.25, TopAt(triangles, x, y), 1e-3)
            << "step " << i;
    }
}

// Ground beyond the tiles is flat at the lowest height the tiles give (the south-east corner,
// far from the track, lies in N47E012 without its tile); a track wholly without tiles gets no model
// but the message that names them.
TEST(TerrainModel, GroundWithoutTilesIsFlatAtTheLowestOrNoModel) {
    const ScratchDir dir;
    CElevationTiles tiles(WritePlaneTiles(dir, {{47, 11}}));
    const Track across{{47.3, 47.5}, {11.9, 12.1}};
    const CTerrainModel flat(tiles, across.lat, across.lon, {}, Options(1, 3));
    ASSERT_TRUE(flat.Ok());
    EXPECT_EQ("No elevation data for N47E012 (1 of 2 tiles needed). The model is flat at its "
              "lowest height there.",
              flat.Message());
    const auto top = flat.Vertices().begin();
    const auto lowest = std::min_element(
        top, top + flat.Rows() * flat.Cols(),
        [](const CTerrainModel::Vertex& a, const CTerrainModel::Vertex& b) { return a.z < b.z; });
    EXPECT_EQ(3.0f, lowest->z);
    EXPECT_EQ(3.0f, flat.Vertices()[flat.Cols() - 1].z);

    const Track north{{48.5}, {11.5}};
    const CTerrainModel none(tiles, north.lat, north.lon, {}, Options(1, 3));
    EXPECT_FALSE(none.Ok());
    EXPECT_EQ("No elevation data for N48E011 (1 of 1 tile needed).", none.Message());
}
