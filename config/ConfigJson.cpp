// The JSON form of the configuration value, parsed with nlohmann's JSON reader.
#include "config/ConfigJson.h"

#include <cmath>
#include <cstdio>
#include <nlohmann/json.hpp>
#include <optional>
#include <set>

namespace zorvik {

namespace {

// The values are the text form's, but a string is escaped all the same.
std::string Quoted(const std::string& text) {
    std::string quoted = "\"";
    for (const char c : text) {
        if (c == '"' || c == '\\') {
            quoted += '\\';
            quoted += c;
        } else if (static_cast<unsigned char>(c) < 0x20) {
            char escape[8];
            std::snprintf(escape, sizeof escape, "\\u%04X", static_cast<unsigned>(c));
            quoted += escape;
        } else {
            quoted += c;
        }
    }
    return quoted + "\"";
}

std::string JsonValue(const ConfigEntry& entry) {
    switch (KindOfKey(entry.key)) {
        case ConfigValueKind::YesNo:
            return entry.value == "yes" ? "true" : "false";
        case ConfigValueKind::Number:
            return entry.value;
        case ConfigValueKind::Word:
        case ConfigValueKind::Text:
            break;
    }
    return Quoted(entry.value);
}

// A member's value in the text form's spelling, for the text form's parser.
std::string TextValue(const std::string& key, const nlohmann::json& value) {
    switch (value.type()) {
        case nlohmann::json::value_t::boolean:
            // true for a number would reach the number's parser as "yes": refused here, by name.
            if (KindOfKey(key) != ConfigValueKind::YesNo) {
                throw ConfigParseError(
                    0, key,
                    std::string("expected ") +
                        (KindOfKey(key) == ConfigValueKind::Number ? "a number" : "a string") +
                        ", got " + (value.get<bool>() ? "true" : "false"));
            }
            return value.get<bool>() ? "yes" : "no";
        case nlohmann::json::value_t::number_integer:
        case nlohmann::json::value_t::number_unsigned:
        case nlohmann::json::value_t::number_float: {
            const double number = value.get<double>();
            if (number != std::floor(number) || std::fabs(number) > 1e9) {
                throw ConfigParseError(0, key, "expected a whole number");
            }
            // A negative number reaches the text parser as such and is refused there.
            return std::to_string(static_cast<long long>(number));
        }
        case nlohmann::json::value_t::string:
            return value.get<std::string>();
        default:
            throw ConfigParseError(0, key, "expected true, false, a number or a string");
    }
}

// The first member of the outer object whose name came before. The reader keeps only the last
// of them, which would let a key given twice pass where the text form refuses it.
std::optional<std::string> RepeatedMember(std::string_view json) {
    std::set<std::string> seen;
    std::optional<std::string> repeated;
    const auto callback = [&](int depth, nlohmann::json::parse_event_t event,
                              nlohmann::json& parsed) {
        if (event == nlohmann::json::parse_event_t::key && depth == 1 && !repeated &&
            !seen.insert(parsed.get<std::string>()).second) {
            repeated = parsed.get<std::string>();
        }
        return true;
    };
    [[maybe_unused]] const nlohmann::json document =
        nlohmann::json::parse(json.begin(), json.end(), callback, false);
    return repeated;
}

}  // namespace

std::string FormatConfigJson(const Configuration& value) {
    const std::vector<ConfigEntry> entries = ConfigEntries(value);
    std::string json = "{\n";
    for (std::size_t i = 0; i < entries.size(); ++i) {
        json += "    " + Quoted(entries[i].key) + ": " + JsonValue(entries[i]);
        json += i + 1 < entries.size() ? ",\n" : "\n";
    }
    return json + "}\n";
}

Configuration ParseConfigJson(std::string_view json, const Configuration& base) {
    nlohmann::json document;
    try {
        document = nlohmann::json::parse(json);
    } catch (const nlohmann::json::parse_error& error) {
        // The reader's own words, without its error number and position prefix.
        std::string reason = error.what();
        if (const auto colon = reason.rfind(": "); colon != std::string::npos) {
            reason.erase(0, colon + 2);
        }
        throw ConfigParseError(0, {},
                               "not JSON: " + reason + " at offset " + std::to_string(error.byte));
    }
    if (!document.is_object()) {
        throw ConfigParseError(0, {}, "expected one JSON object");
    }
    if (const auto repeated = RepeatedMember(json)) {
        throw ConfigParseError(0, *repeated, "given twice");
    }
    // Members come in key order, so the first bad one named is the same whatever the file's
    // order.
    Configuration value = base;
    for (const auto& [key, member] : document.items()) {
        SetConfigValue(value, key, TextValue(key, member));
    }
    return value;
}

}  // namespace zorvik
