#include "CFitReader.h"

#include "CFitCrc.h"

#include <algorithm>
#include <cstring>

namespace {

// The header's first 12 bytes: its size, the protocol and profile versions, the size of the
// messages that follow, ".FIT"; a 14-byte header adds its own CRC (0 when not computed).
constexpr std::size_t kHeaderBytes = 12;
constexpr std::size_t kHeaderCrcBytes = 2;
constexpr std::size_t kDataSizeAt = 4;
constexpr std::size_t kSignatureAt = 8;
constexpr char kSignature[] = ".FIT";
constexpr std::size_t kCrcBytes = 2;

// A message's header byte: a compressed timestamp header, or else a definition (with or without
// developer fields) or a data message; the local message type in the low bits.
constexpr std::uint8_t kCompressed = 0x80;
constexpr std::uint8_t kDefinition = 0x40;
constexpr std::uint8_t kDeveloperFields = 0x20;
constexpr std::uint8_t kLocalTypeMask = 0x0F;
constexpr int kCompressedTypeShift = 5;
constexpr std::uint8_t kCompressedTypeMask = 0x03;
constexpr std::uint8_t kTimeOffsetMask = 0x1F;

// The smallest record message that is a point: a header byte and two 4-byte coordinates.
constexpr std::size_t kMinPointBytes = 9;

bool IsDefinition(std::uint8_t header) {
    return (header & (kCompressed | kDefinition)) == kDefinition;
}

// The local message type a header byte names; a compressed timestamp header has room for 4.
std::size_t LocalType(std::uint8_t header) {
    return (header & kCompressed) != 0 ? (header >> kCompressedTypeShift) & kCompressedTypeMask
                                       : header & kLocalTypeMask;
}

std::uint32_t LittleEndian(std::span<const std::uint8_t> p, std::size_t nBytes) {
    std::uint32_t v = 0;
    for (std::size_t i = nBytes; i-- > 0;)
        v = (v << 8) | p[i];
    return v;
}

} // namespace

CFitReader::CFitReader(std::size_t nFileBytes) : m_nFileBytes(nFileBytes) {}

std::unique_ptr<CTrackReader> CFitReader::Make(std::size_t nFileBytes) {
    return std::make_unique<CFitReader>(nFileBytes);
}

// The bytes of the unit that starts with have: a lower bound while have is too short to tell.
std::size_t CFitReader::UnitSize(std::span<const std::uint8_t> have) const {
    switch (m_part) {
    case Part::header:
        return kHeaderBytes;
    case Part::headerRest:
        return m_nHeaderBytes - kHeaderBytes;
    case Part::crc:
        return kCrcBytes;
    case Part::message:
        break;
    case Part::end:
        return 1;
    }
    if (have.empty())
        return 1;
    const std::uint8_t header = have[0];
    if (IsDefinition(header))
        return 1 + CFitDefinition::Size(have.subspan(1), (header & kDeveloperFields) != 0);
    const CFitDefinition& def = m_defs[LocalType(header)];
    return def.Defined() ? 1 + def.DataBytes() : 1;
}

bool CFitReader::Feed(std::span<const char> bytes) {
    std::span<const std::uint8_t> in(reinterpret_cast<const std::uint8_t*>(bytes.data()),
                                     bytes.size());
    while (!in.empty()) {
        if (m_part == Part::end)
            return false;
        std::size_t n = UnitSize(m_carry.empty() ? in : m_carry);
        if (Overruns(n))
            return Damaged();
        if (m_carry.empty() && n <= in.size()) {
            const bool bGoOn = Take(in.first(n));
            in = in.subspan(n);
            if (!bGoOn)
                return false;
            continue;
        }
        const std::size_t nTake = std::min(n - m_carry.size(), in.size());
        m_carry.insert(m_carry.end(), in.begin(), in.begin() + static_cast<std::ptrdiff_t>(nTake));
        in = in.subspan(nTake);
        // The bytes added may tell more of the unit's size: checked now, as for a whole file.
        n = UnitSize(m_carry);
        if (Overruns(n))
            return Damaged();
        if (n == m_carry.size()) {
            const bool bGoOn = Take(m_carry);
            m_carry.clear();
            if (!bGoOn)
                return false;
        }
    }
    return m_part != Part::end;
}

// A message that cannot end within the file's data is damage, found before its bytes are kept.
bool CFitReader::Overruns(std::size_t nUnitBytes) const {
    return m_part == Part::message && m_bDataSizeKnown && nUnitBytes > m_nDataLeft;
}

bool CFitReader::Take(std::span<const std::uint8_t> unit) {
    const Part part = m_part;
    if (part == Part::header)
        m_crc = 0;
    bool bGoOn = true;
    switch (part) {
    case Part::header:
        bGoOn = TakeHeader(unit);
        break;
    case Part::headerRest:
        bGoOn = TakeHeaderRest(unit);
        break;
    case Part::message:
        bGoOn = TakeMessage(unit);
        break;
    case Part::crc:
        TakeCrc(unit);
        break;
    case Part::end:
        return false;
    }
    if (part != Part::crc)
        m_crc = CFitCrc::Update(m_crc, unit);
    m_nOffset += unit.size();
    return bGoOn;
}

bool CFitReader::TakeHeader(std::span<const std::uint8_t> header) {
    const char* pszNotFit = nullptr;
    if (std::memcmp(&header[kSignatureAt], kSignature, std::strlen(kSignature)) != 0)
        pszNotFit = "not a FIT file (no .FIT signature)";
    else if (header[0] < kHeaderBytes)
        pszNotFit = "not a FIT file (its header says it has fewer than 12 bytes)";
    if (pszNotFit) {
        if (m_nFiles != 0)
            return Damaged(); // what follows a whole file is not another one
        m_error = pszNotFit;
        m_part = Part::end;
        return false;
    }
    ++m_nFiles;
    m_nHeaderBytes = header[0];
    m_nDataLeft = LittleEndian(header.subspan(kDataSizeAt), 4);
    // A writer that never finished its file leaves the size at 0: its messages run to its end.
    m_bDataSizeKnown = m_nDataLeft != 0;
    for (CFitDefinition& def : m_defs)
        def.Forget();
    m_bHaveTimestamp = false;
    m_part = m_nHeaderBytes > kHeaderBytes ? Part::headerRest : Part::message;
    return true;
}

bool CFitReader::TakeHeaderRest(std::span<const std::uint8_t> rest) {
    if (rest.size() >= kHeaderCrcBytes) {
        const std::uint32_t crc = LittleEndian(rest, kHeaderCrcBytes);
        m_bCrcMismatch = m_bCrcMismatch || (crc != 0 && crc != m_crc);
    }
    m_part = Part::message;
    return true;
}

bool CFitReader::TakeMessage(std::span<const std::uint8_t> message) {
    const std::uint8_t header = message[0];
    const std::span<const std::uint8_t> content = message.subspan(1);
    if (IsDefinition(header)) {
        if (!TakeDefinition(header, content))
            return Damaged();
    } else {
        const CFitDefinition& def = m_defs[LocalType(header)];
        if (!def.Defined())
            return Damaged();
        TakeData(def, content, (header & kCompressed) != 0 ? CompressedTime(header) : kNoTime);
    }
    if (m_bDataSizeKnown) {
        m_nDataLeft -= message.size();
        if (m_nDataLeft == 0)
            m_part = Part::crc;
    }
    return true;
}

bool CFitReader::TakeDefinition(std::uint8_t header, std::span<const std::uint8_t> content) {
    CFitDefinition& def = m_defs[header & kLocalTypeMask];
    if (!def.Read(content, (header & kDeveloperFields) != 0))
        return false;
    if (!m_bReserved && def.Global() == CFitActivity::kRecord && m_nFileBytes != 0) {
        // No file holds more points than its messages' bytes over those of one record message.
        const std::uint64_t nBytes =
            m_bDataSizeKnown ? std::min<std::uint64_t>(m_nDataLeft, m_nFileBytes) : m_nFileBytes;
        m_activity.Reserve(
            static_cast<std::size_t>(nBytes / std::max(kMinPointBytes, 1 + def.DataBytes())));
        m_bReserved = true;
    }
    return true;
}

void CFitReader::TakeData(const CFitDefinition& def, std::span<const std::uint8_t> data,
                          TimeMs compressedTime) {
    TimeMs time = compressedTime;
    if (def.TimestampField() >= 0) {
        const double seconds = def.Value(data, def.Fields()[def.TimestampField()]);
        time = CFitActivity::ToTime(seconds);
        if (time != kNoTime) {
            m_lastTimestamp = static_cast<std::uint32_t>(seconds);
            m_bHaveTimestamp = true;
        }
    }
    m_activity.Take(def, data, time);
}

// The header's 5 bits are the low bits of the time in seconds; the higher bits are those of the
// last full timestamp, counting one more round of 32 s when the low bits wrapped round.
TimeMs CFitReader::CompressedTime(std::uint8_t header) {
    if (!m_bHaveTimestamp)
        return kNoTime;
    const std::uint32_t nOffset = header & kTimeOffsetMask;
    m_lastTimestamp += (nOffset - (m_lastTimestamp & kTimeOffsetMask)) & kTimeOffsetMask;
    return CFitActivity::ToTime(m_lastTimestamp);
}

void CFitReader::TakeCrc(std::span<const std::uint8_t> crc) {
    m_bCrcMismatch = m_bCrcMismatch || LittleEndian(crc, kCrcBytes) != m_crc;
    m_part = Part::header;
}

bool CFitReader::Damaged() {
    m_bDamaged = true;
    m_nDamagedAt = m_nOffset;
    m_part = Part::end;
    return false;
}

ReadResult CFitReader::Finish() {
    ReadResult result;
    if (!m_error.empty()) {
        result.error = m_error;
        return result;
    }
    if (m_nFiles == 0) {
        result.error = m_nOffset + m_carry.size() == 0 ? "not a FIT file (it is empty)"
                                                       : "not a FIT file (shorter than its header)";
        return result;
    }
    if (m_bCrcMismatch)
        result.notes.emplace_back("The file's checksum does not match; read anyway.");
    if (m_bDamaged)
        result.notes.push_back("The file is damaged after byte " + std::to_string(m_nDamagedAt) +
                               "; read up to there.");
    else if (!m_carry.empty() || m_part == Part::headerRest || m_part == Part::crc ||
             (m_part == Part::message && m_bDataSizeKnown))
        result.notes.emplace_back("The file ends early; read up to there.");
    m_activity.Finish(result.record, result.skipped);
    return result;
}
