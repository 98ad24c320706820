// vorlan-cli: converts track files to Vorlan documents, describes tracks and renders plots,
// without the desktop.
#include "CMapSourceFormat.h"
#include "CPendingTempFile.h"
#include "CliCommands.h"

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

namespace {
const char kUsage[] =
    "Usage: vorlan-cli COMMAND ARGS...\n"
    "\n"
    "Commands:\n"
    "  convert [--doc-version 1|2] IN OUT.vrl\n"
    "                           import a track file, or read a document, and save it as a\n"
    "                           document: version 2 keeps every point, time and sensor,\n"
    "                           --doc-version 1 a Vorlan 1 document (the track shape only)\n"
    "  info FILE [--units metric|imperial] [--utc] [--json] [--dem DIR]\n"
    "                           describe a track file or a .vrl document: times of day\n"
    "                           in this machine's zone, or in UTC with --utc; --json\n"
    "                           prints every statistic in SI units for scripts; --dem\n"
    "                           (or $VORLAN_DEM) adds the ground under the track from a\n"
    "                           folder of elevation tiles (.hgt, .hgt.zip, GeoTIFF)\n"
    "  export [--format gpx|csv] IN -o OUT\n"
    "                           write the track of a track file or a document as GPX\n"
    "                           (times and sensors kept) or as CSV, a row a point; the\n"
    "                           format follows OUT's extension unless given\n"
    "  render IN -o OUT.svg --plot elevation|3d [--size WxH] [--dpi N] [--zoom Z]\n"
    "         [--azimuth A] [--elevation E] [--printer] [--units metric|imperial]\n"
    "         [--dem DIR]\n"
    "                           draw a plot of a track as an SVG document (-o - for stdout);\n"
    "                           --dem draws the ground of DIR's elevation tiles in the 3D box\n"
    "  render IN -o OUT.stl --plot stl [--dem DIR] [--exaggeration N] [--base MM]\n"
    "                           a model of the ground under the track to print in 3D\n"
    "                           (binary STL, 150 mm the longer side, the track a ridge)\n"
    "                           from the elevation tiles of DIR (or $VORLAN_DEM); the\n"
    "                           heights times N (default 1) over a base of MM (default 3)\n"
    "\n"
    "Options:\n"
    "  -h, --help               show this help and exit\n"
    "  -v, --version            show the version and exit\n"
    "  --                       ends the options of a command: every argument after it is\n"
    "                           a file, even one whose name starts with '-'\n"
    "\n"
    "A track file is a MapSource text export, GPX, FIT, TCX, KML, IGC or NMEA, or one of\n"
    "the other formats read through gpsbabel (.gdb .geojson .gtm .ht .mmo .plt .rdn .tr7\n"
    ".usr); its extension says which. What the import found is told on stderr.\n"
    "--units metric shows metres and kilometres; the default is imperial (feet and miles).\n";
} // namespace

int main(int argc, char** argv) {
    // A write beyond the file-size limit fails with a message instead of killing the program.
    CPendingTempFile::IgnoreFileSizeSignal();
    std::vector<std::string> args(argv + 1, argv + argc);
    if (args.empty()) {
        std::fputs(kUsage, stderr);
        return 2;
    }
    const std::string& cmd = args[0];
    if (cmd == "-h" || cmd == "--help") {
        std::fputs(kUsage, stdout);
        return FinishOutput();
    }
    if (cmd == "-v" || cmd == "--version") {
        std::printf("vorlan-cli %s\n", VORLAN_VERSION);
        return FinishOutput();
    }
    if (WantsTerrain(args))
        if (const int nStatus = RelayToTerrainProgram(argv); nStatus >= 0)
            return nStatus;
    const std::vector<std::string> rest(args.begin() + 1, args.end());
    // A killed run removes the temporary file it was writing.
    CPendingTempFile::InstallSignalHandlers();
    CMapSourceFormat format;
    if (cmd == "convert")
        return RunConvert(rest, format);
    if (cmd == "info")
        return RunInfo(rest, format);
    if (cmd == "export")
        return RunExport(rest, format);
    if (cmd == "render") {
        // An SVG drawn to "-o -" goes to the standard output.
        const int nStatus = RunRender(rest, format);
        return nStatus == 0 ? FinishOutput() : nStatus;
    }
    if (cmd.size() > 1 && cmd[0] == '-')
        std::fprintf(stderr, "vorlan-cli: unknown option '%s'\n%s", cmd.c_str(), kUsage);
    else
        std::fprintf(stderr, "vorlan-cli: unknown command '%s'\n%s", cmd.c_str(), kUsage);
    return 2;
}
