// Reads an NMEA 0183 log into the record as its bytes come in: the fixes of its RMC and GGA
// sentences (any talker: GP, GN, GL, ...), one track. An RMC and a GGA of the same time are one
// point: the GGA gives the altitude, the RMC the speed and the date. A sentence whose checksum
// does not match is left out, void fixes (RMC status V, GGA quality 0) are skipped and counted,
// and a log without any date keeps its positions without times, with a note. Lines may end in CR
// LF or LF and hold garbage around the sentences. Used by the table of track file types.
#pragma once

#include "CDayClock.h"
#include "CLineSplitter.h"
#include "CTrackReader.h"

#include <array>
#include <memory>
#include <string>

class CNmeaReader : public CTrackReader {
public:
    static constexpr double kMetresPerSecondPerKnot = 1852.0 / 3600.0;

    // nExpectedBytes: the file's size when known, so that room for its points is set aside once.
    explicit CNmeaReader(std::size_t nExpectedBytes = 0);
    static std::unique_ptr<CTrackReader> Make(std::size_t nFileBytes);

    bool Feed(std::span<const char> bytes) override;
    ReadResult Finish() override;

private:
    // Fields of a sentence beyond these are never read (GGA's last is the 15th).
    static constexpr std::size_t kMaxFields = 16;
    using Fields = std::array<std::string_view, kMaxFields>;

    // What the sentences of one time of day say.
    struct Fix {
        bool bOpen = false;
        TimeMs timeOfDay = kNoTime;
        TimeMs midnight = kNoTime; // the date an RMC gave
        RecordPoint point;
        bool bPosition = false;
        bool bVoid = false;
    };

    void TakeLine(std::string_view line);
    void TakeSentence(std::string_view sentence);
    void TakeRmc(const Fields& f);
    void TakeGga(const Fields& f);
    bool TakePosition(std::string_view lat, std::string_view ns, std::string_view lon,
                      std::string_view ew);
    void OpenFix(std::string_view time);
    void CloseFix();
    std::vector<std::string> Notes() const;

    CLineSplitter m_lines;
    CTrackRecord m_record;
    SkippedPoints m_skipped;
    CDayClock m_clock;
    Fix m_fix;
    std::size_t m_nBadChecksums = 0;
    std::size_t m_nUndated = 0; // points with a time of day and no date to go with it
};
