#include "CTrackExport.h"

#include "CAtomicFile.h"
#include "CCsvWriter.h"
#include "CGpxWriter.h"
#include "CTrackRecord.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <unistd.h>

namespace {

// Every byte of text to the descriptor; the error number of a failed write, or 0.
int WriteAll(int fd, std::string_view text) {
    while (!text.empty()) {
        const ssize_t n = ::write(fd, text.data(), text.size());
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return n < 0 ? errno : EIO;
        text.remove_prefix(static_cast<std::size_t>(n));
    }
    return 0;
}

std::string Lower(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return text;
}

} // namespace

std::optional<CTrackExport::Format> CTrackExport::Named(std::string_view name) {
    if (name == "gpx")
        return Format::gpx;
    if (name == "csv")
        return Format::csv;
    return std::nullopt;
}

std::optional<CTrackExport::Format> CTrackExport::OfPath(const std::string& path) {
    const std::string lower = Lower(path);
    const std::size_t dot = lower.rfind('.');
    if (dot == std::string::npos || lower.find('/', dot) != std::string::npos)
        return std::nullopt;
    return Named(std::string_view(lower).substr(dot + 1));
}

CFileResult CTrackExport::Write(const std::string& path, const CTrackRecord& record, Format format,
                                const std::string& creator) {
    CAtomicFile file;
    if (CFileResult r = file.Begin(path); !r.Ok())
        return r;
    int nError = 0;
    CTextSink out([&](std::string_view text) {
        nError = WriteAll(file.Descriptor(), text);
        return nError == 0;
    });
    if (format == Format::gpx)
        CGpxWriter::Write(record, creator, out);
    else
        CCsvWriter::Write(record, out);
    if (nError != 0) {
        file.Abandon();
        return CFileResult::SystemFailure(CFileResult::Fault::write, path, nError);
    }
    return file.Commit();
}
