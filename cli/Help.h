// The help texts of the program and of each command, made from the command table.
#pragma once

#include <span>
#include <string>
#include <string_view>

#include "cli/Args.h"
#include "cli/CommandTable.h"

namespace zorvik::cli {

// The program's own --help.
[[nodiscard]] std::string ProgramHelp();

// A command's --help.
[[nodiscard]] std::string CommandHelp(const CommandEntry& command);

// The options' lines of a help text: "  -p, --port PORT             the device's port...".
[[nodiscard]] std::string OptionLines(std::span<const OptionRule> options);

// How an option is written: "-p, --port PORT" or "--json".
[[nodiscard]] std::string OptionUsage(const OptionRule& option);

}  // namespace zorvik::cli
