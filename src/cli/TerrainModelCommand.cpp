// render --plot stl in the companion program that reads the elevation tiles through GDAL.
#include "CElevationTiles.h"
#include "CStlWriter.h"
#include "CTerrainModel.h"
#include "CTrackRecord.h"
#include "CliCommands.h"

#include <filesystem>
#include <system_error>

CFileResult MakeTerrainModel(const std::string& folder, const CTrackRecord& record,
                             double fExaggeration, double fBaseMm, std::string& stl) {
    std::error_code ec;
    if (!std::filesystem::is_directory(folder, ec))
        return CFileResult::Failure(
            CFileResult::Fault::refused, folder,
            "not a folder of elevation tiles (it does not exist or is no folder)");
    CElevationTiles tiles(folder);
    CTerrainModel::Options options;
    options.exaggeration = fExaggeration;
    options.baseMm = fBaseMm;
    const CTerrainModel model(tiles, record.Lat(), record.Lon(), record.SegmentStarts(), options);
    if (!model.Ok())
        return CFileResult::Failure(CFileResult::Fault::track, folder,
                                    folder + ": " + model.Message());
    stl = CStlWriter::Bytes(model);
    CFileResult made;
    if (!model.Message().empty())
        made.m_notes.push_back(model.Message());
    return made;
}
