// Runs the gpsbabel program to turn a file of another format into GPX: an argument list (no
// shell), output and error output read through pipes, a time limit. Used by CTrackImporter.
#pragma once

#include <chrono>
#include <functional>
#include <span>
#include <string>

struct ConversionResult {
    std::string error;    // one line naming the file, empty on success
    std::string warnings; // what the program wrote to its error output on success, as it wrote it
};

// Takes the converted file's bytes, in order, as they come from the program.
using GpxSink = std::function<void(std::span<const char>)>;

class CGpsbabel {
public:
    static constexpr std::chrono::milliseconds kDefaultTimeLimit{30000};
    // A runaway conversion is stopped after this many bytes of output, the size cap of a GPX
    // file: the output is read as it comes and never held whole, but reading it has to end.
    static constexpr std::size_t kMaxOutputBytes = std::size_t{1} << 30;
    static constexpr std::size_t kMaxErrorBytes = 64 * 1024;

    // program: the path or name (looked up in PATH) of the gpsbabel executable.
    explicit CGpsbabel(std::string program = "gpsbabel",
                       std::chrono::milliseconds timeLimit = kDefaultTimeLimit);

    // Runs `gpsbabel -t -r -i FORMAT -f PATH -o gpx,garminextensions -F -` (the extensions
    // carry heart rate, cadence and temperature) and hands its output to sink as it is read;
    // while the program writes nothing, sink is called with no bytes every tenth of a second.
    // fileName names the file in messages. Whatever sink throws stops the program and is passed
    // on, so that the caller can stop a conversion at any time.
    ConversionResult ToGpx(const std::string& path, const std::string& format,
                           const std::string& fileName, const GpxSink& sink) const;

private:
    std::string m_program;
    std::chrono::milliseconds m_timeLimit;
};
