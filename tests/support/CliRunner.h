// Runs vorlan-cli (the path the build gives as VORLAN_CLI) as a user would, for the command-line
// tests: exit status and everything printed.
#pragma once

#include <array>
#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>
#include <sys/wait.h>

struct CliResult {
    int status = -1;
    std::string out;
};

// Runs a shell command line and collects what it prints; status -1 when it was killed.
inline CliResult RunShell(const std::string& cmd) {
    CliResult r;
    std::FILE* p = popen(cmd.c_str(), "r");
    if (!p)
        return r;
    std::array<char, 4096> buf{};
    std::size_t n;
    while ((n = std::fread(buf.data(), 1, buf.size(), p)) > 0)
        r.out.append(buf.data(), n);
    const int st = pclose(p);
    r.status = WIFEXITED(st) ? WEXITSTATUS(st) : -1;
    return r;
}

// Runs "vorlan-cli ARGS" through the shell and collects stdout and stderr together. With a
// time limit the run is killed after that many seconds (status 124): for files that could make
// it hang. With a folder the run starts there, for relative names.
inline CliResult RunCli(const std::string& args, int nTimeLimit = 0,
                        const std::string& folder = std::string()) {
    const std::string cd = folder.empty() ? "" : "cd '" + folder + "' && ";
    const std::string limit = nTimeLimit > 0 ? "timeout " + std::to_string(nTimeLimit) + " " : "";
    return RunShell(cd + limit + std::string(VORLAN_CLI) + " " + args + " 2>&1");
}

// The whole file, or an empty string when it cannot be read.
inline std::string ReadAll(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}
