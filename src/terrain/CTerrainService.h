// What the desktop program asks of the elevation tiles, as an interface without GDAL: the
// program loads the terrain module (VorlanCreateTerrainService in the shared library
// vorlan_terrain_plugin) only once a folder of tiles is chosen, since GDAL and the libraries it
// pulls in take longer to load than the program takes to start.
#pragma once

#include "CGroundHeights.h"

#include <cstddef>
#include <cstdint>
#include <limits>
#include <memory>
#include <span>
#include <string>
#include <vector>

// The ground under a track's points: a height per point in metres (NaN where no tile has data),
// the tiles needed and missing, the message naming them ("No elevation data for N47E012 (1 of 4
// tiles needed)."; empty when none is missing), and the ground's lowest and highest heights
// (NaN without any) and its ascent and descent by the track statistics' climb rule.
struct GroundAlong {
    static constexpr double kNone = std::numeric_limits<double>::quiet_NaN();
    std::vector<double> heightsM;
    std::size_t nTilesNeeded = 0;
    std::vector<std::string> missingTiles;
    std::string message;
    double lowestM = kNone;
    double highestM = kNone;
    double ascentM = 0;
    double descentM = 0;
    bool Any() const { return lowestM == lowestM; }
};

// The ground around a track as a solid to print (CTerrainModel), as binary STL: the file's bytes,
// empty when no model could be made, and the message: without a model why not ("No elevation
// data for N47E012 (1 of 1 tile needed)."), with one what the user should know (ground without
// data, made flat), else empty.
struct StlModel {
    std::string bytes;
    std::string message;
    bool Ok() const { return !bytes.empty(); }
};

class CTrack;

class CTerrainService {
public:
    virtual ~CTerrainService() = default;
    // The tiles of this folder from now on; a folder already in use is indexed again only when
    // it changed.
    virtual void UseFolder(const std::string& folder) = 0;
    // UseFolder, then why the folder gives no ground: it is no folder, or none of its files is a
    // tile ("it holds no elevation tiles ..."); empty when it has tiles.
    virtual std::string CheckFolder(const std::string& folder) = 0;
    virtual GroundAlong Ground(std::span<const double> lat, std::span<const double> lon) = 0;
    // The ground around the track for the 3D view, from the folder in use; it keeps a reference
    // to the track and must not outlive the service.
    virtual std::unique_ptr<CGroundHeights> TrackGround(const CTrack& track) = 0;
    // The model of the ground around the track's points from the folder in use: segmentStarts
    // as the record keeps them (empty for one segment), the heights times fExaggeration over a
    // base fBaseMm thick, both within CTerrainModel's limits (outside them there is no model).
    virtual StlModel TerrainModelStl(std::span<const double> lat, std::span<const double> lon,
                                     std::span<const std::uint32_t> segmentStarts,
                                     double fExaggeration, double fBaseMm) = 0;
};

// The terrain module's one entry point, looked up by name.
extern "C" CTerrainService* VorlanCreateTerrainService();
using CreateTerrainServiceFn = CTerrainService* (*)();
constexpr const char* kCreateTerrainServiceName = "VorlanCreateTerrainService";
