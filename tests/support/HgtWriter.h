// Writes SRTM .hgt tiles by hand for the tests, without GDAL (the desktop program's tests link
// none): big-endian 16-bit samples, rows north to south, edges shared with the neighbours, of a
// surface given as a function of latitude and longitude in degrees.
#pragma once

#include <cmath>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

using Surface = std::function<double(double lat, double lon)>;

// Makes a folder for tiles; its path with a trailing slash.
inline std::string MakeFolder(const std::string& path) {
    std::filesystem::create_directories(path);
    return path + "/";
}

// The samples of an nSide x nSide .hgt of the square with south-west corner (nLat, nLon),
// rounded to whole metres.
inline std::vector<std::int16_t> HgtSamples(int nSide, int nLat, int nLon, const Surface& f) {
    std::vector<std::int16_t> samples;
    samples.reserve(static_cast<std::size_t>(nSide) * nSide);
    for (int row = 0; row < nSide; ++row)
        for (int col = 0; col < nSide; ++col)
            samples.push_back(static_cast<std::int16_t>(
                std::lround(f(nLat + 1 - static_cast<double>(row) / (nSide - 1),
                              nLon + static_cast<double>(col) / (nSide - 1)))));
    return samples;
}

inline std::string HgtBytes(const std::vector<std::int16_t>& samples) {
    std::string bytes;
    bytes.reserve(2 * samples.size());
    for (const std::int16_t v : samples) {
        const auto u = static_cast<std::uint16_t>(v);
        bytes += static_cast<char>(u >> 8);
        bytes += static_cast<char>(u & 0xFF);
    }
    return bytes;
}

inline void WriteFile(const std::string& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary)
        .write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

inline void WriteHgt(const std::string& path, const std::vector<std::int16_t>& samples) {
    WriteFile(path, HgtBytes(samples));
}
