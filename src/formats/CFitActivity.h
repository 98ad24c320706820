// What the messages of a FIT file say about the activity, gathered as they come: the points of
// the record messages (each a point once it has a position), timer stops as segment starts, the
// laps and sessions with the device's totals, and the device from file_id. At the end, the
// record: one track per session, laps mapped to their points by time. CFitReader feeds it.
#pragma once

#include "CFitDefinition.h"
#include "CTrackReader.h"

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

class CFitActivity {
public:
    // The global message numbers this class reads.
    static constexpr std::uint16_t kFileId = 0;
    static constexpr std::uint16_t kSession = 18;
    static constexpr std::uint16_t kLap = 19;
    static constexpr std::uint16_t kRecord = 20;
    static constexpr std::uint16_t kEvent = 21;

    // A FIT time (seconds since 1989-12-31T00:00:00Z, an unsigned 32-bit number) as UTC
    // milliseconds since 1970; kNoTime for anything outside that range.
    static TimeMs ToTime(double fitSeconds);

    // Room for nPoints more points, once their number is known.
    void Reserve(std::size_t nPoints) { m_record.Reserve(nPoints); }
    // A data message of the type def defines, with its time (kNoTime when it has none).
    void Take(const CFitDefinition& def, std::span<const std::uint8_t> data, TimeMs time);
    // Hands over the record, its tracks, laps, totals and source filled in, and the points
    // left out.
    void Finish(CTrackRecord& record, SkippedPoints& skipped);

private:
    // A lap's or a session's time span and the device's totals for it.
    struct Span {
        TimeMs start = kNoTime;
        TimeMs end = kNoTime;
        DeviceTotals totals;
    };
    // The field numbers of a span's ascent and descent.
    struct TotalFields {
        std::uint8_t ascent;
        std::uint8_t descent;
    };

    void TakeRecord(const CFitDefinition& def, std::span<const std::uint8_t> data, TimeMs time);
    void TakeSpan(const CFitDefinition& def, std::span<const std::uint8_t> data, TimeMs time,
                  TotalFields fields, std::vector<Span>& to);
    void TakeEvent(const CFitDefinition& def, std::span<const std::uint8_t> data);
    void TakeFileId(const CFitDefinition& def, std::span<const std::uint8_t> data);
    void AddLaps();
    void SplitSessions();
    void AddTotals();

    CTrackRecord m_record;
    SkippedPoints m_skipped;
    std::vector<Span> m_laps;
    std::vector<Span> m_sessions;
    std::string m_creator;
};
