// Parsing a subcommand's arguments.
#include "cli/Args.h"

#include <algorithm>

#include "cli/ExitCode.h"
#include "cli/Suggest.h"

namespace zorvik::cli {

std::optional<std::string> Args::Value(const std::string& name) const {
    const auto found = values_.find(name);
    if (found == values_.end()) {
        return std::nullopt;
    }
    return found->second;
}

Args Args::Parse(const std::vector<std::string>& args, std::span<const OptionRule> rules) {
    Args parsed;
    const auto take = [&parsed](const OptionRule& entry, const std::string& value) {
        const std::string name(entry.name);
        if (entry.repeatable) {
            parsed.operands_.push_back({value, name});
        } else if (entry.TakesValue() && parsed.values_.contains(name)) {
            // Which of two ports or files was meant cannot be guessed.
            throw CliError(Exit::Usage, "option --" + name + " given twice");
        }
        parsed.values_[name] = value;
    };
    bool optionsEnded = false;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (optionsEnded || arg.size() < 2 || arg[0] != '-') {
            parsed.operands_.push_back({arg, ""});
            continue;
        }
        if (arg == "--") {
            optionsEnded = true;
            continue;
        }
        const bool isLong = arg.starts_with("--");
        std::string name;
        std::optional<std::string> inlineValue;
        if (isLong) {
            name = arg.substr(2);
            if (const auto equals = name.find('='); equals != std::string::npos) {
                inlineValue = name.substr(equals + 1);
                name.resize(equals);
            }
        } else {
            name = arg.substr(1, 1);
            if (arg.size() > 2) {
                inlineValue = arg.substr(2);  // -pCOM41
            }
        }
        const auto def = std::find_if(rules.begin(), rules.end(), [&](const OptionRule& s) {
            return isLong ? s.name == name : (s.shortName != 0 && name[0] == s.shortName);
        });
        if (def == rules.end()) {
            std::vector<std::string> known;
            for (const OptionRule& entry : rules) {
                known.push_back("--" + std::string(entry.name));
            }
            throw CliError(Exit::Usage, "unknown option " + (isLong ? "--" + name : "-" + name) +
                                            (isLong ? DidYouMean("--" + name, known) : ""));
        }
        const std::string shown =
            isLong ? "--" + std::string(def->name) : std::string("-") + def->shortName;
        if (!def->TakesValue()) {
            if (inlineValue) {
                throw CliError(Exit::Usage, "option " + shown + " takes no value");
            }
            take(*def, "");
            continue;
        }
        if (inlineValue) {
            take(*def, *inlineValue);
            continue;
        }
        if (i + 1 >= args.size()) {
            throw CliError(Exit::Usage, "option " + shown + " needs a value");
        }
        take(*def, args[++i]);
    }
    return parsed;
}

}  // namespace zorvik::cli
