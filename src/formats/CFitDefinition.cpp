#include "CFitDefinition.h"

#include <bit>
#include <cmath>
#include <cstring>
#include <limits>

namespace {

constexpr double kAbsent = std::numeric_limits<double>::quiet_NaN();
constexpr std::uint8_t kBigEndian = 1;
constexpr std::uint8_t kBaseTypeNumberMask = 0x1F;

using Kind = FitField::Kind;

// The base types by their number (the low 5 bits of the base type byte). Invalid values are all
// ones, the largest value for signed types, and 0 for the "z" types.
struct BaseType {
    std::uint8_t size;
    Kind kind;
    bool bZeroInvalid = false;
};
constexpr BaseType kBaseTypes[] = {
    {1, Kind::unsignedInt},       // enum
    {1, Kind::signedInt},         // sint8
    {1, Kind::unsignedInt},       // uint8
    {2, Kind::signedInt},         // sint16
    {2, Kind::unsignedInt},       // uint16
    {4, Kind::signedInt},         // sint32
    {4, Kind::unsignedInt},       // uint32
    {1, Kind::none},              // string
    {4, Kind::floating},          // float32
    {8, Kind::floating},          // float64
    {1, Kind::unsignedInt, true}, // uint8z
    {2, Kind::unsignedInt, true}, // uint16z
    {4, Kind::unsignedInt, true}, // uint32z
    {1, Kind::unsignedInt},       // byte
    {8, Kind::signedInt},         // sint64
    {8, Kind::unsignedInt},       // uint64
    {8, Kind::unsignedInt, true}, // uint64z
};
constexpr std::size_t kBaseTypeCount = std::size(kBaseTypes);

std::uint16_t ByteSwap(std::uint16_t v) {
    return __builtin_bswap16(v);
}
std::uint32_t ByteSwap(std::uint32_t v) {
    return __builtin_bswap32(v);
}
std::uint64_t ByteSwap(std::uint64_t v) {
    return __builtin_bswap64(v);
}

template <typename T> std::uint64_t Load(const std::uint8_t* p, bool bBigEndian) {
    T v;
    std::memcpy(&v, p, sizeof v);
    return bBigEndian == (std::endian::native == std::endian::big) ? v : ByteSwap(v);
}

// The n bytes at p as an unsigned number; n is the size of a base type (1, 2, 4 or 8).
std::uint64_t Raw(const std::uint8_t* p, std::size_t n, bool bBigEndian) {
    switch (n) {
    case 1:
        return *p;
    case 2:
        return Load<std::uint16_t>(p, bBigEndian);
    case 4:
        return Load<std::uint32_t>(p, bBigEndian);
    default:
        return Load<std::uint64_t>(p, bBigEndian);
    }
}

// A field as its definition gives it, with how its value is read.
FitField Resolved(std::uint32_t offset, const std::uint8_t* p) {
    FitField f{offset, p[0], p[1], p[2]};
    const std::size_t nType = f.baseType & kBaseTypeNumberMask;
    if (nType >= kBaseTypeCount)
        return f;
    const BaseType& type = kBaseTypes[nType];
    if (f.size < type.size || f.size % type.size != 0)
        return f;
    f.valueBytes = type.size;
    f.kind = type.kind;
    f.bZeroInvalid = type.bZeroInvalid;
    return f;
}

double SignedValue(std::uint64_t raw, std::size_t nBits) {
    const auto shift = static_cast<int>(64 - nBits);
    return static_cast<double>(static_cast<std::int64_t>(raw << shift) >> shift);
}

double FloatValue(std::uint64_t raw, std::size_t nBytes) {
    const double v = nBytes == sizeof(float) ? std::bit_cast<float>(static_cast<std::uint32_t>(raw))
                                             : std::bit_cast<double>(raw);
    return std::isfinite(v) ? v : kAbsent;
}

} // namespace

std::size_t CFitDefinition::Size(std::span<const std::uint8_t> have, bool bDeveloperFields) {
    if (have.size() < kFixedBytes)
        return kFixedBytes;
    const std::size_t nFields = kFixedBytes + have[kFixedBytes - 1] * kFieldBytes;
    if (!bDeveloperFields)
        return nFields;
    if (have.size() <= nFields)
        return nFields + 1;
    return nFields + 1 + have[nFields] * kFieldBytes;
}

bool CFitDefinition::Read(std::span<const std::uint8_t> content, bool bDeveloperFields) {
    m_bDefined = false;
    if (content[1] > kBigEndian)
        return false;
    m_bBigEndian = content[1] == kBigEndian;
    m_global = static_cast<std::uint16_t>(Raw(&content[2], 2, m_bBigEndian));
    m_fields.clear();
    m_nTimestampField = -1;
    std::uint32_t offset = 0;
    const std::size_t nFields = content[kFixedBytes - 1];
    for (std::size_t i = 0; i < nFields; ++i) {
        const std::uint8_t* p = &content[kFixedBytes + i * kFieldBytes];
        if (p[0] == kTimestampField && m_nTimestampField < 0)
            m_nTimestampField = static_cast<int>(m_fields.size());
        m_fields.push_back(Resolved(offset, p));
        offset += p[1];
    }
    if (bDeveloperFields) {
        const std::size_t at = kFixedBytes + nFields * kFieldBytes;
        for (std::size_t i = 0; i < content[at]; ++i)
            offset += content[at + 1 + i * kFieldBytes + 1];
    }
    m_nDataBytes = offset;
    m_bDefined = true;
    return true;
}

double CFitDefinition::Value(std::span<const std::uint8_t> data, const FitField& field) const {
    if (field.kind == Kind::none)
        return kAbsent;
    const std::uint64_t raw = Raw(&data[field.offset], field.valueBytes, m_bBigEndian);
    const std::size_t nBits = field.valueBytes * 8u;
    const std::uint64_t ones = nBits == 64 ? ~std::uint64_t{0} : (std::uint64_t{1} << nBits) - 1;
    switch (field.kind) {
    case Kind::unsignedInt:
        return raw == (field.bZeroInvalid ? 0 : ones) ? kAbsent : static_cast<double>(raw);
    case Kind::signedInt:
        return raw == ones >> 1 ? kAbsent : SignedValue(raw, nBits);
    case Kind::floating:
        return raw == ones ? kAbsent : FloatValue(raw, field.valueBytes);
    case Kind::none:
        break;
    }
    return kAbsent;
}
