// File, Export Track and vorlan-cli export: a track's record written as GPX 1.1 (times and the
// sensors in the extensions devices use) or as CSV, a piece at a time, through CAtomicFile like
// every other file the programs write: an existing file is replaced only once the new one is
// whole, and a failure leaves it as it was.
#pragma once

#include "CFileResult.h"

#include <optional>
#include <string>
#include <string_view>

class CTrackRecord;

class CTrackExport {
public:
    enum class Format { gpx, csv };

    // "gpx" or "csv", as the command line spells them; nullopt for anything else.
    static std::optional<Format> Named(std::string_view name);
    // The format a file's extension names (".gpx", ".csv", any case); nullopt for another.
    static std::optional<Format> OfPath(const std::string& path);

    // Writes record to path; creator names the writer in a GPX file ("Vorlan 1.1.0").
    static CFileResult Write(const std::string& path, const CTrackRecord& record, Format format,
                             const std::string& creator);
};
