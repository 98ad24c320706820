// Writes elevation tiles for the terrain tests and benchmarks: SRTM .hgt by hand (HgtWriter.h),
// the same zipped through GDAL's /vsizip/, and GeoTIFF through GDAL's GTiff driver. Surfaces are
// functions of latitude and longitude in degrees; a plane comes out of bilinear interpolation
// unchanged, so a test can expect its value at any position.
#pragma once

#include "HgtWriter.h"

#include <cpl_vsi.h>
#include <gdal.h>
#include <ogr_srs_api.h>

#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

// A zip holding one member, written through GDAL.
inline void WriteHgtZip(const std::string& zipPath, const std::string& member,
                        const std::vector<std::int16_t>& samples) {
    const std::string bytes = HgtBytes(samples);
    VSILFILE* pFile = VSIFOpenL(("/vsizip/" + zipPath + "/" + member).c_str(), "wb");
    if (!pFile || VSIFWriteL(bytes.data(), 1, bytes.size(), pFile) != bytes.size())
        throw std::runtime_error("cannot write " + zipPath);
    VSIFCloseL(pFile);
}

// A single-band Float32 GeoTIFF. gt is GDAL's geotransform, which places the corner of the
// north-west cell also for a pixel-is-point file (GDAL moves the file's tie point half a cell).
struct GeoTiffTile {
    int nCols = 0;
    int nRows = 0;
    double gt[6] = {0, 1, 0, 0, 0, -1};
    bool bPoint = true; // AREA_OR_POINT=Point, as Copernicus tiles
    int nEpsg = 4326;
    std::optional<double> noData;
    std::vector<float> samples; // north row first

    float& At(int row, int col) { return samples[static_cast<std::size_t>(row) * nCols + col]; }
};

// The square (nLat, nLon) with nCells cells a degree of surface f. bPoint: samples on the cell
// lattice from the north-west corner, nCells + 1 of them a side when bSharedEdges, else nCells
// (Copernicus: the east and south edges are the neighbours'); not bPoint: nCells samples at the
// cell centres.
inline GeoTiffTile GeoTiffOf(int nLat, int nLon, int nCells, bool bPoint, bool bSharedEdges,
                             const Surface& f) {
    GeoTiffTile tile;
    tile.bPoint = bPoint;
    tile.nCols = tile.nRows = bPoint && bSharedEdges ? nCells + 1 : nCells;
    const double step = 1.0 / nCells;
    const double offset = bPoint ? 0.0 : 0.5;
    tile.gt[0] = nLon - (bPoint ? step / 2 : 0);
    tile.gt[1] = step;
    tile.gt[3] = nLat + 1 + (bPoint ? step / 2 : 0);
    tile.gt[5] = -step;
    for (int row = 0; row < tile.nRows; ++row)
        for (int col = 0; col < tile.nCols; ++col)
            tile.samples.push_back(static_cast<float>(
                f(nLat + 1 - (row + offset) * step, nLon + (col + offset) * step)));
    return tile;
}

inline void WriteGeoTiff(const std::string& path, const GeoTiffTile& tile) {
    GDALAllRegister();
    GDALDatasetH pDataset = GDALCreate(GDALGetDriverByName("GTiff"), path.c_str(), tile.nCols,
                                       tile.nRows, 1, GDT_Float32, nullptr);
    if (!pDataset)
        throw std::runtime_error("cannot write " + path);
    OGRSpatialReferenceH pSrs = OSRNewSpatialReference(nullptr);
    OSRImportFromEPSG(pSrs, tile.nEpsg);
    GDALSetSpatialRef(pDataset, pSrs);
    OSRDestroySpatialReference(pSrs);
    GDALSetMetadataItem(pDataset, GDALMD_AREA_OR_POINT,
                        tile.bPoint ? GDALMD_AOP_POINT : GDALMD_AOP_AREA, nullptr);
    double gt[6];
    std::copy(tile.gt, tile.gt + 6, gt);
    GDALSetGeoTransform(pDataset, gt);
    GDALRasterBandH pBand = GDALGetRasterBand(pDataset, 1);
    if (tile.noData)
        GDALSetRasterNoDataValue(pBand, *tile.noData);
    const CPLErr err = GDALRasterIO(pBand, GF_Write, 0, 0, tile.nCols, tile.nRows,
                                    const_cast<float*>(tile.samples.data()), tile.nCols, tile.nRows,
                                    GDT_Float32, 0, 0);
    GDALClose(pDataset);
    if (err != CE_None)
        throw std::runtime_error("cannot write the samples of " + path);
}
