// The ground heights of a folder of elevation tiles: SRTM .hgt files (also zipped) and GeoTIFF
// tiles in degrees. The folder is indexed once (which file covers which degree square, and why
// a file is skipped) and kept until it changes; a tile's samples are read whole the first time a
// height falls in it, and the most recently used tiles are kept in memory. For the ground under
// a track (CGroundProfile) and the 3D view's terrain.
//
// Heights are bilinear between a tile's samples (CTileGrid fills small voids first). A position
// on an edge two tiles share gets the same height from either, and a position between the
// samples of two tiles that do not share their edges (Copernicus style: the east and south edges
// belong to the neighbours) takes the neighbour's samples for the corners it lacks, or without a
// neighbour the tile's nearest edge samples. Where no tile has data the height is NaN. Not for
// use from two threads at once.
#pragma once

#include "CTileFile.h"
#include "CTileGrid.h"
#include "TileSquare.h"

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <span>
#include <string>
#include <unordered_map>
#include <utility>
#include <vector>

class CElevationTiles {
public:
    // Tiles kept in memory at most, and the bytes their samples may take (about four 1
    // arc-second tiles, or all sixteen at 3 arc-seconds); the least recently used go first, the
    // one in use never.
    static constexpr std::size_t kMaxCachedTiles = 16;
    static constexpr std::size_t kMaxCachedBytes = std::size_t{256} << 20;

    struct SkippedFile {
        std::string fileName;
        std::string reason; // "its 1000 bytes are not 1201 x 1201 or 3601 x 3601 samples ..."
    };
    // South, west, north and east edges in degrees.
    struct Box {
        double fSouth = 0;
        double fWest = 0;
        double fNorth = 0;
        double fEast = 0;
    };

    // Why the folder cannot hold elevation tiles (it is none); empty when it can. Looks only at
    // the folder itself, so that a mistyped name is told apart from a folder without tiles.
    static std::string FolderProblem(const std::string& folder);

    // Indexes the folder; a folder that does not exist has no tiles.
    explicit CElevationTiles(std::string folder);

    const std::string& Folder() const { return m_folder; }
    // Whether the index still matches the folder: the folder's time and its files' names, sizes
    // and times are what they were. Costs a listing of the folder, no file is opened.
    bool IsCurrent() const;
    // Indexes the folder again when it is not current, dropping the tiles in memory; true when it
    // did.
    bool Refresh();

    bool Covers(TileSquare square) const { return m_squares.contains(square.Key()); }
    // Whether any file of the folder is a tile.
    bool HasTiles() const { return !m_squares.empty(); }
    // Files that look like tiles by their name but are not, in name order; a tile that fails
    // to read later is added then.
    const std::vector<SkippedFile>& Skipped() const { return m_skipped; }
    std::size_t CachedTiles() const;

    // The height in metres at a position; NaN where no tile has data.
    double HeightAt(double lat, double lon);
    // The heights of many positions (arrays of the same size).
    void HeightsAt(std::span<const double> lat, std::span<const double> lon,
                   std::span<double> heights);
    // The heights of an nRows x nCols grid spread evenly over the box, edges included, into
    // heights (nRows * nCols of them): row 0 along the south edge, column 0 along the west edge,
    // heights[row * nCols + col].
    void GridHeights(const Box& box, int nRows, int nCols, std::span<float> heights);

private:
    struct Entry {
        explicit Entry(CTileFile tileFile) : file(std::move(tileFile)) {}
        CTileFile file;
        std::shared_ptr<const CTileGrid> grid;
        std::uint64_t nLastUse = 0;
        bool bFailed = false;
    };
    struct FileState {
        std::string name;
        std::uintmax_t nBytes;
        std::filesystem::file_time_type time;
        bool operator==(const FileState&) const = default;
    };
    struct FolderState {
        bool bExists = false;
        std::filesystem::file_time_type time;
        std::vector<FileState> files;
        bool operator==(const FolderState&) const = default;
    };

    FolderState ReadState() const;
    void Index();
    void IndexFile(const std::filesystem::path& path);
    std::shared_ptr<const CTileGrid> GridFor(TileSquare square);
    void Load(Entry& entry);
    void EvictBeyondLimits(const Entry& keep);
    double HeightWith(const CTileGrid* pGrid, double lat, double lon);
    double HeightIn(const CTileGrid& grid, double lat, double lon);
    double SeamHeight(const CTileGrid& grid, double row, double col);
    double NeighbourSample(const CTileGrid& grid, int row, int col);

    std::string m_folder;
    FolderState m_state;
    std::vector<Entry> m_entries;
    std::unordered_map<int, std::size_t> m_squares; // TileSquare::Key() -> entry
    std::vector<SkippedFile> m_skipped;
    std::uint64_t m_nUseClock = 0;
};
