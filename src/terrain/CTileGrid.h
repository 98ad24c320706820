// One elevation tile's samples in memory, as floats in metres with NaN where the tile has no
// data, and the lattice that places them on the earth: row 0 is the northernmost, columns run
// east. CTileFile reads a tile into one; CElevationTiles keeps the grids of the tiles in use and
// asks them for heights.
//
// Voids are filled once, when the grid is made: a void sample with valid samples on all four
// sides in its row and column, each within kMaxVoidFillCells, takes the inverse-distance mean
// of those four (weights 1/d). Along a row that is the straight line between the two, so a
// plane is filled exactly. A void at a tile's edge or in a larger hole stays absent (NaN).
#pragma once

#include <cstddef>
#include <vector>

class CTileGrid {
public:
    // How far a void sample looks for a valid one in each direction.
    static constexpr int kMaxVoidFillCells = 16;

    // Sample (row, col) lies at latitude (fNorthCells - row) / fCellsPerDegLat and longitude
    // (fWestCells + col) / fCellsPerDegLon. Kept in cells, not degrees, so that a position on a
    // degree line falls on a whole row or column exactly (N47E011.hgt: 1200 cells a degree,
    // fNorthCells 48 * 1200 = 57600, fWestCells 11 * 1200 = 13200).
    struct Lattice {
        double fCellsPerDegLat = 1;
        double fCellsPerDegLon = 1;
        double fNorthCells = 0;
        double fWestCells = 0;
    };

    // samples: nRows rows of nCols, north first; NaN where there is no data. bVoids: whether
    // any sample is NaN; the reader knows, and a tile without voids is not searched for them.
    CTileGrid(int nCols, int nRows, const Lattice& lattice, std::vector<float> samples,
              bool bVoids);

    int Cols() const { return m_nCols; }
    int Rows() const { return m_nRows; }
    std::size_t Bytes() const { return m_samples.size() * sizeof(float); }

    // The fractional row and column of a position; outside 0..Rows()-1 or 0..Cols()-1 where the
    // position lies beyond the samples. Within a billionth of a cell of a whole one, the whole one.
    double RowOf(double lat) const;
    double ColumnOf(double lon) const;
    double LatOfRow(double row) const {
        return (m_lattice.fNorthCells - row) / m_lattice.fCellsPerDegLat;
    }
    double LonOfColumn(double col) const {
        return (m_lattice.fWestCells + col) / m_lattice.fCellsPerDegLon;
    }
    bool Contains(double row, double col) const {
        return row >= 0 && row <= m_nRows - 1 && col >= 0 && col <= m_nCols - 1;
    }

    float Sample(int row, int col) const {
        return m_samples[static_cast<std::size_t>(row) * m_nCols + col];
    }
    // Bilinear between the four samples around a position that Contains(); NaN when a sample it
    // gives weight to is void. On a sample, that sample exactly.
    double Interpolate(double row, double col) const;
    // The same over four given corner values (v00 north-west, v01 north-east, v10 south-west,
    // v11 south-east), tx and ty the fractions east and south of v00.
    static double Bilinear(double v00, double v01, double v10, double v11, double tx, double ty);

private:
    void FillVoids();
    float FillValue(int row, int col) const;

    int m_nCols;
    int m_nRows;
    Lattice m_lattice;
    std::vector<float> m_samples;
};
