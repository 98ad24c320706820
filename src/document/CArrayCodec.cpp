#include "CArrayCodec.h"

#include "CByteReader.h"
#include "CByteWriter.h"

#include <cstring>
#include <zstd.h>

namespace {
using Method = CArrayCodec::Method;
// The value count and the method byte before the values.
constexpr std::size_t kHeadBytes = sizeof(std::uint32_t) + sizeof(Method);

template <typename U> U LoadValue(const unsigned char* p) {
    U u;
    std::memcpy(&u, p, sizeof u);
    return u;
}

// The differences of the bit patterns (wrapping, so every pattern comes back exactly), byte
// plane by byte plane: all the low bytes, then all the second bytes, and so on.
template <typename U> std::string Planes(const void* pValues, std::size_t n) {
    const auto* p = static_cast<const unsigned char*>(pValues);
    std::string planes(n * sizeof(U), '\0');
    U prev = 0;
    for (std::size_t i = 0; i < n; ++i) {
        const U u = LoadValue<U>(p + i * sizeof(U));
        const U d = static_cast<U>(u - prev);
        prev = u;
        for (std::size_t b = 0; b < sizeof(U); ++b)
            planes[b * n + i] = static_cast<char>((d >> (8 * b)) & 0xff);
    }
    return planes;
}

template <typename U> void FromPlanes(const std::string& planes, void* pValues, std::size_t n) {
    auto* p = static_cast<unsigned char*>(pValues);
    const auto* q = reinterpret_cast<const unsigned char*>(planes.data());
    U prev = 0;
    for (std::size_t i = 0; i < n; ++i) {
        U d = 0;
        for (std::size_t b = 0; b < sizeof(U); ++b)
            d |= static_cast<U>(q[b * n + i]) << (8 * b);
        prev = static_cast<U>(prev + d);
        std::memcpy(p + i * sizeof(U), &prev, sizeof(U));
    }
}

std::string Packed(const void* pValues, std::size_t n, std::size_t nWidth) {
    const std::string planes =
        nWidth == 8 ? Planes<std::uint64_t>(pValues, n) : Planes<std::uint32_t>(pValues, n);
    std::string packed(ZSTD_compressBound(planes.size()), '\0');
    const std::size_t nPacked = ZSTD_compress(packed.data(), packed.size(), planes.data(),
                                              planes.size(), CArrayCodec::kLevel);
    if (ZSTD_isError(nPacked))
        return std::string();
    packed.resize(nPacked);
    return packed;
}

// The frame must say how much it unpacks to before any of it is unpacked, so that a small
// damaged file never asks for more memory than its point count gives.
std::string CheckPacked(std::string_view packed, std::size_t n, std::size_t nWidth) {
    if (ZSTD_findFrameCompressedSize(packed.data(), packed.size()) != packed.size())
        return "is not one packed frame";
    if (ZSTD_getFrameContentSize(packed.data(), packed.size()) != n * nWidth)
        return "unpacks to a size other than its " + std::to_string(n) + " values";
    return std::string();
}

std::string Unpack(std::string_view packed, void* pValues, std::size_t n, std::size_t nWidth) {
    const std::size_t nBytes = n * nWidth;
    std::string planes(nBytes, '\0');
    const std::size_t nDone =
        ZSTD_decompress(planes.data(), planes.size(), packed.data(), packed.size());
    if (ZSTD_isError(nDone))
        return std::string("does not unpack (") + ZSTD_getErrorName(nDone) + ")";
    if (nDone != nBytes)
        return "unpacks to a size other than its " + std::to_string(n) + " values";
    if (nWidth == 8)
        FromPlanes<std::uint64_t>(planes, pValues, n);
    else
        FromPlanes<std::uint32_t>(planes, pValues, n);
    return std::string();
}
} // namespace

void CArrayCodec::Encode(std::string& out, const void* pValues, std::size_t nValues,
                         std::size_t nWidth) {
    CByteWriter writer(out);
    writer.Put(static_cast<std::uint32_t>(nValues));
    const std::string packed = Packed(pValues, nValues, nWidth);
    if (!packed.empty() && packed.size() < nValues * nWidth) {
        writer.Put(Method::packed);
        writer.PutBytes(packed);
    } else {
        writer.Put(Method::plain);
        writer.PutBytes(std::string_view(static_cast<const char*>(pValues), nValues * nWidth));
    }
}

std::string CArrayCodec::Check(std::string_view encoded, std::size_t nValues, std::size_t nWidth) {
    CByteReader reader(encoded);
    const auto nStored = reader.Get<std::uint32_t>();
    const auto method = reader.Get<Method>();
    if (reader.Failed())
        return "is too short for its value count";
    if (nStored != nValues)
        return "holds " + std::to_string(nStored) + " values for " + std::to_string(nValues);
    const std::string_view data = reader.GetBytes(reader.Left());
    switch (method) {
    case Method::plain:
        if (data.size() != nValues * nWidth)
            return "has " + std::to_string(data.size()) + " bytes for " + std::to_string(nValues) +
                   " values of " + std::to_string(nWidth);
        return std::string();
    case Method::packed:
        return CheckPacked(data, nValues, nWidth);
    }
    return "is stored in an unknown way (" + std::to_string(static_cast<unsigned>(method)) + ")";
}

std::string CArrayCodec::Decode(std::string_view encoded, void* pValues, std::size_t nValues,
                                std::size_t nWidth) {
    if (std::string reason = Check(encoded, nValues, nWidth); !reason.empty())
        return reason;
    const std::string_view data = encoded.substr(kHeadBytes);
    if (static_cast<Method>(encoded[sizeof(std::uint32_t)]) == Method::packed)
        return Unpack(data, pValues, nValues, nWidth);
    if (!data.empty())
        std::memcpy(pValues, data.data(), data.size());
    return std::string();
}
