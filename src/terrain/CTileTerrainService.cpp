#include "CTileTerrainService.h"

#include "CGroundProfile.h"
#include "CStlWriter.h"
#include "CTerrainModel.h"
#include "CTrackGround.h"

#include <cstdio>
#include <stdexcept>

namespace {
// "0.1", "100": the limits as a user types them.
std::string Number(double value) {
    char text[32];
    std::snprintf(text, sizeof text, "%g", value);
    return text;
}

// What the options must be, for a caller that did not keep them within the model's limits.
std::string LimitsText() {
    return "The vertical exaggeration must be from " + Number(CTerrainModel::kMinExaggeration) +
           " to " + Number(CTerrainModel::kMaxExaggeration) + " and the base from " +
           Number(CTerrainModel::kMinBaseMm) + " to " + Number(CTerrainModel::kMaxBaseMm) + " mm.";
}

// A folder of files that only look like tiles says why the first of them is none.
std::string NoTilesReason(const CElevationTiles& tiles) {
    std::string reason = "it holds no elevation tiles (SRTM .hgt, zipped or not, or GeoTIFF)";
    if (!tiles.Skipped().empty())
        reason +=
            "; skipped " + tiles.Skipped().front().fileName + ": " + tiles.Skipped().front().reason;
    return reason;
}
} // namespace

void CTileTerrainService::UseFolder(const std::string& folder) {
    if (m_pTiles && m_pTiles->Folder() == folder) {
        m_pTiles->Refresh();
        return;
    }
    m_pTiles = std::make_unique<CElevationTiles>(folder);
}

std::string CTileTerrainService::CheckFolder(const std::string& folder) {
    UseFolder(folder);
    if (std::string reason = CElevationTiles::FolderProblem(folder); !reason.empty())
        return reason;
    return m_pTiles->HasTiles() ? std::string() : NoTilesReason(*m_pTiles);
}

GroundAlong CTileTerrainService::Ground(std::span<const double> lat, std::span<const double> lon) {
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

// Options outside the limits, or latitudes and longitudes that differ in number, make the model
// throw; the desktop program gets the reason instead, since nothing may leave the module.
StlModel CTileTerrainService::TerrainModelStl(std::span<const double> lat,
                                              std::span<const double> lon,
                                              std::span<const std::uint32_t> segmentStarts,
                                              double fExaggeration, double fBaseMm) {
    StlModel made;
    if (!m_pTiles) {
        made.message = "No folder of elevation tiles is in use.";
        return made;
    }
    CTerrainModel::Options options;
    options.exaggeration = fExaggeration;
    options.baseMm = fBaseMm;
    try {
        const CTerrainModel model(*m_pTiles, lat, lon, segmentStarts, options);
        made.message = model.Message();
        if (model.Ok())
            made.bytes = CStlWriter::Bytes(model);
    } catch (const std::invalid_argument&) {
        made.message = lat.size() == lon.size()
                           ? LimitsText()
                           : "The track's latitudes and longitudes differ in number.";
    }
    return made;
}
