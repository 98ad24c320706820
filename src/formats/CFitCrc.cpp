#include "CFitCrc.h"

#include <array>

namespace {

// 0x8005 with its bits reversed: the CRC is computed least significant bit first.
constexpr std::uint16_t kPolynomial = 0xA001;
// Bytes taken at a time: the files run to megabytes, and one table lookup after another, each
// waiting for the last, would cost more than reading their messages.
constexpr std::size_t kSlice = 8;

using Table = std::array<std::uint16_t, 256>;

// tables[0]: the CRC of one byte; tables[k]: of one byte followed by k zero bytes.
constexpr std::array<Table, kSlice> MakeTables() {
    std::array<Table, kSlice> tables{};
    for (unsigned byte = 0; byte < 256; ++byte) {
        unsigned crc = byte;
        for (int bit = 0; bit < 8; ++bit)
            crc = (crc & 1) != 0 ? (crc >> 1) ^ kPolynomial : crc >> 1;
        tables[0][byte] = static_cast<std::uint16_t>(crc);
    }
    for (std::size_t k = 1; k < kSlice; ++k)
        for (unsigned byte = 0; byte < 256; ++byte) {
            const std::uint16_t before = tables[k - 1][byte];
            tables[k][byte] = static_cast<std::uint16_t>((before >> 8) ^ tables[0][before & 0xFF]);
        }
    return tables;
}

constexpr std::array<Table, kSlice> kTables = MakeTables();

} // namespace

// Eight bytes at a time: the CRC so far meets the first two, and each byte's table says what it
// becomes after the bytes that follow it in the slice.
std::uint16_t CFitCrc::Update(std::uint16_t crc, std::span<const std::uint8_t> bytes) {
    const std::uint8_t* p = bytes.data();
    std::size_t n = bytes.size();
    for (; n >= kSlice; n -= kSlice, p += kSlice) {
        const unsigned v = crc ^ (p[0] | (p[1] << 8));
        crc = kTables[7][v & 0xFF] ^ kTables[6][v >> 8] ^ kTables[5][p[2]] ^ kTables[4][p[3]] ^
              kTables[3][p[4]] ^ kTables[2][p[5]] ^ kTables[1][p[6]] ^ kTables[0][p[7]];
    }
    for (; n > 0; --n, ++p)
        crc = static_cast<std::uint16_t>((crc >> 8) ^ kTables[0][(crc ^ *p) & 0xFF]);
    return crc;
}
