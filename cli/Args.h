// A command's arguments: long and short options, values, and operands, in the conventions of
// command-line tools ("--name value", "--name=value", "-p value", "--" ends the options).
#pragma once

#include <map>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace zorvik::cli {

// One option as the command table gives it: how it is spelled, what it takes and its help line.
struct OptionRule {
    std::string_view name{};      // long name without dashes: "password-file"
    char shortName = 0;           // 'p' for -p, or 0
    std::string_view argument{};  // the value's name in help ("FILE"), empty for a switch
    std::string_view help{};      // one line, or several separated by '\n'
    // Given once per value, each standing among the operands in its place: `diff A -p PORT`.
    bool repeatable = false;

    [[nodiscard]] bool TakesValue() const { return !argument.empty(); }
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
    [[nodiscard]] const std::vector<Operand>& Operands() const { return operands_; }

    // Raises CliError (status 2) for an option not among `rules`, naming the nearest one that is,
    // or for an option without its value.
    [[nodiscard]] static Args Parse(const std::vector<std::string>& args,
                                    std::span<const OptionRule> rules);

private:
    std::map<std::string, std::string> values_;  // the last value given for each option
    std::vector<Operand> operands_;
};

}  // namespace zorvik::cli
