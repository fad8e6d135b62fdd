// The JSON form of the configuration value, parsed with nlohmann's JSON reader.
#include "config/ConfigJson.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdio>
#include <nlohmann/json.hpp>
#include <optional>
#include <vector>

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

// A member's value in the text form's spelling, for the text form's parser. A fault is raised
// without a line; the caller places it on the member's.
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
            if (number != std::floor(number)) {
                throw ConfigParseError(0, key, "expected a whole number");
            }
            // No setting comes near a billion; beyond it the number is out of range whatever its
            // size, and never reaches a conversion that could overflow.
            if (std::fabs(number) > 1e9) {
                throw ConfigParseError(0, key, "out of range: " + value.dump());
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

struct Member {
    std::string key;
    nlohmann::json value;
    int line = 0;
};

// The outer object's members as the reader meets them, each with the line its name is on. The
// reader's own document would keep only the last of a name given twice, and a number too large
// for a double would escape it as an exception with neither the member nor the line.
class MemberReader : public nlohmann::json::json_sax_t {
public:
    explicit MemberReader(std::string_view json) : json_(json) {}

    [[nodiscard]] std::vector<Member> Take() { return std::move(members_); }
    [[nodiscard]] const std::optional<ConfigParseError>& Error() const { return error_; }

    bool null() override { return Value(nullptr); }
    bool boolean(bool value) override { return Value(value); }
    bool number_integer(number_integer_t value) override { return Value(value); }
    bool number_unsigned(number_unsigned_t value) override { return Value(value); }
    bool number_float(number_float_t value, const string_t&) override { return Value(value); }
    bool string(string_t& value) override { return Value(value); }
    bool binary(binary_t&) override { return Value(nullptr); }
    bool start_object(std::size_t) override { return Open(nlohmann::json::object()); }
    bool start_array(std::size_t) override { return Open(nlohmann::json::array()); }
    bool end_object() override { return Close(); }
    bool end_array() override { return Close(); }

    bool key(string_t& name) override {
        if (depth_ == 1) {
            const int line = LineOfNextKey();
            for (const Member& member : members_) {
                if (member.key == name) {
                    return Fail(ConfigParseError(line, name, "given twice"));
                }
            }
            members_.push_back({name, nullptr, line});
        }
        return true;
    }

    bool parse_error(std::size_t position, const std::string&,
                     const nlohmann::json::exception& error) override {
        const int line = LineAt(std::min(position, json_.size()));
        // A number beyond what a double holds is out of range like any other too-large number.
        if (dynamic_cast<const nlohmann::json::out_of_range*>(&error) != nullptr && depth_ == 1 &&
            !members_.empty()) {
            return Fail(
                ConfigParseError(members_.back().line, members_.back().key, "out of range"));
        }
        // The reader's own words, without its error number and position prefix.
        std::string reason = error.what();
        if (const auto colon = reason.rfind(": "); colon != std::string::npos) {
            reason.erase(0, colon + 2);
        }
        return Fail(ConfigParseError(line, {}, "not JSON: " + reason));
    }

private:
    bool Value(nlohmann::json value) {
        if (depth_ == 0) {
            return Fail(ConfigParseError(LineAt(0), {}, "expected one JSON object"));
        }
        if (depth_ == 1) {
            members_.back().value = std::move(value);
        }
        return true;
    }

    bool Open(nlohmann::json container) {
        if (depth_ == 0 && !container.is_object()) {
            return Fail(ConfigParseError(LineAt(0), {}, "expected one JSON object"));
        }
        if (depth_ == 1) {
            // Only its kind matters: a container is no setting's value.
            members_.back().value = std::move(container);
        }
        ++depth_;
        return true;
    }

    bool Close() {
        --depth_;
        return true;
    }

    bool Fail(ConfigParseError error) {
        error_ = std::move(error);
        return false;
    }

    int LineAt(std::size_t offset) const {
        return 1 + static_cast<int>(std::count(json_.begin(), json_.begin() + offset, '\n'));
    }

    // The reader gives no positions, so the text is scanned alongside it: the next name of the
    // outer object is the next string at depth 1 that is followed by a colon.
    int LineOfNextKey() {
        bool inString = false;
        std::size_t stringStart = 0;
        for (; scan_ < json_.size(); ++scan_) {
            const char c = json_[scan_];
            if (inString) {
                if (c == '\\') {
                    ++scan_;
                } else if (c == '"') {
                    inString = false;
                    std::size_t next = scan_ + 1;
                    while (next < json_.size() &&
                           std::isspace(static_cast<unsigned char>(json_[next]))) {
                        ++next;
                    }
                    if (scanDepth_ == 1 && next < json_.size() && json_[next] == ':') {
                        scan_ = next + 1;
                        return LineAt(stringStart);
                    }
                }
            } else if (c == '"') {
                inString = true;
                stringStart = scan_;
            } else if (c == '{' || c == '[') {
                ++scanDepth_;
            } else if (c == '}' || c == ']') {
                --scanDepth_;
            }
        }
        return LineAt(json_.size());
    }

    std::string_view json_;
    std::vector<Member> members_;
    std::optional<ConfigParseError> error_;
    int depth_ = 0;
    std::size_t scan_ = 0;
    int scanDepth_ = 0;
};

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
    MemberReader reader(json);
    if (!nlohmann::json::sax_parse(json.begin(), json.end(), &reader)) {
        throw *reader.Error();
    }
    std::vector<Member> members = reader.Take();
    // Members are taken in key order, so the first bad one named is the same whatever the
    // file's order.
    std::sort(members.begin(), members.end(),
              [](const Member& a, const Member& b) { return a.key < b.key; });
    Configuration value = base;
    for (const Member& member : members) {
        try {
            SetConfigValue(value, member.key, TextValue(member.key, member.value));
        } catch (const ConfigParseError& error) {
            // The text form's words and TextValue's, placed on the member's line.
            throw error.Line() != 0 ? error : error.AtLine(member.line);
        }
    }
    return value;
}

}  // namespace zorvik
