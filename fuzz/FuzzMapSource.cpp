// libFuzzer target: the MapSource text reader followed by the rest of an import (smoothing and
// geometry) on arbitrary file contents.
#include "CMapSourceFormat.h"
#include "CTrack.h"
#include "FuzzCheck.h"
#include "TrackImport.h"

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>
#include <sys/mman.h>
#include <unistd.h>

namespace {

// The input goes into an in-memory file that the reader opens by its /proc path, as it would
// open a file on disk.
struct MemoryFile {
    MemoryFile() : fd(memfd_create("vorlan-fuzz", 0)) {
        FuzzCheck(fd >= 0, "memfd_create");
        path = "/proc/self/fd/" + std::to_string(fd);
    }
    void Write(const uint8_t* data, size_t size) const {
        FuzzCheck(ftruncate(fd, 0) == 0, "ftruncate");
        FuzzCheck(size == 0 || pwrite(fd, data, size, 0) == static_cast<ssize_t>(size), "pwrite");
    }
    int fd;
    std::string path;
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const MemoryFile file;
    static CTrack track; // 320 KB of arrays: never on the stack
    file.Write(data, size);

    // The coordinate format lives for a whole run; which format an earlier import left behind
    // is taken from the input's size, so that every input replays the same way.
    CMapSourceFormat format(static_cast<int>(size % 4));
    FuzzCheck(ImportTrackFile(file.path, track, format).Ok(), "an open file always reads");
    FuzzCheck(format.Get() >= 0 && format.Get() <= 3, "format 0..3");
    CheckTrackIsSound(track);
    return 0;
}
