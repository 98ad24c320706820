#include "CGroundProfile.h"

#include "CTrackStatistics.h"
#include "UnitsAndEarth.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <stdexcept>

namespace {
constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

// "A, B, C" with at most kMaxNamedTiles names, then ", ...".
template <typename Name> std::string ListOf(std::size_t nItems, Name name) {
    std::string text;
    for (std::size_t i = 0; i < std::min(nItems, CGroundProfile::kMaxNamedTiles); ++i)
        text += (i ? ", " : "") + name(i);
    return nItems > CGroundProfile::kMaxNamedTiles ? text + ", ..." : text;
}
} // namespace

CGroundProfile::CGroundProfile(CElevationTiles& tiles, std::span<const double> lat,
                               std::span<const double> lon)
    : m_heights(lat.size()), m_fLowestM(kNaN), m_fHighestM(kNaN) {
    if (lon.size() != lat.size())
        throw std::invalid_argument("CGroundProfile: latitudes and longitudes differ in number");
    tiles.HeightsAt(lat, lon, m_heights);
    FindSquares(tiles, lat, lon);
    m_skipped = tiles.Skipped();
    MeasureHeights();
    MeasureClimb();
}

void CGroundProfile::FindSquares(const CElevationTiles& tiles, std::span<const double> lat,
                                 std::span<const double> lon) {
    for (std::size_t i = 0; i < lat.size(); ++i) {
        if (!std::isfinite(lat[i]) || !std::isfinite(lon[i]))
            continue;
        const TileSquare square = TileSquare::Of(lat[i], lon[i]);
        const bool bCovered = tiles.Covers(square);
        if ((!bCovered && !std::isnan(m_heights[i])) ||
            std::find(m_needed.begin(), m_needed.end(), square) != m_needed.end())
            continue;
        m_needed.push_back(square);
        if (!bCovered)
            m_missing.push_back(square);
    }
}

std::string CGroundProfile::Message() const {
    if (m_missing.empty())
        return {};
    const std::size_t nNeeded = m_needed.size();
    std::string text =
        "No elevation data for " +
        ListOf(m_missing.size(), [&](std::size_t i) { return m_missing[i].Name(); }) + " (" +
        std::to_string(m_missing.size()) + " of " + std::to_string(nNeeded) +
        (nNeeded == 1 ? " tile" : " tiles") + " needed).";
    for (std::size_t i = 0; i < std::min(m_skipped.size(), kMaxNamedTiles); ++i)
        text += " Skipped " + m_skipped[i].fileName + ": " + m_skipped[i].reason + ".";
    if (m_skipped.size() > kMaxNamedTiles)
        text += " Skipped " + std::to_string(m_skipped.size() - kMaxNamedTiles) + " more files.";
    return text;
}

void CGroundProfile::MeasureHeights() {
    for (const double h : m_heights) {
        if (std::isnan(h))
            continue;
        if (std::isnan(m_fLowestM) || h < m_fLowestM)
            m_fLowestM = h;
        if (std::isnan(m_fHighestM) || h > m_fHighestM)
            m_fHighestM = h;
    }
}

// ClimbOf counts in feet with its 10 ft hysteresis; the figures come back in metres.
void CGroundProfile::MeasureClimb() {
    std::vector<float> feet;
    const auto climbStretch = [&] {
        const CTrackStatistics::Climb climb =
            CTrackStatistics::ClimbOf(feet.data(), static_cast<int>(feet.size()));
        m_fAscentM += climb.fAscent * kMetresPerFoot;
        m_fDescentM += climb.fDescent * kMetresPerFoot;
        feet.clear();
    };
    for (const double h : m_heights) {
        if (std::isnan(h))
            climbStretch();
        else
            feet.push_back(static_cast<float>(h * kFeetPerMetre));
    }
    climbStretch();
}
