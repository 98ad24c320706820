// The CRC-32 of the IEEE polynomial (zlib's, as zip and PNG use it) over a versioned document's
// header and chunks: CChunkedFile seals and checks them with it, and so do the tests and the fuzz
// target that build documents by hand.
#pragma once

#include <cstdint>
#include <string_view>

class CCrc32 {
public:
    // The checksum of bytes, continuing crc when given: Of(b, Of(a)) == Of(a followed by b).
    static std::uint32_t Of(std::string_view bytes, std::uint32_t crc = 0);
};
