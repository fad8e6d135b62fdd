// Help texts, laid out from the command table.
#include "cli/Help.h"

namespace zorvik::cli {

namespace {

constexpr std::size_t kHelpColumn = 30;  // where the explaining text starts

// `left` and `text` in two columns; the text's further lines continue under its first.
std::string TwoColumns(const std::string& left, std::string_view text) {
    std::string out = left;
    if (out.size() + 2 > kHelpColumn) {
        out += '\n';
        out.append(kHelpColumn, ' ');
    } else {
        out.append(kHelpColumn - out.size(), ' ');
    }
    for (const char c : text) {
        out += c;
        if (c == '\n') {
            out.append(kHelpColumn, ' ');
        }
    }
    return out + '\n';
}

}  // namespace

std::string OptionUsage(const OptionRule& option) {
    std::string usage;
    if (option.shortName != 0) {
        usage = std::string("-") + option.shortName + ", ";
    }
    usage += "--" + std::string(option.name);
    if (option.TakesValue()) {
        usage += " " + std::string(option.argument);
    }
    return usage;
}

std::string OptionLines(std::span<const OptionRule> options) {
    std::string lines;
    for (const OptionRule& option : options) {
        lines += TwoColumns((option.shortName != 0 ? "  " : "      ") + OptionUsage(option),
                            option.help);
    }
    return lines;
}

std::string ProgramHelp() {
    std::string help(ProgramIntroduction());
    help += "\nCommands:\n";
    for (const CommandEntry& command : CommandTable()) {
        help += TwoColumns("  " + std::string(command.brief), command.summary);
    }
    help += "\nOptions:\n" + OptionLines(ProgramOptions());
    help += "\n" + std::string(ProgramClosing());
    return help;
}

std::string CommandHelp(const CommandEntry& command) {
    std::string help = "Usage: zorvik-cli " + std::string(command.name);
    if (!command.synopsis.empty()) {
        help += " " + std::string(command.synopsis);
    }
    help += "\n" + std::string(command.description) + "\n\nOptions:\n";
    help += OptionLines(command.options);
    help += OptionLines(CommonOptions().first(1));  // -h; -v and -q are the program's
    if (!command.epilogue.empty()) {
        help += "\n" + std::string(command.epilogue);
    }
    return help;
}

}  // namespace zorvik::cli
