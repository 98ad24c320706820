// Little-endian values appended to a byte string: the versioned document's header and chunks are
// written with it (CChunkedFile, CRecordChunks, CArrayCodec, CDocumentFile).
#pragma once

#include <bit>
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>
#include <type_traits>

// The values are copied as the machine holds them, as the designed layout always was.
static_assert(std::endian::native == std::endian::little, "documents are little-endian");

class CByteWriter {
public:
    explicit CByteWriter(std::string& out) : m_out(out) {}

    template <typename T> void Put(T value) {
        static_assert(std::is_trivially_copyable_v<T>);
        char bytes[sizeof(T)];
        std::memcpy(bytes, &value, sizeof(T));
        m_out.append(bytes, sizeof(T));
    }
    void PutBytes(std::string_view bytes) { m_out.append(bytes); }
    // A text as its length (uint32) and its bytes.
    void PutText(std::string_view text) {
        Put(static_cast<std::uint32_t>(text.size()));
        PutBytes(text);
    }

private:
    std::string& m_out;
};
