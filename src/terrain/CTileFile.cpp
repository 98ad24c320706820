#include "CTileFile.h"

#include <cpl_conv.h>
#include <cpl_error.h>
#include <cpl_string.h>
#include <cpl_vsi.h>
#include <gdal.h>
#include <ogr_srs_api.h>

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdint>
#include <filesystem>
#include <limits>
#include <new>
#include <numbers>

namespace {
constexpr float kVoid = std::numeric_limits<float>::quiet_NaN();
constexpr std::int16_t kHgtVoid = -32768;
// How far a lattice's numbers may be from whole (or half) cells and still be taken as whole.
constexpr double kLatticeTolerance = 1e-6;
// Degrees a tile may reach into a square beside its own before it counts as covering it.
constexpr double kSquareTolerance = 1e-9;
// Rows of an .hgt read at a time.
constexpr int kHgtRowsPerRead = 256;

// GDAL's drivers are registered once per process, on the first tile looked at: a program that
// never reads terrain never pays for it, and GDAL keeps the registry itself.
void RegisterGdal() {
    static const bool bRegistered = [] {
        GDALAllRegister();
        return true;
    }();
    (void)bRegistered;
}

// GDAL's complaints about a file become our reason for skipping it, not lines on stderr.
class QuietGdal {
public:
    QuietGdal() {
        CPLPushErrorHandler(CPLQuietErrorHandler);
        CPLErrorReset();
    }
    ~QuietGdal() { CPLPopErrorHandler(); }
    QuietGdal(const QuietGdal&) = delete;
    QuietGdal& operator=(const QuietGdal&) = delete;
    // " (GDAL: ...)" with GDAL's last message, or nothing.
    static std::string Said() {
        const char* psz = CPLGetLastErrorMsg();
        return psz && *psz ? std::string(" (GDAL: ") + psz + ")" : std::string();
    }
};

struct DatasetCloser {
    void operator()(void* p) const { GDALClose(p); }
};
using Dataset = std::unique_ptr<void, DatasetCloser>;

struct FileCloser {
    void operator()(VSILFILE* p) const { VSIFCloseL(p); }
};

Dataset OpenGeoTiff(const std::string& path) {
    static const char* const kDrivers[] = {"GTiff", nullptr};
    return Dataset(
        GDALOpenEx(path.c_str(), GDAL_OF_RASTER | GDAL_OF_READONLY, kDrivers, nullptr, nullptr));
}

std::string Lower(std::string_view text) {
    std::string out(text);
    std::transform(out.begin(), out.end(), out.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return out;
}

double SnapTo(double x, double step) {
    const double snapped = std::round(x / step) * step;
    return std::abs(x - snapped) < kLatticeTolerance ? snapped : x;
}

// GDAL's geotransform gives the corner of a cell, also for a pixel-is-point file
// (AREA_OR_POINT=Point: Copernicus tiles), whose tie point it moves half a cell out; so the
// samples lie half a cell in. Only when GDAL is told to leave such files alone
// (GTIFF_POINT_GEO_IGNORE) does the geotransform give the samples themselves.
double SampleOffset(GDALDatasetH pDataset) {
    const char* pszArea = GDALGetMetadataItem(pDataset, GDALMD_AREA_OR_POINT, nullptr);
    const bool bPoint = pszArea && EQUAL(pszArea, GDALMD_AOP_POINT);
    const bool bIgnored = CPLTestBool(CPLGetConfigOption("GTIFF_POINT_GEO_IGNORE", "NO"));
    return bPoint && bIgnored ? 0.0 : 0.5;
}

// Why a dataset's coordinates are not degrees of latitude and longitude; empty when they are.
std::string NotInDegrees(GDALDatasetH pDataset) {
    OGRSpatialReferenceH pSrs = GDALGetSpatialRef(pDataset);
    if (!pSrs)
        return "it has no coordinate system";
    if (!OSRIsGeographic(pSrs))
        return "it is not in geographic degrees (a projected coordinate system)";
    const double fRadians = OSRGetAngularUnits(pSrs, nullptr);
    if (std::abs(fRadians - std::numbers::pi / 180) > 1e-12)
        return "its angles are not in degrees";
    return {};
}

// Why a GeoTIFF is no tile; empty when it is one, with its geotransform in gt.
std::string GeoTiffProblem(GDALDatasetH pDataset, double gt[6]) {
    if (GDALGetRasterCount(pDataset) != 1)
        return "it has " + std::to_string(GDALGetRasterCount(pDataset)) + " bands, not one";
    if (GDALGetGeoTransform(pDataset, gt) != CE_None)
        return "it has no geotransform";
    if (std::string why = NotInDegrees(pDataset); !why.empty())
        return why;
    if (gt[2] != 0 || gt[4] != 0 || gt[1] <= 0 || gt[5] >= 0)
        return "it is rotated or not north up";
    if (1LL * GDALGetRasterXSize(pDataset) * GDALGetRasterYSize(pDataset) >
        CTileFile::kMaxGeoTiffSamples)
        return "it has more samples than a tile is read whole with";
    return {};
}
} // namespace

std::optional<CTileFile::Kind> CTileFile::KindOf(std::string_view fileName) {
    const std::string name = Lower(fileName);
    if (name.ends_with(".hgt.zip"))
        return Kind::hgtZip;
    if (name.ends_with(".hgt"))
        return Kind::hgt;
    if (name.ends_with(".tif") || name.ends_with(".tiff"))
        return Kind::geoTiff;
    return std::nullopt;
}

CTileFile::CTileFile(const std::string& path, Kind kind)
    : m_kind(kind), m_fileName(std::filesystem::path(path).filename().string()), m_source(path) {
    RegisterGdal();
    const QuietGdal quiet;
    switch (kind) {
    case Kind::hgt: {
        VSIStatBufL stat{};
        if (VSIStatL(path.c_str(), &stat) != 0)
            m_reason = "it cannot be read" + QuietGdal::Said();
        else
            ExamineHgt(stat.st_size, TileSquare::FromName(m_fileName));
        break;
    }
    case Kind::hgtZip:
        ExamineHgtZip();
        break;
    case Kind::geoTiff:
        ExamineGeoTiff();
        break;
    }
}

// The square is the file's name; the size says the resolution. The edges are shared with the
// neighbours, so a side of n samples spans one degree in n - 1 cells.
void CTileFile::ExamineHgt(long long nBytes, std::optional<TileSquare> square) {
    if (!square) {
        m_reason = "its name does not give a degree square like N47E011.hgt";
        return;
    }
    for (const int side : kHgtSides) {
        if (nBytes == 2LL * side * side) {
            m_nCols = m_nRows = side;
            const double cells = side - 1;
            m_lattice = {cells, cells, (square->nLat + 1) * cells, square->nLon * cells};
            m_squares = {*square};
            return;
        }
    }
    m_reason = "its " + std::to_string(nBytes) +
               " bytes are not 1201 x 1201 or 3601 x 3601 samples of 2 bytes";
}

// "N47E011.hgt.zip" holds "N47E011.hgt"; downloads with longer names ("N47E011.SRTMGL1.hgt.zip")
// still start with the square.
void CTileFile::ExamineHgtZip() {
    const std::string zip = "/vsizip/" + m_source;
    char** ppszMembers = VSIReadDir(zip.c_str());
    std::string member;
    for (int i = 0; ppszMembers && ppszMembers[i]; ++i)
        if (KindOf(ppszMembers[i]) == Kind::hgt) {
            member = ppszMembers[i];
            break;
        }
    CSLDestroy(ppszMembers);
    if (member.empty()) {
        m_reason = "it is not a zip file with an .hgt file in it" + QuietGdal::Said();
        return;
    }
    m_source = zip + "/" + member;
    VSIStatBufL stat{};
    if (VSIStatL(m_source.c_str(), &stat) != 0) {
        m_reason = "its " + member + " cannot be read" + QuietGdal::Said();
        return;
    }
    const std::optional<TileSquare> square = TileSquare::FromName(m_fileName);
    ExamineHgt(stat.st_size, square ? square : TileSquare::FromName(member));
}

void CTileFile::ExamineGeoTiff() {
    const Dataset dataset = OpenGeoTiff(m_source);
    if (!dataset) {
        m_reason = "GDAL cannot read it as a GeoTIFF" + QuietGdal::Said();
        return;
    }
    GDALDatasetH pDataset = dataset.get();
    double gt[6];
    m_reason = GeoTiffProblem(pDataset, gt);
    if (!m_reason.empty())
        return;
    m_nCols = GDALGetRasterXSize(pDataset);
    m_nRows = GDALGetRasterYSize(pDataset);
    const double fOffset = SampleOffset(pDataset);
    const double fLatCells = SnapTo(-1 / gt[5], 1);
    const double fLonCells = SnapTo(1 / gt[1], 1);
    m_lattice = {fLatCells, fLonCells, SnapTo(gt[3] * fLatCells - fOffset, 0.5),
                 SnapTo(gt[0] * fLonCells + fOffset, 0.5)};
    CoverSquaresOfLattice();
}

// The squares the samples reach: a tile whose samples run from 11.0 to 12.0 (shared edges) or
// from 11.0 to 11.99972 (Copernicus) or 11.00014 to 11.99986 (cell centres) covers E011 alone.
void CTileFile::CoverSquaresOfLattice() {
    const CTileGrid::Lattice& l = m_lattice;
    const double west = l.fWestCells / l.fCellsPerDegLon;
    const double east = (l.fWestCells + m_nCols - 1) / l.fCellsPerDegLon;
    const double north = l.fNorthCells / l.fCellsPerDegLat;
    const double south = (l.fNorthCells - (m_nRows - 1)) / l.fCellsPerDegLat;
    const auto first = [](double edge) {
        return static_cast<int>(std::floor(edge + kSquareTolerance));
    };
    const auto last = [&](double edge, double from) {
        return std::max(first(from), static_cast<int>(std::ceil(edge - kSquareTolerance)) - 1);
    };
    const int nSouth = std::max(first(south), -90);
    const int nNorth = std::min(last(north, south), 89);
    const int nWest = std::max(first(west), -180);
    const int nEast = std::min(last(east, west), 179);
    for (int lat = nSouth; lat <= nNorth; ++lat)
        for (int lon = nWest; lon <= nEast; ++lon)
            m_squares.push_back({lat, lon});
    if (m_squares.empty())
        m_reason = "it lies outside -90..90 and -180..180 degrees";
}

std::shared_ptr<const CTileGrid> CTileFile::Read() {
    if (!m_reason.empty())
        return nullptr;
    RegisterGdal();
    const QuietGdal quiet;
    try {
        return m_kind == Kind::geoTiff ? ReadGeoTiff() : ReadHgt();
    } catch (const std::bad_alloc&) {
        m_reason = "there is not enough memory to read it";
        return nullptr;
    }
}

// Big-endian 16-bit samples, a few hundred rows at a time.
std::shared_ptr<const CTileGrid> CTileFile::ReadHgt() {
    const std::unique_ptr<VSILFILE, FileCloser> file(VSIFOpenL(m_source.c_str(), "rb"));
    if (!file) {
        m_reason = "it cannot be opened" + QuietGdal::Said();
        return nullptr;
    }
    const std::size_t nCols = static_cast<std::size_t>(m_nCols);
    std::vector<float> samples(nCols * m_nRows);
    std::vector<unsigned char> bytes(2 * nCols * kHgtRowsPerRead);
    bool bVoids = false;
    for (int row = 0; row < m_nRows; row += kHgtRowsPerRead) {
        const std::size_t nValues = nCols * std::min(kHgtRowsPerRead, m_nRows - row);
        if (VSIFReadL(bytes.data(), 2, nValues, file.get()) != nValues) {
            m_reason = "it could not be read to its end" + QuietGdal::Said();
            return nullptr;
        }
        float* pOut = samples.data() + nCols * row;
        for (std::size_t i = 0; i < nValues; ++i) {
            const auto v = static_cast<std::int16_t>((bytes[2 * i] << 8) | bytes[2 * i + 1]);
            bVoids |= v == kHgtVoid;
            pOut[i] = v == kHgtVoid ? kVoid : static_cast<float>(v);
        }
    }
    return std::make_shared<const CTileGrid>(m_nCols, m_nRows, m_lattice, std::move(samples),
                                             bVoids);
}

// The whole band as floats; the band's no-data value, -32768 in a 16-bit band and NaN are voids.
std::shared_ptr<const CTileGrid> CTileFile::ReadGeoTiff() {
    const Dataset dataset = OpenGeoTiff(m_source);
    GDALRasterBandH pBand = dataset ? GDALGetRasterBand(dataset.get(), 1) : nullptr;
    if (!pBand || GDALGetRasterBandXSize(pBand) != m_nCols ||
        GDALGetRasterBandYSize(pBand) != m_nRows) {
        m_reason = "it changed since the folder was indexed" + QuietGdal::Said();
        return nullptr;
    }
    std::vector<float> samples(static_cast<std::size_t>(m_nCols) * m_nRows);
    if (GDALRasterIO(pBand, GF_Read, 0, 0, m_nCols, m_nRows, samples.data(), m_nCols, m_nRows,
                     GDT_Float32, 0, 0) != CE_None) {
        m_reason = "its samples could not be read" + QuietGdal::Said();
        return nullptr;
    }
    int bHasNoData = 0;
    const double fNoData = GDALGetRasterNoDataValue(pBand, &bHasNoData);
    const bool bInt16 = GDALGetRasterDataType(pBand) == GDT_Int16;
    const float fVoid = static_cast<float>(fNoData);
    bool bVoids = false;
    for (float& v : samples) {
        if ((bHasNoData && v == fVoid) || (bInt16 && v == kHgtVoid))
            v = kVoid;
        bVoids |= std::isnan(v);
    }
    return std::make_shared<const CTileGrid>(m_nCols, m_nRows, m_lattice, std::move(samples),
                                             bVoids);
}
