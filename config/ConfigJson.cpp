// The JSON form of the configuration value, parsed with Qt's JSON reader.
#include "config/ConfigJson.h"

#include <QByteArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QJsonParseError>
#include <QJsonValue>
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
std::string TextValue(const std::string& key, const QJsonValue& value) {
    switch (value.type()) {
        case QJsonValue::Bool:
            // true for a number would reach the number's parser as "yes": refused here, by name.
            if (KindOfKey(key) != ConfigValueKind::YesNo) {
                throw ConfigParseError(
                    0, key,
                    std::string("expected ") +
                        (KindOfKey(key) == ConfigValueKind::Number ? "a number" : "a string") +
                        ", got " + (value.toBool() ? "true" : "false"));
            }
            return value.toBool() ? "yes" : "no";
        case QJsonValue::Double: {
            const double number = value.toDouble();
            if (number != std::floor(number) || std::fabs(number) > 1e9) {
                throw ConfigParseError(0, key, "expected a whole number");
            }
            // A negative number reaches the text parser as such and is refused there.
            return std::to_string(static_cast<long long>(number));
        }
        case QJsonValue::String:
            return value.toString().toStdString();
        default:
            throw ConfigParseError(0, key, "expected true, false, a number or a string");
    }
}

// The first member of the outer object whose name came before. Qt's reader keeps only the last
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
    QJsonParseError error{};
    const QJsonDocument document = QJsonDocument::fromJson(
        QByteArray(json.data(), static_cast<qsizetype>(json.size())), &error);
    if (error.error != QJsonParseError::NoError) {
        throw ConfigParseError(0, {},
                               "not JSON: " + error.errorString().toStdString() + " at offset " +
                                   std::to_string(error.offset));
    }
    if (!document.isObject()) {
        throw ConfigParseError(0, {}, "expected one JSON object");
    }
    if (const auto repeated = RepeatedMember(json)) {
        throw ConfigParseError(0, *repeated, "given twice");
    }
    Configuration value = base;
    const QJsonObject object = document.object();
    for (auto member = object.begin(); member != object.end(); ++member) {
        const std::string key = member.key().toStdString();
        SetConfigValue(value, key, TextValue(key, member.value()));
    }
    return value;
}

}  // namespace zorvik
