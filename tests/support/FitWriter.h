// Writes FIT files for the tests, the benchmarks and the fuzz seeds: definitions in either byte
// order with or without developer fields, data messages with normal or compressed timestamp
// headers, a 12- or 14-byte header and the checksums (computed bit by bit here, apart from the
// reader's table).
#pragma once

#include <cstddef>
#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

class FitWriter {
public:
    // Base types as a definition writes them.
    static constexpr std::uint8_t kEnum = 0x00, kSint8 = 0x01, kUint8 = 0x02, kSint16 = 0x83,
                                  kUint16 = 0x84, kSint32 = 0x85, kUint32 = 0x86, kString = 0x07,
                                  kFloat32 = 0x88, kFloat64 = 0x89, kUint8z = 0x0A, kUint16z = 0x8B,
                                  kUint32z = 0x8C, kByte = 0x0D, kSint64 = 0x8E, kUint64 = 0x8F,
                                  kUint64z = 0x90;
    // Seconds between 1970-01-01 and FIT's epoch, 1989-12-31T00:00:00Z.
    static constexpr std::int64_t kEpochUnixSeconds = 631065600;

    struct Field {
        std::uint8_t number;
        std::uint8_t size;
        std::uint8_t baseType;
    };

    // Degrees as the signed 32-bit semicircles a position field holds, rounded.
    static std::uint64_t Semicircles(double degrees) {
        const double v = degrees * 2147483648.0 / 180.0;
        return static_cast<std::uint64_t>(static_cast<std::int64_t>(v < 0 ? v - 0.5 : v + 0.5));
    }

    // A definition of local type nLocal for global message nGlobal; developerSizes: the sizes of
    // developer fields its data messages carry after the others.
    void Define(std::uint8_t nLocal, std::uint16_t nGlobal, std::vector<Field> fields,
                bool bBigEndian = false, std::vector<std::uint8_t> developerSizes = {}) {
        const bool bDeveloper = !developerSizes.empty();
        m_data += static_cast<char>(0x40 | (bDeveloper ? 0x20 : 0) | nLocal);
        m_data += '\0';
        m_data += static_cast<char>(bBigEndian ? 1 : 0);
        Put(nGlobal, 2, bBigEndian);
        m_data += static_cast<char>(fields.size());
        for (const Field& f : fields)
            m_data += {static_cast<char>(f.number), static_cast<char>(f.size),
                       static_cast<char>(f.baseType)};
        if (bDeveloper) {
            m_data += static_cast<char>(developerSizes.size());
            for (std::size_t i = 0; i < developerSizes.size(); ++i)
                m_data += {static_cast<char>(i), static_cast<char>(developerSizes[i]), '\0'};
        }
        m_defs[nLocal] = {bBigEndian, std::move(fields), std::move(developerSizes)};
    }

    // A data message: a value per field (the raw bits; negative numbers as their two's
    // complement), each written in its field's size, then 0xAB for every developer byte.
    void Data(std::uint8_t nLocal, const std::vector<std::uint64_t>& values) {
        m_data += static_cast<char>(nLocal);
        Values(nLocal, values);
    }
    // The same with a compressed timestamp header (local types 0 to 3): the low 5 bits of the
    // time in seconds.
    void Compressed(std::uint8_t nLocal, std::uint32_t fitSeconds,
                    const std::vector<std::uint64_t>& values) {
        m_data += static_cast<char>(0x80 | (nLocal << 5) | (fitSeconds & 0x1F));
        Values(nLocal, values);
    }
    // Bytes as they are, for damaged files.
    void Raw(const std::string& bytes) { m_data += bytes; }

    // The bytes of the file so far, header included: where the next message starts.
    std::size_t Offset() const { return HeaderBytes() + m_data.size(); }

    // The whole file: header, messages, CRC.
    std::string File() const {
        std::string file;
        file += static_cast<char>(HeaderBytes());
        file += static_cast<char>(0x20);                            // protocol 2.0
        file += {static_cast<char>(0x08), static_cast<char>(0x08)}; // profile 20.56
        const std::size_t nData = m_nAnnounced ? *m_nAnnounced : m_data.size();
        for (int i = 0; i < 4; ++i)
            file += static_cast<char>((nData >> (8 * i)) & 0xFF);
        file += ".FIT";
        if (m_b14ByteHeader)
            AppendCrc(file, Crc(file));
        file += m_data;
        AppendCrc(file, Crc(file));
        return file;
    }

    void Use12ByteHeader() { m_b14ByteHeader = false; }
    // The header says the messages take nBytes, whatever they take.
    void AnnounceDataBytes(std::size_t nBytes) { m_nAnnounced = nBytes; }

    // CRC-16, polynomial 0x8005 reflected (0xA001), starting at 0, a bit at a time.
    static std::uint16_t Crc(const std::string& bytes) {
        unsigned crc = 0;
        for (const char c : bytes) {
            crc ^= static_cast<unsigned char>(c);
            for (int bit = 0; bit < 8; ++bit)
                crc = (crc & 1) != 0 ? (crc >> 1) ^ 0xA001 : crc >> 1;
        }
        return static_cast<std::uint16_t>(crc);
    }

private:
    struct Definition {
        bool bBigEndian = false;
        std::vector<Field> fields;
        std::vector<std::uint8_t> developerSizes;
    };

    std::size_t HeaderBytes() const { return m_b14ByteHeader ? 14 : 12; }

    static void AppendCrc(std::string& to, std::uint16_t crc) {
        to += {static_cast<char>(crc & 0xFF), static_cast<char>(crc >> 8)};
    }

    void Put(std::uint64_t v, std::size_t nBytes, bool bBigEndian) {
        for (std::size_t i = 0; i < nBytes; ++i) {
            const std::size_t nShift = 8 * (bBigEndian ? nBytes - 1 - i : i);
            m_data += static_cast<char>(nShift < 64 ? (v >> nShift) & 0xFF : 0);
        }
    }

    void Values(std::uint8_t nLocal, const std::vector<std::uint64_t>& values) {
        const Definition& def = m_defs.at(nLocal);
        for (std::size_t i = 0; i < def.fields.size(); ++i)
            Put(values.at(i), def.fields[i].size, def.bBigEndian);
        for (const std::uint8_t n : def.developerSizes)
            m_data.append(n, '\xAB');
    }

    std::map<std::uint8_t, Definition> m_defs;
    std::string m_data;
    bool m_b14ByteHeader = true;
    std::optional<std::size_t> m_nAnnounced;
};
