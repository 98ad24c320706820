// Little-endian values read from a versioned document's header or chunk without ever reading
// past its end: a read that does not fit gives zeros and marks the reader failed, so that a
// chunk is decoded first and judged once. Used by CChunkedFile, CRecordChunks, CArrayCodec and
// CDocumentFile.
#pragma once

#include "CByteWriter.h"

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>
#include <type_traits>

class CByteReader {
public:
    explicit CByteReader(std::string_view bytes) : m_bytes(bytes) {}

    template <typename T> T Get() {
        static_assert(std::is_trivially_copyable_v<T>);
        T value{};
        const std::string_view bytes = GetBytes(sizeof(T));
        if (!m_bFailed)
            std::memcpy(&value, bytes.data(), sizeof(T));
        return value;
    }
    std::string_view GetBytes(std::size_t n) {
        if (m_bFailed || n > Left()) {
            m_bFailed = true;
            return {};
        }
        const std::string_view bytes = m_bytes.substr(m_nAt, n);
        m_nAt += n;
        return bytes;
    }
    // A text written by CByteWriter::PutText.
    std::string GetText() {
        const auto n = Get<std::uint32_t>();
        return std::string(GetBytes(n));
    }

    std::size_t Left() const { return m_bFailed ? 0 : m_bytes.size() - m_nAt; }
    bool Failed() const { return m_bFailed; }
    // True when everything was read and nothing is left over.
    bool AtEnd() const { return !m_bFailed && m_nAt == m_bytes.size(); }

private:
    std::string_view m_bytes;
    std::size_t m_nAt = 0;
    bool m_bFailed = false;
};
