// The ground under a track as a solid to print, for vorlan-cli render --plot stl (CStlWriter
// writes it): the heights of the track's bounding box, widened by a margin, on a grid of at most
// kMaxCells cells a side, scaled so that the longer side is Options::sizeMm, the heights
// exaggerated, the track a ridge on top, over a flat base. One closed mesh: the top, four walls
// down to z = 0 and the bottom, each triangle counter-clockwise seen from outside. Millimetres,
// x east and y north from the box's south-west corner, z up from the bottom.
#pragma once

#include "CElevationTiles.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

class CTerrainModel {
public:
    // Cells along the longer side: at most kMaxCells, fewer for a box under kMaxCells *
    // kMinCellM metres (finer than the tiles' samples shows nothing more), never under kMinCells.
    static constexpr int kMaxCells = 200;
    static constexpr int kMinCells = 100;
    static constexpr double kMinCellM = 10;
    // The box's margin on each side: a share of its longer extent, at least kMinMarginM.
    static constexpr double kMarginShare = 0.05;
    static constexpr double kMinMarginM = 100;
    // The ridge: grid vertices within kRidgeRadiusCells cells of the track (every corner of a
    // cell the track crosses: a diagonal is 1.41 cells) are raised by kRidgeShare of sizeMm.
    static constexpr double kRidgeRadiusCells = 1.5;
    static constexpr double kRidgeShare = 0.015;
    static constexpr double kDefaultSizeMm = 150;
    static constexpr double kDefaultBaseMm = 3;
    static constexpr double kMinBaseMm = 0.5;
    static constexpr double kMaxBaseMm = 100;
    static constexpr double kMinExaggeration = 0.1;
    static constexpr double kMaxExaggeration = 100;

    struct Options {
        double exaggeration = 1;
        double baseMm = kDefaultBaseMm; // from the bottom to the lowest ground
        double sizeMm = kDefaultSizeMm; // the longer side
    };
    struct Vertex {
        float x = 0;
        float y = 0;
        float z = 0;
    };
    using Triangle = std::array<std::uint32_t, 3>; // indices into Vertices()

    // lat and lon: the track's points in degrees, the same number of each; segmentStarts: the
    // first point of each segment (the ridge does not bridge the gap between two), or empty for
    // one segment. Options outside their limits throw std::invalid_argument.
    CTerrainModel(CElevationTiles& tiles, std::span<const double> lat, std::span<const double> lon,
                  std::span<const std::uint32_t> segmentStarts, const Options& options);

    // False when no model could be made: no position in the track, or no tile under it.
    bool Ok() const { return !m_triangles.empty(); }
    // Without a model, why: "No elevation data for N47E012 (1 of 1 tile needed)."; with one, what
    // the user should know: ground without data, made flat at the lowest height; else empty.
    const std::string& Message() const { return m_message; }

    // Degrees; fEast beyond 180 for a box across the 180th meridian.
    const CElevationTiles::Box& Box() const { return m_box; }
    double MmPerMetre() const { return m_fMmPerMetre; }
    double RidgeMm() const { return m_options.sizeMm * kRidgeShare; }
    // The top's grid: Rows() x Cols() vertices, the first Rows() * Cols() of Vertices(), row 0
    // along the south edge.
    int Rows() const { return m_nRows; }
    int Cols() const { return m_nCols; }
    const std::vector<Vertex>& Vertices() const { return m_vertices; }
    const std::vector<Triangle>& Triangles() const { return m_triangles; }

private:
    struct Point {
        double x;
        double y;
    };

    bool FindBox(std::span<const double> lat, std::span<const double> lon);
    void LayOutGrid();
    bool FillVoids(std::vector<float>& heights, CElevationTiles& tiles, std::span<const double> lat,
                   std::span<const double> lon);
    std::vector<bool> MarkRidge(std::span<const double> lat, std::span<const double> lon,
                                std::span<const std::uint32_t> segmentStarts) const;
    void MarkNear(Point a, Point b, std::vector<bool>& raised) const;
    Point Place(double lat, double lon) const;
    void BuildTop(const std::vector<float>& heights, const std::vector<bool>& raised);
    std::vector<std::uint32_t> BoundaryLoop() const;
    void BuildWallsAndBottom();

    Options m_options;
    CElevationTiles::Box m_box;
    double m_fCosLat = 1;
    double m_fWidthMm = 0;
    double m_fDepthMm = 0;
    double m_fMmPerMetre = 0;
    double m_fLowestM = 0;
    int m_nRows = 0;
    int m_nCols = 0;
    std::string m_message;
    std::vector<Vertex> m_vertices;
    std::vector<Triangle> m_triangles;
};
