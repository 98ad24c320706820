// Cuts a text file fed in pieces into its lines, for the line-based readers (IGC, NMEA): CR, LF
// and CR LF all end a line, so files that mix them read alike; empty lines are left out, and so
// is a line longer than kMaxLineBytes, so that a file without line ends cannot grow the buffer.
#pragma once

#include <cstddef>
#include <functional>
#include <span>
#include <string>
#include <string_view>

class CLineSplitter {
public:
    // Far longer than any line these formats define (an NMEA sentence has at most 82
    // characters, an IGC record 76 and its extensions).
    static constexpr std::size_t kMaxLineBytes = 1024;
    using LineSink = std::function<void(std::string_view line)>;

    // Hands every line that the bytes complete to onLine, without its line end.
    void Feed(std::span<const char> bytes, const LineSink& onLine);
    // Hands over the last line when the file does not end with a line end.
    void Finish(const LineSink& onLine);

private:
    void Take(std::string_view part, bool bEnds, const LineSink& onLine);

    std::string m_line; // the start of a line that the next piece goes on with
    bool m_bTooLong = false;
};
