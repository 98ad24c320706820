// The ground under a track, from the elevation tiles: a height for every point (NaN where no
// tile has data), the degree squares the track needs and those of them without a tile, the
// message that names them ("No elevation data for N47E012 (1 of 4 tiles needed)."), and the
// ground's lowest and highest heights and its ascent and descent along the track, counted with
// the track statistics' climb rule (CTrackStatistics::ClimbOf and its hysteresis).
#pragma once

#include "CElevationTiles.h"
#include "TileSquare.h"

#include <span>
#include <string>
#include <vector>

class CGroundProfile {
public:
    // Missing tiles and skipped files a message names at most; more end in ", ...".
    static constexpr std::size_t kMaxNamedTiles = 5;

    // lat and lon: the track's points in degrees, the same number of each.
    CGroundProfile(CElevationTiles& tiles, std::span<const double> lat,
                   std::span<const double> lon);

    // Metres, a height per point.
    const std::vector<double>& Heights() const { return m_heights; }
    // In the order the track first reaches them. A point on the edge of a square without a tile
    // that the tile beside it gives a height needs no tile of its own.
    const std::vector<TileSquare>& Needed() const { return m_needed; }
    const std::vector<TileSquare>& Missing() const { return m_missing; }
    // "No elevation data for N47E012, N48E012 (2 of 4 tiles needed).", then a sentence for each
    // file of the folder that was skipped ("Skipped x.tif: it has no coordinate system."); empty
    // when no tile is missing.
    std::string Message() const;

    // NaN when no point has a height.
    double LowestM() const { return m_fLowestM; }
    double HighestM() const { return m_fHighestM; }
    // Over each stretch of points with heights; a stretch without data between two is no climb.
    double AscentM() const { return m_fAscentM; }
    double DescentM() const { return m_fDescentM; }

private:
    void FindSquares(const CElevationTiles& tiles, std::span<const double> lat,
                     std::span<const double> lon);
    void MeasureHeights();
    void MeasureClimb();

    std::vector<double> m_heights;
    std::vector<TileSquare> m_needed;
    std::vector<TileSquare> m_missing;
    std::vector<CElevationTiles::SkippedFile> m_skipped;
    double m_fLowestM;
    double m_fHighestM;
    double m_fAscentM = 0;
    double m_fDescentM = 0;
};
