// The manual page's sections that the command table holds, in roff.
#include "cli/ManPage.h"

#include "Version.h"
#include "cli/CommandTable.h"
#include "cli/Help.h"

namespace zorvik::cli {

namespace {

// Text as roff shows it as written: dashes as minus signs, backslashes kept, and no line taken
// for a request.
std::string Roff(std::string_view text) {
    std::string out;
    bool lineStart = true;
    for (const char c : text) {
        if (lineStart && (c == '.' || c == '\'')) {
            out += "\\&";
        }
        if (c == '\\') {
            out += "\\e";
        } else if (c == '-') {
            out += "\\-";
        } else {
            out += c;
        }
        lineStart = c == '\n';
    }
    return out;
}

// A text broken over lines for the terminal, as one line: roff fills it again.
std::string Joined(std::string_view text) {
    std::string out;
    bool space = false;
    for (const char c : text) {
        if (c == '\n' || c == ' ') {
            space = !out.empty();
            continue;
        }
        if (space) {
            out += ' ';
            space = false;
        }
        out += c;
    }
    return out;
}

// Paragraphs as roff paragraphs (`paragraph` begins each but the first); lines indented by two
// spaces (a list of a form's keys) are kept as they stand.
std::string Paragraphs(std::string_view text, std::string_view paragraph) {
    std::string out;
    bool first = true;
    std::size_t at = 0;
    while (at < text.size()) {
        std::size_t end = text.find("\n\n", at);
        if (end == std::string_view::npos) {
            end = text.size();
        }
        std::string_view block = text.substr(at, end - at);
        at = end + 2;
        if (!first) {
            out += std::string(paragraph) + "\n";
        }
        first = false;
        // Lines indented by two spaces are kept as they stand; the others are filled.
        std::string filled;
        std::size_t lineAt = 0;
        bool inVerbatim = false;
        while (lineAt <= block.size()) {
            std::size_t lineEnd = block.find('\n', lineAt);
            if (lineEnd == std::string_view::npos) {
                lineEnd = block.size();
            }
            const std::string_view line = block.substr(lineAt, lineEnd - lineAt);
            lineAt = lineEnd + 1;
            const bool verbatim = line.starts_with("  ");
            if (verbatim != inVerbatim) {
                if (!filled.empty()) {
                    out += Roff(Joined(filled)) + "\n";
                    filled.clear();
                }
                out += verbatim ? ".RS\n.nf\n" : ".fi\n.RE\n";
                inVerbatim = verbatim;
            }
            if (verbatim) {
                out += Roff(line.substr(2)) + "\n";
            } else {
                filled += std::string(line) + "\n";
            }
        }
        if (inVerbatim) {
            out += ".fi\n.RE\n";
        }
        if (!filled.empty()) {
            out += Roff(Joined(filled)) + "\n";
        }
    }
    return out;
}

std::string OptionItems(std::span<const OptionRule> options) {
    std::string out;
    for (const OptionRule& option : options) {
        out += ".TP\n.B " + Roff(OptionUsage(option)) + "\n" + Roff(Joined(option.help)) + "\n";
    }
    return out;
}

}  // namespace

std::string ManPageHead(std::string_view date) {
    std::string page =
        ".\\\" The manual page of zorvik-cli: made from its command table, then the "
        "sections kept by hand.\n";
    page += ".TH ZORVIK\\-CLI 1 \"" + std::string(date) + "\" \"zorvik-gsm " + kVersion +
            "\" \"User Commands\"\n";
    page += ".SH NAME\nzorvik\\-cli \\- the Zorvik GSM configurator on the command line\n";

    page += ".SH SYNOPSIS\n";
    for (const CommandEntry& command : CommandTable()) {
        page += ".B zorvik\\-cli " + Roff(command.name) + "\n";
        if (!command.synopsis.empty()) {
            page += Roff(Joined(command.synopsis)) + "\n";
        }
        page += ".br\n";
    }
    page += ".B zorvik\\-cli help\n.RI [ COMMAND ]\n";

    // The help's introduction without its usage line.
    const std::string_view introduction = ProgramIntroduction();
    page += ".SH DESCRIPTION\n" +
            Paragraphs(introduction.substr(introduction.find('\n') + 1), ".PP") + ".PP\n" +
            Roff(
                "Results go to standard output; progress, warnings and diagnostics go to "
                "standard error, as \"zorvik-cli: PORT: what happened\". Every command takes "
                "-h (--help), -v (--verbose) and -q (--quiet).") +
            "\n";

    page += ".SH COMMANDS\n";
    for (const CommandEntry& command : CommandTable()) {
        page += ".TP\n.B " + Roff(command.name);
        if (!command.synopsis.empty()) {
            page += " " + Roff(Joined(command.synopsis));
        }
        page += "\n" + Paragraphs(command.description, ".IP");
        if (!command.options.empty()) {
            page += ".RS\n" + OptionItems(command.options) + ".RE\n";
        }
        if (!command.epilogue.empty()) {
            page += ".IP\n" + Roff(Joined(command.epilogue)) + "\n";
        }
    }
    page += ".TP\n.B help \\fR[\\fICOMMAND\\fR]\n" +
            Roff("The program's help, or a command's, as COMMAND --help prints it.") + "\n";

    page += ".SH OPTIONS\n" + OptionItems(ProgramOptions());
    page +=
        ".PP\n" + Roff(Joined(ProgramClosing().substr(0, ProgramClosing().find("\n\n")))) + "\n";
    return page;
}

}  // namespace zorvik::cli
