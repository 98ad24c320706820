// The ground of the 3D scene on a grid of cells over the box's floor: the heights a
// CGroundHeights gives at the cells' corners, each cell's shade (a tint for its height within the
// ground's range, lit from the north-west), the order in which the cells cover one another,
// whether the ground hides a point from the eye, and the walls under its edges. Owned by CPlot;
// its palette (CDrawTools) has a brush for every shade and every wall.
#pragma once

#include "WinDef.h"

#include <cstdint>
#include <vector>

class CGroundHeights;

class CGroundGrid {
public:
    static constexpr int kTints = 32;
    static constexpr int kLights = 8;
    // The shade of a cell with a corner that has no height: it is not drawn.
    static constexpr std::uint16_t kNoShade = 0xFFFF;
    // The stretch of a line of sight next to its point that Hides passes over, in cells: the
    // ground a track lies on does not hide it.
    static constexpr double kNearCells = 2.0;
    // Hides passes over blocks of this many cells a side where the line of sight stays above
    // the block's highest corner.
    static constexpr int kBlockCells = 8;

    // A position of the scene: x south and y east in plane units, z up.
    struct Point {
        double x;
        double y;
        double z;
    };

    // Tint 0 is the lowest ground (green), through yellows and browns to light grey and white
    // at kTints - 1; light 0 is a slope turned from the light, kLights - 1 one facing it.
    static COLORREF ShadeColour(int nTint, int nLight);

    // The heights of nCells x nCells cells over [xmin, xmax] x [ymin, ymax], asked of the source
    // at every call; the shades are worked out again only when the heights changed.
    void Fetch(CGroundHeights& source, float xmin, float xmax, float ymin, float ymax, int nCells);

    int Cells() const { return m_nCells; }
    // Whether any corner has a height; the lowest and highest of them in feet.
    bool Any() const { return m_bAny; }
    float Lowest() const { return m_fLowest; }
    float Highest() const { return m_fHighest; }
    // Corner (row, col), each 0..Cells(): its position and height (feet, or NaN).
    double X(int row) const;
    double Y(int col) const;
    float Height(int row, int col) const { return m_heights[Corner(row, col)]; }
    // Cell (row, col), each 0..Cells() - 1: tint * kLights + light, or kNoShade.
    std::uint16_t Shade(int row, int col) const {
        return m_shades[static_cast<std::size_t>(row) * m_nCells + col];
    }

    // Rows and columns of cells, the farthest from the eye's position (eyeX, eyeY) first: cells
    // painted row by row in this order, and each row column by column, cover those behind them.
    void OrderFrom(double eyeX, double eyeY);
    const std::vector<int>& RowOrder() const { return m_rowOrder; }
    const std::vector<int>& ColOrder() const { return m_colOrder; }

    // Whether the ground stands more than fTolerance above the line of sight from p to the eye
    // anywhere beyond kNearCells of p. Heights are scaled by fHeightScale into the units of p.z
    // and eye.z; a point under the ground is taken as lying on it.
    bool Hides(const Point& p, const Point& eye, double fHeightScale, double fTolerance) const;

    // A corner or a cell of the grid.
    struct RowCol {
        int row;
        int col;
    };
    // The walls from the ground's edges down to the box's floor, named by the way they face:
    // under the last row of corners, the first row, the first column and the last column.
    enum Wall { kSouthWall, kNorthWall, kWestWall, kEastWall };
    static constexpr int kWalls = 4;
    // A wall's earth colour, darker than the ground, lit by the way it faces.
    static COLORREF WallColour(int nWall);
    // Whether the eye at (eyeX, eyeY) stands beyond the wall's plane, so that it sees the wall.
    bool WallSeenFrom(int nWall, double eyeX, double eyeY) const;
    // Along a wall: corner k (0..Cells()) of the ground's edge, and cell k (0..Cells() - 1) on
    // top of the wall, whose shade says whether the wall has a piece there.
    RowCol WallCorner(int nWall, int k) const;
    RowCol WallCell(int nWall, int k) const;

private:
    std::size_t Corner(int row, int col) const {
        return static_cast<std::size_t>(row) * (m_nCells + 1) + col;
    }
    bool SameAs(float xmin, float xmax, float ymin, float ymax, int nCells) const;
    void ComputeRange();
    void ComputeShades();
    void ComputeBlocks();
    std::uint16_t ShadeOf(int row, int col, double cellXMetres, double cellYMetres) const;
    double HeightAt(double u, double v) const;
    int BlockAt(double b) const;

    // A line of sight from its point (t = 0) to the eye (t = 1): its position in cells from the
    // grid's first corner (u along x, v along y) and height, each with its change to the eye.
    struct Sight {
        double u, du, v, dv, z, dz;
        double fHeightScale, fTolerance;
        double zClear; // above this no ground hides it
    };
    // Whether the ground stands above the line of sight between t0 and t1: block by block, and
    // in a block where it passes below the block's highest corner, where it crosses the lines
    // of the grid's rows, then of its columns.
    bool UnderBlocks(const Sight& sight, double t0, double t1) const;
    bool UnderLines(const Sight& sight, double t0, double t1, bool bRows) const;

    int m_nCells = 0;
    float m_fXMin = 0, m_fXMax = 0, m_fYMin = 0, m_fYMax = 0;
    bool m_bAny = false;
    float m_fLowest = 0, m_fHighest = 0;
    std::vector<float> m_heights; // (m_nCells + 1)^2, row by row
    std::vector<float> m_fetched; // the source's latest answer
    std::vector<std::uint16_t> m_shades;
    int m_nBlocks = 0;
    std::vector<float> m_blockHighest; // m_nBlocks^2, -infinity where no corner has a height
    std::vector<int> m_rowOrder, m_colOrder;
};
