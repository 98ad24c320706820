#include "CCrc32.h"

#include <zlib.h>

#include <algorithm>
#include <limits>

std::uint32_t CCrc32::Of(std::string_view bytes, std::uint32_t crc) {
    // zlib takes at most a uInt of bytes a call.
    constexpr std::size_t kMaxStep = std::numeric_limits<uInt>::max();
    uLong c = crc;
    for (std::size_t at = 0; at < bytes.size(); at += kMaxStep) {
        const std::size_t n = std::min(kMaxStep, bytes.size() - at);
        c = crc32(c, reinterpret_cast<const Bytef*>(bytes.data() + at), static_cast<uInt>(n));
    }
    return static_cast<std::uint32_t>(c);
}
