// The point arrays of a versioned document (the record's channels and the designed track's
// floats), stored as a value count, a method byte and the values, plain or packed. Packed: each
// value's bit pattern minus the one before it, so that a slowly changing series becomes small
// numbers; the bytes regrouped by their place in the value, so that the zero high bytes of those
// small numbers fall together; then zstd. Packing is kept only where it makes the chunk smaller.
// Used by CRecordChunks and CDocumentFile.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

class CArrayCodec {
public:
    enum class Method : std::uint8_t { plain = 0, packed = 1 };
    // zstd's default level: on a 100000-point record of every channel, level 1 gave 14.6 bytes
    // a point in 7 ms and level 9 14.3 in 44 ms; level 3 gives 14.5 in 10 ms.
    static constexpr int kLevel = 1;

    // Appends nValues values of nWidth bytes (4 or 8) each, from pValues, to out.
    static void Encode(std::string& out, const void* pValues, std::size_t nValues,
                       std::size_t nWidth);
    // Whether encoded can hold exactly nValues values of nWidth bytes, judged from its count and
    // sizes alone: the reason it cannot, to follow "the latitude chunk", or an empty string.
    // Checked before the memory for the values is taken, so that a damaged count asks for none.
    static std::string Check(std::string_view encoded, std::size_t nValues, std::size_t nWidth);
    // Decodes what Encode wrote into exactly nValues values of nWidth bytes at pValues; the
    // reason they cannot be, as Check gives it, or an empty string.
    static std::string Decode(std::string_view encoded, void* pValues, std::size_t nValues,
                              std::size_t nWidth);
};
