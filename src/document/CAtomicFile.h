// Replaces a file the careful way, for document saves (both programs) and the SVG drawings of
// vorlan-cli: the bytes go to a hidden temporary file beside the real target (symbolic links
// resolved), are synced, take the old file's mode and owner, and are renamed over the target;
// the folder is synced after. Every failure removes the temporary file and leaves the old file.
#pragma once

#include "CFileResult.h"

#include <string>

class CAtomicFile {
public:
    // Links followed before the target counts as a loop, as the kernel's own limit.
    static constexpr int kMaxLinks = 40;
    // "<folder>/.vorlan-XXXXXX": short, so that any name the folder takes can be replaced.
    static constexpr const char* kTempPrefix = ".vorlan-";

    static CFileResult Replace(const std::string& path, const std::string& data);

    // Refuses an output that is the input file itself (the same device and inode, through any
    // name or link): writing it would destroy what is being read.
    static CFileResult CheckNotInput(const std::string& inputPath, const std::string& outputPath);

    // The file a write to path reaches: path with its symbolic links followed. Sets nError and
    // returns an empty string when a link cannot be read or they loop.
    static std::string ResolveLinks(const std::string& path, int& nError);
};
