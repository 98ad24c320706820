// info --dem and render --plot stl in vorlan-cli itself: the companion program beside it reads
// the tiles, so that vorlan-cli never loads GDAL (which takes longer to load than most commands
// take to run).
#include "CliCommands.h"

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstring>
#include <string>
#include <unistd.h>

namespace {
const char kTerrainProgram[] = "vorlan-cli-terrain";

std::string ProgramFolder() {
    char path[PATH_MAX];
    const ssize_t n = readlink("/proc/self/exe", path, sizeof path - 1);
    if (n <= 0)
        return ".";
    const std::string exe(path, static_cast<std::size_t>(n));
    return exe.substr(0, exe.rfind('/'));
}
} // namespace

int RelayToTerrainProgram(char** argv) {
    const std::string program = ProgramFolder() + "/" + kTerrainProgram;
    argv[0] = const_cast<char*>(program.c_str());
    execv(program.c_str(), argv);
    std::fprintf(stderr,
                 "vorlan-cli: the elevation tiles are read by %s, which cannot be run: %s\n",
                 program.c_str(), std::strerror(errno));
    return 1;
}

bool MeasureTerrain(const std::string&, const CTrackRecord&, TerrainNumbers&,
                    std::string& problem) {
    problem = std::string("the elevation tiles are read by ") + kTerrainProgram;
    return false;
}

CFileResult MakeTerrainModel(const std::string& folder, const CTrackRecord&, double, double,
                             std::string&) {
    return CFileResult::Failure(CFileResult::Fault::track, folder,
                                std::string("the elevation tiles are read by ") + kTerrainProgram);
}

std::unique_ptr<CTerrainService> OpenTerrain(const std::string&, std::string& problem) {
    problem = std::string("the elevation tiles are read by ") + kTerrainProgram;
    return nullptr;
}
