// Reads a FIT file (the binary activity files of sports watches and bike computers) as its
// bytes come in: the file header, definition and data messages, compressed timestamps, the
// checksums, and files chained one after another; CFitActivity makes the record of the
// messages. Only one message at most is held between two pieces of the file. The table of
// track file types makes it for .fit files.
#pragma once

#include "CFitActivity.h"
#include "CFitDefinition.h"
#include "CTrackReader.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <vector>

class CFitReader : public CTrackReader {
public:
    static constexpr std::size_t kLocalTypes = 16;

    // nFileBytes: the file's size when it is known beforehand, so that room for its points is
    // set aside once instead of growing.
    explicit CFitReader(std::size_t nFileBytes = 0);
    // The reader for the table of track file types.
    static std::unique_ptr<CTrackReader> Make(std::size_t nFileBytes);

    bool Feed(std::span<const char> bytes) override;
    ReadResult Finish() override;

private:
    // The part of the file the next bytes belong to.
    enum class Part : std::uint8_t { header, headerRest, message, crc, end };

    std::size_t UnitSize(std::span<const std::uint8_t> have) const;
    bool Overruns(std::size_t nUnitBytes) const;
    bool Take(std::span<const std::uint8_t> unit);
    bool TakeHeader(std::span<const std::uint8_t> header);
    bool TakeHeaderRest(std::span<const std::uint8_t> rest);
    bool TakeMessage(std::span<const std::uint8_t> message);
    bool TakeDefinition(std::uint8_t header, std::span<const std::uint8_t> content);
    void TakeData(const CFitDefinition& def, std::span<const std::uint8_t> data,
                  TimeMs compressedTime);
    TimeMs CompressedTime(std::uint8_t header);
    void TakeCrc(std::span<const std::uint8_t> crc);
    bool Damaged();

    std::size_t m_nFileBytes;
    Part m_part = Part::header;
    std::vector<std::uint8_t> m_carry; // the start of a unit cut by the end of a piece
    std::uint64_t m_nOffset = 0;       // bytes of the file taken so far
    std::uint64_t m_nDataLeft = 0;     // bytes of messages left, when the header says
    bool m_bDataSizeKnown = true;
    std::uint16_t m_crc = 0;
    std::size_t m_nHeaderBytes = 0;
    std::size_t m_nFiles = 0; // headers read: FIT files may be chained one after another
    std::uint32_t m_lastTimestamp = 0;
    bool m_bHaveTimestamp = false;
    bool m_bReserved = false;
    bool m_bCrcMismatch = false;
    bool m_bDamaged = false;
    std::uint64_t m_nDamagedAt = 0;
    std::string m_error;
    std::array<CFitDefinition, kLocalTypes> m_defs;
    CFitActivity m_activity;
};
