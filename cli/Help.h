// The help texts of the program and of each command, written for people and for help2man.
#pragma once

#include <string_view>

namespace zorvik::cli {

// The program's own --help.
[[nodiscard]] std::string_view ProgramHelp();

// A command's --help; empty for a name that is not a command.
[[nodiscard]] std::string_view CommandHelp(std::string_view command);

}  // namespace zorvik::cli
