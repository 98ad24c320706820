// info --dem in the companion program that reads the elevation tiles through GDAL.
#include "CElevationTiles.h"
#include "CTileTerrainService.h"
#include "CTrackRecord.h"
#include "CliCommands.h"

int RelayToTerrainProgram(char**) {
    return -1;
}

bool MeasureTerrain(const std::string& folder, const CTrackRecord& record, TerrainNumbers& numbers,
                    std::string& problem) {
    if (const std::string reason = CElevationTiles::FolderProblem(folder); !reason.empty()) {
        problem = folder + ": " + reason;
        return false;
    }
    CElevationTiles tiles(folder);
    numbers.folder = folder;
    numbers.ground = CTileTerrainService::GroundOf(tiles, record.Lat(), record.Lon());
    return true;
}

std::unique_ptr<CTerrainService> OpenTerrain(const std::string& folder, std::string& problem) {
    if (const std::string reason = CElevationTiles::FolderProblem(folder); !reason.empty()) {
        problem = folder + ": " + reason;
        return nullptr;
    }
    auto pService = std::make_unique<CTileTerrainService>();
    pService->UseFolder(folder);
    return pService;
}
