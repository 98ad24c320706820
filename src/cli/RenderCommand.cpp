#include "CliCommands.h"

#include <cstdio>

int RunRender(const std::vector<std::string>&) {
    std::fputs("vorlan-cli: render is not available in this build\n", stderr);
    return 2;
}
