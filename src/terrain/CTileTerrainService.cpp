#include "CTileTerrainService.h"

#include "CGroundProfile.h"
#include "CTrackGround.h"

void CTileTerrainService::UseFolder(const std::string& folder) {
    if (m_pTiles && m_pTiles->Folder() == folder) {
        m_pTiles->Refresh();
        return;
    }
    m_pTiles = std::make_unique<CElevationTiles>(folder);
}

GroundAlong CTileTerrainService::Ground(std::span<const double> lat,
                                        std::span<const double> lon) {
    if (!m_pTiles)
        return GroundAlong{};
    return GroundOf(*m_pTiles, lat, lon);
}

GroundAlong CTileTerrainService::GroundOf(CElevationTiles& tiles, std::span<const double> lat,
                                          std::span<const double> lon) {
    const CGroundProfile ground(tiles, lat, lon);
    GroundAlong along;
    along.heightsM = ground.Heights();
    along.nTilesNeeded = ground.Needed().size();
    for (const TileSquare& square : ground.Missing())
        along.missingTiles.push_back(square.Name());
    along.message = ground.Message();
    along.lowestM = ground.LowestM();
    along.highestM = ground.HighestM();
    along.ascentM = ground.AscentM();
    along.descentM = ground.DescentM();
    return along;
}

std::unique_ptr<CGroundHeights> CTileTerrainService::TrackGround(const CTrack& track) {
    if (!m_pTiles)
        return nullptr;
    return std::make_unique<CTrackGround>(*m_pTiles, track);
}
