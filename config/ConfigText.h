// The configuration value as text: one "key = value" line per setting, in the image's order.
#pragma once

#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "config/Configuration.h"

namespace zorvik {

// One setting as the text form writes it: "phone.3.number" and "+48601234567".
struct ConfigEntry {
    std::string key;
    std::string value;
};

// Every setting, in the image's order, values as written in the text form. Reserved bytes appear
// ("reserved.131 = 0x2A") only where they are not zero.
[[nodiscard]] std::vector<ConfigEntry> ConfigEntries(const Configuration& value);

// One "key = value" line per entry, each ended by a newline.
[[nodiscard]] std::string FormatConfigText(const Configuration& value);

// Every key of the text form in the image's order, each with the values it takes as a person
// reads them ("yes, no", "5 to 95 in steps of 5"); the unused bytes come last as one entry,
// "reserved.OFFSET", naming their offsets.
[[nodiscard]] std::vector<ConfigEntry> ConfigKeyValues();

// A text or JSON form that cannot be taken: what is wrong, and where.
class ConfigParseError : public std::runtime_error {
public:
    ConfigParseError(int line, std::string key, const std::string& message);

    [[nodiscard]] int Line() const { return line_; }  // 1 for the first line; 0 when not line-based
    [[nodiscard]] const std::string& Key() const { return key_; }  // empty when no key is known
    // The same fault, placed on `line`.
    [[nodiscard]] ConfigParseError AtLine(int line) const { return {line, key_, message_}; }

private:
    int line_;
    std::string key_;
    std::string message_;
};

// `base` with the settings the text names. Blank lines and lines starting with "#" are skipped.
// Throws ConfigParseError at the first line with an unknown key, a key given twice, a bad value
// or a number out of range; nothing of the text is taken then.
[[nodiscard]] Configuration ParseConfigText(std::string_view text, const Configuration& base);

// How a key's value is written: "yes"/"no", a whole number, a word of a choice, or free text
// (numbers, reserved bytes, unknown keys).
enum class ConfigValueKind { YesNo, Number, Word, Text };
[[nodiscard]] ConfigValueKind KindOfKey(std::string_view key);

// ParseConfigText without throwing: on success `result` takes the value and nothing is returned;
// on error `result` is left alone and the error is returned.
[[nodiscard]] std::optional<ConfigParseError> TryParseConfigText(std::string_view text,
                                                                 const Configuration& base,
                                                                 Configuration& result);

// Whether the text form has the key (a setting or a "reserved.<offset>" byte).
[[nodiscard]] bool IsConfigKey(std::string_view key);

// Sets one setting from its text-form value; the text and JSON parsers share it. Throws
// ConfigParseError (line 0) naming the key.
void SetConfigValue(Configuration& value, std::string_view key, std::string_view text);

}  // namespace zorvik
