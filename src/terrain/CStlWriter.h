// Binary STL of a terrain model (CTerrainModel), for vorlan-cli render --plot stl: an 80-byte
// header, the triangle count, then per triangle its unit normal, its three corners and a zero
// attribute, all little-endian; 84 + 50 bytes a triangle.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

class CTerrainModel;

class CStlWriter {
public:
    static constexpr std::size_t kHeaderBytes = 80;
    static constexpr std::size_t kTriangleBytes = 50;
    static constexpr std::string_view kTitle = "Vorlan terrain model";

    // The file's bytes; the header holds kTitle, padded with zero bytes.
    static std::string Bytes(const CTerrainModel& model);
};
