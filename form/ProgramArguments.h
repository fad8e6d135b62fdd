// The configurator's command line: --help, --version, --trace FILE and at most one configuration
// file.
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace zorvik {

// What --help shows.
extern const char* const kProgramUsage;

struct ProgramArguments {
    bool help = false;
    bool version = false;
    std::optional<std::string> file;   // opened once the window is shown
    std::optional<std::string> trace;  // --trace FILE: where each command's byte trace is appended
    std::string error;                 // what is wrong with the command line; empty when nothing
};

// Reads the arguments after the program's name. --help and --version count wherever they stand;
// after "--" every argument is a file name, also one that starts with "-".
[[nodiscard]] ProgramArguments ReadProgramArguments(const std::vector<std::string>& arguments);

}  // namespace zorvik
