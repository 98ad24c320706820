// render --plot stl in the companion program that reads the elevation tiles through GDAL.
#include "CElevationTiles.h"
#include "CStlWriter.h"
#include "CTerrainModel.h"
#include "CTrackRecord.h"
#include "CliCommands.h"

CFileResult MakeTerrainModel(const std::string& folder, const CTrackRecord& record,
                             double fExaggeration, double fBaseMm, std::string& stl) {
    if (const std::string reason = TileFolderProblem(folder); !reason.empty())
        return CFileResult::Failure(CFileResult::Fault::refused, folder, reason);
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
