// vorlan-cli export: a track file's or a document's record as GPX or CSV.
#include "CAtomicFile.h"
#include "CTrack.h"
#include "CTrackExport.h"
#include "CTrackRecord.h"
#include "CViewValues.h"
#include "CliCommands.h"

#include <cstdio>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace {

const char kExportUsage[] = "export [--format gpx|csv] IN -o OUT";

struct ExportOptions {
    std::string in;
    std::string out;
    std::optional<CTrackExport::Format> format;
};

int Usage(const std::string& problem) {
    std::fprintf(stderr, "vorlan-cli: export: %s\nUsage: vorlan-cli %s\n", problem.c_str(),
                 kExportUsage);
    return 2;
}

// An empty string when the arguments are complete and valid, else what is wrong.
std::string ParseOptions(const std::vector<std::string>& args, ExportOptions& opt) {
    bool bOptionsEnded = false;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        if (!bOptionsEnded && a == kOptionsEnd) {
            bOptionsEnded = true;
        } else if (bOptionsEnded || a.size() < 2 || a[0] != '-') {
            if (!opt.in.empty())
                return "more than one input file";
            opt.in = a;
        } else if (a == "-o" || a == "--format") {
            if (i + 1 >= args.size())
                return a + " needs a value";
            const std::string& value = args[++i];
            if (a == "-o")
                opt.out = value;
            else if (!(opt.format = CTrackExport::Named(value)))
                return "--format must be gpx or csv";
        } else {
            return UnknownOption(a);
        }
    }
    if (opt.in.empty() || opt.out.empty())
        return "needs a file to read and -o with a file to write";
    if (!opt.format && !(opt.format = CTrackExport::OfPath(opt.out)))
        return "--format must be given for " + opt.out + " (gpx or csv)";
    return std::string();
}

} // namespace

int RunExport(const std::vector<std::string>& args, CMapSourceFormat& format) {
    ExportOptions opt;
    if (const std::string problem = ParseOptions(args, opt); !problem.empty())
        return Usage(problem);
    if (Report(CAtomicFile::CheckNotInput(opt.in, opt.out)) != 0 ||
        Report(CAtomicFile::CheckNotReadOnly(opt.out)) != 0)
        return 1;
    const auto pTrack = std::make_unique<CTrack>(); // 320 KB of arrays: never on the stack
    CTrackRecord record;
    CViewValues view;
    if (Report(ReadTrackOrDocument(opt.in, *pTrack, record, view, format)) != 0)
        return 1;
    return Report(
        CTrackExport::Write(opt.out, record, *opt.format, std::string("Vorlan ") + VORLAN_VERSION));
}
