// Operands, ports, passwords and printed lines shared by the command handlers.
#include "cli/CommandSupport.h"

#include <algorithm>
#include <cctype>
#include <ctime>
#include <iostream>

#include "Version.h"
#include "cli/ConfigForms.h"
#include "cli/Console.h"
#include "cli/ExitCode.h"
#include "cli/Presets.h"
#include "files/UtcTime.h"

namespace zorvik::cli {

std::string TraceTitle(const std::vector<std::string>& words) {
    const std::time_t now = std::time(nullptr);
    const std::tm parts = UtcTime(now);
    char time[32];
    std::strftime(time, sizeof time, "%Y-%m-%d %H:%M:%S UTC", &parts);
    std::string title = std::string(kProgramName) + " " + kVersion + ", " + time + ":";
    for (const std::string& word : words) {
        title += " " + word;
    }
    return title;
}

std::string FileErrorWords(const EInOutError& error) {
    return error.CutShort()
               ? std::string(error.what()) + " (writing stopped part way: the file may be damaged)"
               : error.what();
}

void Confirm(const std::string& text) {
    if (CurrentVerbosity() != Verbosity::Quiet) {
        std::cout << text << '\n';
    }
}

std::optional<std::string> PasswordFile(const Args& args) {
    return args.Value("password-file");
}

void OneReaderOfStandardInput(const Invocation& call, const std::string& form,
                              bool passwordsFromStdin) {
    const auto file = PasswordFile(call.args);
    const bool formFromStdin = IsStandardInput(form);
    const bool passwordFromStdin = file && IsStandardInput(*file);
    if ((formFromStdin ? 1 : 0) + (passwordFromStdin ? 1 : 0) + (passwordsFromStdin ? 1 : 0) > 1) {
        throw CliError(Exit::Usage, call.command +
                                        ": standard input can give either the form or a "
                                        "password, not both; put one of them in a file");
    }
}

std::string RequiredPort(const Invocation& call) {
    const auto port = call.args.Value("port");
    if (!port) {
        throw CliError(Exit::Usage, call.command + ": missing -p PORT");
    }
    return *port;
}

std::vector<std::string> PlainOperands(const Invocation& call, std::size_t count,
                                       const char* what) {
    std::vector<std::string> plain;
    for (const Operand& operand : call.args.Operands()) {
        if (operand.option.empty()) {
            plain.push_back(operand.text);
        }
    }
    if (plain.size() != count) {
        throw CliError(Exit::Usage, call.command + ": expected " + what);
    }
    return plain;
}

void NoOperands(const Invocation& call) {
    (void)PlainOperands(call, 0, "no arguments");
}

std::string Shown(const std::string& path) {
    return path == "-" ? std::string("standard input") : path;
}

std::string FormText(const std::string& path) {
    std::string text = LoadTextFile(path);
    if (IsEmptyForm(text)) {
        throw CliError(Exit::FileError, Shown(path) + ": the form is empty: it gives no setting");
    }
    return text;
}

void PrintDifferences(const std::vector<Difference>& differences) {
    const auto line = [](const std::string& key, const std::string& value) {
        return key + " =" + (value.empty() ? "" : " " + value) + "\n";
    };
    for (const Difference& difference : differences) {
        std::cout << '-' << line(difference.key, difference.a) << '+'
                  << line(difference.key, difference.b);
    }
}

std::vector<std::string> OptionValues(const Invocation& call, const std::string& name) {
    std::vector<std::string> values;
    for (const Operand& operand : call.args.Operands()) {
        if (operand.option == name) {
            values.push_back(operand.text);
        }
    }
    return values;
}

Configuration WithPresets(const Invocation& call, const Configuration& value) {
    return ApplyPresets(value, OptionValues(call, "preset"), call.args.Has("preset-override"));
}

std::optional<HistoryStore> CommandHistory(const Invocation& call) {
    return CommandHistory(call.args.Has("no-history"));
}

RecordNote Note(const Invocation& call, const std::string& stage, const std::string& port) {
    return {call.command, stage, port, call.args.Value("site").value_or(""), "ok"};
}

std::string Lowered(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return text;
}

}  // namespace zorvik::cli
