// The one table of zorvik-cli's commands: each command's name, summary, options with their help
// lines, and handler. The option parser, the help texts, the bash completion and the manual page
// are all made from it.
#pragma once

#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "cli/Args.h"

namespace zorvik {
class TraceFile;
}

namespace zorvik::cli {

// What a handler gets: its command's arguments, already parsed against its options.
struct Invocation {
    std::string command;
    Args args;
    TraceFile* trace = nullptr;      // the byte trace asked for, if any
    std::vector<std::string> words;  // the whole command line, for a trace's section titles
};

using Handler = int (*)(const Invocation&);

// What a command's operands are, for the completion: files, firmware files, the ids of the
// history's records, or nothing.
enum class OperandKind { None, Files, Firmware, HistoryRecords };

struct CommandEntry {
    std::string_view name{};
    std::string_view brief{};           // its line in the program's help: "read -p PORT"
    std::string_view summary{};         // what it does, in a few words
    std::string_view synopsis{};        // what follows "Usage: zorvik-cli NAME"; may run over lines
    std::string description{};          // its help between the usage and the options
    std::vector<OptionRule> options{};  // besides -h, -v and -q, which every command takes
    std::string_view epilogue{};        // its help after the options, or empty
    Handler run = nullptr;
    OperandKind operands = OperandKind::None;
    bool writesTrace = false;  // --trace (or ZORVIK_TRACE) names a byte trace to write
};

// Every command, in the order the program's help lists them.
[[nodiscard]] const std::vector<CommandEntry>& CommandTable();

// The command of that name, or nullptr.
[[nodiscard]] const CommandEntry* FindCommand(std::string_view name);

// The options every command takes besides its own: -h, -v and -q.
[[nodiscard]] std::span<const OptionRule> CommonOptions();

// The options the program's own help lists: -h, --version, -v and -q.
[[nodiscard]] std::span<const OptionRule> ProgramOptions();

// Options that may stand before the command as well as after it.
[[nodiscard]] bool IsGlobalOption(const OptionRule& option);

// The program's help before its list of commands, and after its list of options; the closing
// speaks of the platform the program runs on.
[[nodiscard]] std::string_view ProgramIntroduction();
[[nodiscard]] const std::string& ProgramClosing();

}  // namespace zorvik::cli
