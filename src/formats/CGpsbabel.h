// Runs the gpsbabel program to turn a file of another format into GPX: an argument list (no
// shell), output and error output read through pipes, a time limit. Used by CTrackImporter.
#pragma once

#include <chrono>
#include <string>

struct ConversionResult {
    std::string gpx;   // the converted file, when error is empty
    std::string error; // one line naming the file, empty on success
};

class CGpsbabel {
public:
    static constexpr std::chrono::milliseconds kDefaultTimeLimit{30000};
    // gpsbabel's GPX of a file is this many times the file at most in practice; the output is
    // refused beyond this many bytes so that a runaway conversion cannot exhaust memory.
    static constexpr std::size_t kMaxOutputBytes = std::size_t{1} << 30;
    static constexpr std::size_t kMaxErrorBytes = 64 * 1024;

    // program: the path or name (looked up in PATH) of the gpsbabel executable.
    explicit CGpsbabel(std::string program = "gpsbabel",
                       std::chrono::milliseconds timeLimit = kDefaultTimeLimit);

    // Runs `gpsbabel -t -r -i FORMAT -f PATH -o gpx -F -`; fileName names the file in messages.
    ConversionResult ToGpx(const std::string& path, const std::string& format,
                           const std::string& fileName) const;

private:
    std::string m_program;
    std::chrono::milliseconds m_timeLimit;
};
