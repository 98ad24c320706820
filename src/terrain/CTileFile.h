// One file of the tile folder, as the terrain layer reads it through GDAL: which degree squares it
// covers (an SRTM .hgt by its name and size, a .hgt.zip by its name and the .hgt inside, a
// GeoTIFF by its geotransform), or why it is skipped; and its samples, read whole once a height
// is wanted. CElevationTiles makes one per tile-like file when it indexes a folder.
#pragma once

#include "CTileGrid.h"
#include "TileSquare.h"

#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

class CTileFile {
public:
    enum class Kind { hgt, hgtZip, geoTiff };
    // Samples a side of the SRTM tiles: 3 arc-seconds and 1 arc-second.
    static constexpr int kHgtSides[] = {1201, 3601};
    // The largest GeoTIFF read whole: two by two degrees at 1 arc-second (about 200 MB as floats).
    static constexpr long long kMaxGeoTiffSamples = 4LL * 3601 * 3601;

    // The kind of tile a file name says (".hgt", ".hgt.zip", ".tif", ".tiff", any case);
    // nullopt for any other file.
    static std::optional<Kind> KindOf(std::string_view fileName);

    // Looks at the file without reading its samples.
    CTileFile(const std::string& path, Kind kind);

    const std::string& FileName() const { return m_fileName; }
    // Empty when the file is a tile; else why it is not ("its 1000 bytes are not ...").
    const std::string& Reason() const { return m_reason; }
    const std::vector<TileSquare>& Squares() const { return m_squares; }

    // The samples, read whole; null when that fails, with Reason() saying why.
    std::shared_ptr<const CTileGrid> Read();

private:
    void ExamineHgt(long long nBytes, std::optional<TileSquare> square);
    void ExamineHgtZip();
    void ExamineGeoTiff();
    std::shared_ptr<const CTileGrid> ReadHgt();
    std::shared_ptr<const CTileGrid> ReadGeoTiff();
    void CoverSquaresOfLattice();

    Kind m_kind;
    std::string m_fileName;
    std::string m_source; // what GDAL opens: the path, or /vsizip/ZIP/MEMBER
    std::string m_reason;
    std::vector<TileSquare> m_squares;
    int m_nCols = 0;
    int m_nRows = 0;
    CTileGrid::Lattice m_lattice;
};
