// The CRC-16 that guards a FIT file's header and the whole file (polynomial 0x8005, reflected,
// starting at 0). CFitReader checks both with it.
#pragma once

#include <cstdint>
#include <span>

class CFitCrc {
public:
    // The CRC of bytes, continuing from crc (0 for the first bytes).
    static std::uint16_t Update(std::uint16_t crc, std::span<const std::uint8_t> bytes);
};
