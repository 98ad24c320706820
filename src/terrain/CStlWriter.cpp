#include "CStlWriter.h"

#include "CTerrainModel.h"

#include <bit>
#include <cmath>
#include <cstdint>
#include <stdexcept>

namespace {
void PutU32(std::string& bytes, std::uint32_t v) {
    for (int shift = 0; shift < 32; shift += 8)
        bytes += static_cast<char>((v >> shift) & 0xFF);
}

void PutFloat(std::string& bytes, float v) {
    PutU32(bytes, std::bit_cast<std::uint32_t>(v));
}

// The unit normal of the corners as stored, counter-clockwise seen from where it points.
std::array<float, 3> NormalOf(const CTerrainModel::Vertex& a, const CTerrainModel::Vertex& b,
                              const CTerrainModel::Vertex& c) {
    const double ux = b.x - a.x, uy = b.y - a.y, uz = b.z - a.z;
    const double vx = c.x - a.x, vy = c.y - a.y, vz = c.z - a.z;
    const double nx = uy * vz - uz * vy, ny = uz * vx - ux * vz, nz = ux * vy - uy * vx;
    const double length = std::sqrt(nx * nx + ny * ny + nz * nz);
    return {static_cast<float>(nx / length), static_cast<float>(ny / length),
            static_cast<float>(nz / length)};
}
} // namespace

std::string CStlWriter::Bytes(const CTerrainModel& model) {
    const std::vector<CTerrainModel::Vertex>& vertices = model.Vertices();
    const std::vector<CTerrainModel::Triangle>& triangles = model.Triangles();
    if (triangles.size() > UINT32_MAX)
        throw std::length_error("CStlWriter: more triangles than a file can count");
    std::string bytes(kTitle);
    bytes.resize(kHeaderBytes, '\0');
    bytes.reserve(kHeaderBytes + 4 + kTriangleBytes * triangles.size());
    PutU32(bytes, static_cast<std::uint32_t>(triangles.size()));
    for (const CTerrainModel::Triangle& t : triangles) {
        for (const float n : NormalOf(vertices[t[0]], vertices[t[1]], vertices[t[2]]))
            PutFloat(bytes, n);
        for (const std::uint32_t i : t) {
            PutFloat(bytes, vertices[i].x);
            PutFloat(bytes, vertices[i].y);
            PutFloat(bytes, vertices[i].z);
        }
        bytes += std::string(2, '\0');
    }
    return bytes;
}
