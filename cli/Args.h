// A subcommand's arguments: long and short options, values, and operands, in the conventions of
// command-line tools ("--name value", "--name=value", "-p value", "--" ends the options).
#pragma once

#include <map>
#include <optional>
#include <string>
#include <vector>

namespace zorvik::cli {

struct OptionDef {
    std::string name;    // long name without dashes: "password-file"
    char shortName = 0;  // 'p' for -p, or 0
    bool takesValue = false;
    // The option's value stands among the operands, in its place: `diff A -p PORT`.
    bool isOperand = false;
    // May be given more than once, each value kept in order: `--preset A --preset B`.
    bool repeatable = false;
};

struct Operand {
    std::string text;
    std::string option;  // the option that gave it ("port"), or empty for a plain operand

    bool operator==(const Operand&) const = default;
};

class Args {
public:
    [[nodiscard]] bool Has(const std::string& name) const { return values_.contains(name); }
    [[nodiscard]] std::optional<std::string> Value(const std::string& name) const;
    // Every value of a repeatable option, in the order given.
    [[nodiscard]] std::vector<std::string> Values(const std::string& name) const;
    [[nodiscard]] const std::vector<Operand>& Operands() const { return operands_; }

    // Raises CliError (status 2) for an unknown option or one without its value.
    [[nodiscard]] static Args Parse(const std::vector<std::string>& args,
                                    const std::vector<OptionDef>& defs);

private:
    std::map<std::string, std::string> values_;  // the last value given for each option
    std::map<std::string, std::vector<std::string>> repeated_;
    std::vector<Operand> operands_;
};

}  // namespace zorvik::cli
