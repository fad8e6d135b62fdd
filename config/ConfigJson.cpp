// The JSON form of the configuration value, parsed with nlohmann's JSON reader.
#include "config/ConfigJson.h"

#include <cmath>
#include <cstdio>
#include <nlohmann/json.hpp>

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
    // Members come in key order, so the first bad one named is the same whatever the file's
    // order; a key given twice keeps its last value.
    Configuration value = base;
    for (const auto& [key, member] : document.items()) {
        SetConfigValue(value, key, TextValue(key, member));
    }
    return value;
}

}  // namespace zorvik
