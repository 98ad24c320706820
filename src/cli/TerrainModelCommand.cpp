// render --plot stl in the companion program that reads the elevation tiles through GDAL: the
// model is made by the terrain service, as the desktop program's File, Export 3D Model makes it.
#include "CElevationTiles.h"
#include "CTileTerrainService.h"
#include "CTrackRecord.h"
#include "CliCommands.h"

#include <utility>

CFileResult MakeTerrainModel(const std::string& folder, const CTrackRecord& record,
                             double fExaggeration, double fBaseMm, std::string& stl) {
    if (const std::string reason = CElevationTiles::FolderProblem(folder); !reason.empty())
        return CFileResult::Failure(CFileResult::Fault::refused, folder, reason);
    CTileTerrainService terrain;
    terrain.UseFolder(folder);
    StlModel model = terrain.TerrainModelStl(record.Lat(), record.Lon(), record.SegmentStarts(),
                                             fExaggeration, fBaseMm);
    if (!model.Ok())
        return CFileResult::Failure(CFileResult::Fault::track, folder,
                                    folder + ": " + model.message);
    stl = std::move(model.bytes);
    CFileResult made;
    if (!model.message.empty())
        made.m_notes.push_back(model.message);
    return made;
}
