// The command line read against the command table, the command run, and its outcome reported.
#include "cli/Cli.h"

#include <algorithm>
#include <cstddef>
#include <ctime>
#include <iostream>
#include <memory>
#include <new>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "Version.h"
#include "cli/CommandSupport.h"
#include "cli/CommandTable.h"
#include "cli/Completion.h"
#include "cli/Console.h"
#include "cli/ExitCode.h"
#include "cli/Help.h"
#include "cli/ManPage.h"
#include "cli/PortError.h"
#include "cli/Suggest.h"
#include "cli/System.h"
#include "files/FileIo.h"
#include "serial/ComPort.h"
#include "trace/TraceFile.h"

namespace zorvik::cli {

namespace {

// The trace of the command that runs, from its start to its exit status.
SystemClock gTraceClock;
std::unique_ptr<TraceFile> gTrace;

// Opens the trace a command that talks to a device was asked for, and begins its section.
void StartTrace(Invocation& call, const std::vector<std::string>& words) {
    std::optional<std::string> path = call.args.Value("trace");
    if (!path) {
        path = TraceFileFromEnvironment();
    }
    if (!path) {
        return;
    }
    try {
        gTrace = std::make_unique<TraceFile>(*path, gTraceClock);
    } catch (const EInOutError& error) {
        throw CliError(Exit::FileError, "trace " + *path + ": " + error.what());
    }
    gTrace->Log().BeginSection(TraceTitle(words));
    call.trace = gTrace.get();
}

// The command's end in the trace, which is then complete on disk.
void EndTrace(int status, const std::string& message) {
    if (!gTrace) {
        return;
    }
    if (status == 0) {
        gTrace->Log().Note("exit 0");
    } else {
        gTrace->Log().Error("exit " + std::to_string(status) + ": " + message);
    }
    gTrace->Log().Flush();
    if (const auto& failure = gTrace->Log().Failure()) {
        std::cerr << kProgramName << ": warning: trace " << gTrace->Path()
                  << " is incomplete: " << *failure << '\n';
    }
    gTrace.reset();
}

[[noreturn]] void UsageError(const std::string& message, const std::string& command) {
    const std::string more = command.empty() ? "--help" : command + " --help";
    throw CliError(Exit::Usage, message + "\nTry '" + std::string(kProgramName) + " " + more +
                                    "' for more information.");
}

std::vector<std::string> CommandNames() {
    std::vector<std::string> names;
    for (const CommandEntry& entry : CommandTable()) {
        names.emplace_back(entry.name);
    }
    return names;
}

[[noreturn]] void NotACommand(const std::string& word) {
    UsageError("'" + word + "' is not a command" + DidYouMean(word, CommandNames()), "");
}

// The options that may stand before the command: each is handed to the command as if given
// after it, so the command's own table still decides whether it takes them.
std::span<const OptionRule> GlobalOptions() {
    static const std::vector<OptionRule> global = [] {
        std::vector<OptionRule> found;
        const auto add = [&found](std::span<const OptionRule> options) {
            for (const OptionRule& option : options) {
                const bool known = std::any_of(found.begin(), found.end(), [&](const auto& o) {
                    return o.name == option.name;
                });
                if (IsGlobalOption(option) && !known) {
                    found.push_back(option);
                }
            }
        };
        add(CommonOptions());
        for (const CommandEntry& entry : CommandTable()) {
            add(entry.options);
        }
        return found;
    }();
    return global;
}

int Run(const std::vector<std::string>& words) {
    // Not in the help: the build writes the completion and the manual page with these.
    if (words.size() == 2 && words[0] == "--completion" && words[1] == "bash") {
        std::cout << BashCompletion();
        return ToInt(Exit::Ok);
    }
    if (words.size() == 2 && words[0] == "--manual-page") {
        std::cout << ManPageHead(words[1]);
        return ToInt(Exit::Ok);
    }
    // Global options before the command, moved behind it.
    std::vector<std::string> leading;
    std::size_t at = 0;
    for (; at < words.size() && words[at].size() > 1 && words[at][0] == '-'; ++at) {
        const std::string& word = words[at];
        if (word == "--help" || word == "-h") {
            std::cout << ProgramHelp();
            return ToInt(Exit::Ok);
        }
        if (word == "--version") {
            std::cout << kProgramName << ' ' << kVersion << '\n';
            return ToInt(Exit::Ok);
        }
        const std::string name = word.substr(0, word.find('='));
        const auto option =
            std::find_if(GlobalOptions().begin(), GlobalOptions().end(), [&](const auto& o) {
                return name == "--" + std::string(o.name) ||
                       (o.shortName != 0 && name == std::string("-") + o.shortName);
            });
        if (option == GlobalOptions().end()) {
            std::vector<std::string> known = {"--help", "--version"};
            for (const OptionRule& global : GlobalOptions()) {
                known.push_back("--" + std::string(global.name));
            }
            UsageError("unknown option " + name + DidYouMean(name, known) + " before the command",
                       "");
        }
        leading.push_back(word);
        if (option->TakesValue() && word.find('=') == std::string::npos && at + 1 < words.size()) {
            leading.push_back(words[++at]);
        }
    }
    if (at == words.size()) {
        UsageError("missing command", "");
    }
    const std::string& first = words[at];
    if (first == "help") {
        // "help read" is "read --help".
        if (at + 1 == words.size()) {
            std::cout << ProgramHelp();
            return ToInt(Exit::Ok);
        }
        const CommandEntry* entry = FindCommand(words[at + 1]);
        if (entry == nullptr) {
            NotACommand(words[at + 1]);
        }
        std::cout << CommandHelp(*entry);
        return ToInt(Exit::Ok);
    }
    const CommandEntry* entry = FindCommand(first);
    if (entry == nullptr) {
        NotACommand(first);
    }
    std::vector<OptionRule> options = entry->options;
    options.insert(options.end(), CommonOptions().begin(), CommonOptions().end());
    std::vector<std::string> args = leading;
    args.insert(args.end(), words.begin() + static_cast<std::ptrdiff_t>(at) + 1, words.end());
    Invocation call{first, {}, nullptr, words};
    try {
        call.args = Args::Parse(args, options);
    } catch (const CliError& error) {
        UsageError(first + ": " + error.what(), first);
    }
    if (call.args.Has("help")) {
        std::cout << CommandHelp(*entry);
        return ToInt(Exit::Ok);
    }
    if (call.args.Has("verbose") && call.args.Has("quiet")) {
        UsageError(first + ": -v and -q exclude each other", first);
    }
    SetVerbosity(call.args.Has("verbose") ? Verbosity::Verbose
                 : call.args.Has("quiet") ? Verbosity::Quiet
                                          : Verbosity::Normal);
    if (entry->writesTrace) {
        StartTrace(call, words);
    }
    return entry->run(call);
}

}  // namespace

int Main(int argc, char** argv) {
    InstallInterruptHandler();
    std::vector<std::string> words(argv + 1, argv + argc);
    try {
        const int status = Run(words);
        // A result that could not be written (a full disk) is not a success. A reader that
        // closed the pipe early (`--help | grep -q`, `| head`) took what it wanted: the command's
        // own status stands, without a word.
        if (!std::cout.flush() && PipeReaderLeft()) {
            EndTrace(status, "");
            return status;
        }
        if (!std::cout) {
            std::cerr << kProgramName << ": cannot write to standard output\n";
            EndTrace(ToInt(Exit::FileError), "cannot write to standard output");
            return ToInt(Exit::FileError);
        }
        EndTrace(status, "");
        return status;
    } catch (const CliError& error) {
        std::cout.flush();
        std::cerr << kProgramName << ": " << error.what() << '\n';
        EndTrace(ToInt(error.Code()), error.what());
        return ToInt(error.Code());
    } catch (const EComPort& error) {
        std::cout.flush();
        const CliError described = DescribePortError(error, error.Port());
        std::cerr << kProgramName << ": " << described.what() << '\n';
        EndTrace(ToInt(described.Code()), described.what());
        return ToInt(described.Code());
    } catch (const Interrupted& stop) {
        std::cerr << '\n' << kProgramName << ": " << stop.what() << '\n';
        const Exit code = stop.Terminated() ? Exit::Terminated : Exit::Interrupted;
        EndTrace(ToInt(code), stop.what());
        return ToInt(code);
    } catch (const EInOutError& error) {
        const std::string text = FileErrorWords(error);
        std::cerr << kProgramName << ": " << text << '\n';
        EndTrace(ToInt(Exit::FileError), text);
        return ToInt(Exit::FileError);
    } catch (const std::bad_alloc&) {
        // An input too large for the memory left is a file that cannot be read, not a crash.
        std::cerr << kProgramName << ": not enough memory to read the input\n";
        return ToInt(Exit::FileError);
    }
}

}  // namespace zorvik::cli
