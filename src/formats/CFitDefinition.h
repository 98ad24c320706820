// The layout of one local message type of a FIT file, as its definition message gives it: the
// global message it carries, the byte order, the fields (number, size, base type) and where each
// lies in a data message, and the values of those fields with the base type's invalid value as
// absent. CFitReader keeps one for each of the 16 local types.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

// Where a field lies in a data message, and how its value is read: the size and kind of its
// base type, worked out once from the definition.
struct FitField {
    enum class Kind : std::uint8_t { none, unsignedInt, signedInt, floating };
    std::uint32_t offset = 0;
    std::uint8_t number = 0;
    std::uint8_t size = 0;
    std::uint8_t baseType = 0;
    std::uint8_t valueBytes = 0; // the base type's size
    Kind kind = Kind::none;      // none: no number (a string, an unknown type, a size that
                                 // does not fit the type)
    bool bZeroInvalid = false;   // invalid is 0 (the "z" types), else all ones
};

class CFitDefinition {
public:
    // A definition message after its header byte: a reserved byte, the architecture, the global
    // message number and the field count, then 3 bytes a field; with developer fields a count
    // and 3 bytes each of those.
    static constexpr std::size_t kFixedBytes = 5;
    static constexpr std::size_t kFieldBytes = 3;
    // The field number every message may carry its time in.
    static constexpr std::uint8_t kTimestampField = 253;

    // The bytes of a definition message after its header byte, from the first bytes of it that
    // have been read: more than have.size() until the counts it holds have been read.
    static std::size_t Size(std::span<const std::uint8_t> have, bool bDeveloperFields);

    // Takes the definition from the bytes of a whole definition message (after its header
    // byte); false for an architecture other than little (0) or big endian (1).
    bool Read(std::span<const std::uint8_t> content, bool bDeveloperFields);
    void Forget() { m_bDefined = false; }

    bool Defined() const { return m_bDefined; }
    std::uint16_t Global() const { return m_global; }
    // The bytes of a data message of this type after its header byte, developer fields
    // included.
    std::size_t DataBytes() const { return m_nDataBytes; }
    std::span<const FitField> Fields() const { return m_fields; }
    // The index in Fields() of the timestamp field, or -1.
    int TimestampField() const { return m_nTimestampField; }

    // The value of field in a data message (its first element for an array), or NaN where it
    // is its base type's invalid value, its size does not fit the base type or the type holds
    // no number (a string).
    double Value(std::span<const std::uint8_t> data, const FitField& field) const;

private:
    std::vector<FitField> m_fields;
    std::size_t m_nDataBytes = 0;
    std::uint16_t m_global = 0;
    int m_nTimestampField = -1;
    bool m_bBigEndian = false;
    bool m_bDefined = false;
};
