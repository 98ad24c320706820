// The commands of vorlan-cli; each takes the arguments after its name and returns the exit
// status (0 success, 1 a file could not be read or written, 2 a usage error).
#pragma once

#include <string>
#include <vector>

int RunConvert(const std::vector<std::string>& args);
int RunInfo(const std::vector<std::string>& args);
int RunRender(const std::vector<std::string>& args);
