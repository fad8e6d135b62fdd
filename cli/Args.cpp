// Parsing a subcommand's arguments.
#include "cli/Args.h"

#include <algorithm>

#include "cli/ExitCode.h"

namespace zorvik::cli {

std::optional<std::string> Args::Value(const std::string& name) const {
    const auto found = values_.find(name);
    if (found == values_.end()) {
        return std::nullopt;
    }
    return found->second;
}

std::vector<std::string> Args::Values(const std::string& name) const {
    const auto found = repeated_.find(name);
    return found == repeated_.end() ? std::vector<std::string>() : found->second;
}

Args Args::Parse(const std::vector<std::string>& args, const std::vector<OptionDef>& defs) {
    Args parsed;
    const auto take = [&parsed](const OptionDef& def, const std::string& value) {
        if (def.isOperand) {
            parsed.operands_.push_back({value, def.name});
        } else if (def.repeatable) {
            parsed.repeated_[def.name].push_back(value);
        } else if (def.takesValue && parsed.values_.contains(def.name)) {
            // Which of two ports or files was meant cannot be guessed.
            throw CliError(Exit::Usage, "option --" + def.name + " given twice");
        }
        parsed.values_[def.name] = value;
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
        const auto def = std::find_if(defs.begin(), defs.end(), [&](const OptionDef& s) {
            return isLong ? s.name == name : (s.shortName != 0 && name[0] == s.shortName);
        });
        if (def == defs.end()) {
            throw CliError(Exit::Usage, "unknown option " + (isLong ? "--" + name : "-" + name));
        }
        const std::string shown = isLong ? "--" + def->name : std::string("-") + def->shortName;
        if (!def->takesValue) {
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
