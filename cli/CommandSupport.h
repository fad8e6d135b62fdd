// What the command handlers share: their operands, the port and password they were given, standard
// input's one reader, and the lines they print.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

#include "cli/CommandTable.h"
#include "cli/HistoryCommands.h"
#include "config/ConfigDiff.h"
#include "config/Configuration.h"
#include "files/FileError.h"

namespace zorvik::cli {

inline constexpr const char* kProgramName = "zorvik-cli";

// A trace section's title: the program, its version, the time and the command's words.
[[nodiscard]] std::string TraceTitle(const std::vector<std::string>& words);

// A file error in the command line's words: the system's, and for a file written in place that
// failed part way, that it may be damaged.
[[nodiscard]] std::string FileErrorWords(const EInOutError& error);

// A command's closing confirmation on standard output; -q leaves it out.
void Confirm(const std::string& text);

[[nodiscard]] std::optional<std::string> PasswordFile(const Args& args);

// Standard input can feed one reader only: a form and a password cannot both come from it.
void OneReaderOfStandardInput(const Invocation& call, const std::string& form,
                              bool passwordsFromStdin);

// The -p value; raises CliError (status 2) when there is none.
[[nodiscard]] std::string RequiredPort(const Invocation& call);

// The plain operands (not the values of repeatable options), exactly `count` of them; `what`
// says which in the usage error.
[[nodiscard]] std::vector<std::string> PlainOperands(const Invocation& call, std::size_t count,
                                                     const char* what);
void NoOperands(const Invocation& call);

// Every value given to the repeatable option `name`, in order.
[[nodiscard]] std::vector<std::string> OptionValues(const Invocation& call,
                                                    const std::string& name);

// `value` with the --preset files laid over it in order (--preset-override: later ones win).
[[nodiscard]] Configuration WithPresets(const Invocation& call, const Configuration& value);

// The history this command keeps its records in, unless --no-history or ZORVIK_HISTORY=off.
[[nodiscard]] std::optional<HistoryStore> CommandHistory(const Invocation& call);

// A record of this command on `port`, its site from --site.
[[nodiscard]] RecordNote Note(const Invocation& call, const std::string& stage,
                              const std::string& port);

// How a path is named in a message: "standard input" for "-".
[[nodiscard]] std::string Shown(const std::string& path);

// A text or JSON form's text; a form that gives no setting raises CliError (status 7).
[[nodiscard]] std::string FormText(const std::string& path);

// Each difference as two lines of the text form, "-" the first side's and "+" the second's, so
// a "+" line can be pasted into a form.
void PrintDifferences(const std::vector<Difference>& differences);

// `text` with its ASCII letters made small, for words compared in any case.
[[nodiscard]] std::string Lowered(std::string text);

}  // namespace zorvik::cli
