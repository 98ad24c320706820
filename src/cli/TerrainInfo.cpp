// info --dem in the companion program that reads the elevation tiles through GDAL.
#include "CElevationTiles.h"
#include "CGroundProfile.h"
#include "CTrackRecord.h"
#include "CliCommands.h"

#include <filesystem>
#include <system_error>

int RelayToTerrainProgram(char**) {
    return -1;
}

bool MeasureTerrain(const std::string& folder, const CTrackRecord& record, TerrainNumbers& numbers,
                    std::string& problem) {
    std::error_code ec;
    if (!std::filesystem::is_directory(folder, ec)) {
        problem = folder + ": not a folder of elevation tiles (it does not exist or is no folder)";
        return false;
    }
    CElevationTiles tiles(folder);
    const CGroundProfile ground(tiles, record.Lat(), record.Lon());
    numbers.folder = folder;
    numbers.lowestM = ground.LowestM();
    numbers.highestM = ground.HighestM();
    numbers.ascentM = ground.AscentM();
    numbers.descentM = ground.DescentM();
    numbers.nTilesNeeded = ground.Needed().size();
    for (const TileSquare& square : ground.Missing())
        numbers.missingTiles.push_back(square.Name());
    numbers.message = ground.Message();
    return true;
}
