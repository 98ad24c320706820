// The terrain module's service over a folder of elevation tiles (CElevationTiles).
#pragma once

#include "CElevationTiles.h"
#include "CTerrainService.h"

#include <memory>

class CTileTerrainService : public CTerrainService {
public:
    void UseFolder(const std::string& folder) override;
    std::string CheckFolder(const std::string& folder) override;
    GroundAlong Ground(std::span<const double> lat, std::span<const double> lon) override;
    std::unique_ptr<CGroundHeights> TrackGround(const CTrack& track) override;
    StlModel TerrainModelStl(std::span<const double> lat, std::span<const double> lon,
                             std::span<const std::uint32_t> segmentStarts, double fExaggeration,
                             double fBaseMm) override;

    // Static helper for the programs that link the terrain layer directly.
    static GroundAlong GroundOf(CElevationTiles& tiles, std::span<const double> lat,
                                std::span<const double> lon);

private:
    std::unique_ptr<CElevationTiles> m_pTiles;
};
