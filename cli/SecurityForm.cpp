// Reading the anti-theft settings' text form.
#include "cli/SecurityForm.h"

#include <charconv>
#include <functional>
#include <map>
#include <set>

#include "cli/ExitCode.h"
#include "cli/Suggest.h"
#include "config/Configuration.h"
#include "config/FormGrammar.h"
#include "config/SecurityRecord.h"

namespace zorvik::cli {

namespace {

bool ParseSwitch(std::string_view value, bool& out) {
    if (value == "on" || value == "yes" || value == "true" || value == "1") {
        out = true;
        return true;
    }
    if (value == "off" || value == "no" || value == "false" || value == "0") {
        out = false;
        return true;
    }
    return false;
}

bool ParseNumber(std::string_view value, int low, int high, int& out) {
    int number = 0;
    const auto [end, ec] = std::from_chars(value.data(), value.data() + value.size(), number);
    if (ec != std::errc{} || end != value.data() + value.size() || number < low || number > high) {
        return false;
    }
    out = number;
    return true;
}

bool ParseTelephone(std::string_view value, std::string& out) {
    if (value.starts_with('+')) {
        value.remove_prefix(1);
    }
    if (value.size() > static_cast<std::size_t>(kTelephoneDigits) ||
        value.find_first_not_of("0123456789") != std::string_view::npos) {
        return false;
    }
    out = std::string(value);
    return true;
}

}  // namespace

AntiTheftSettings ParseSecurityForm(std::string_view text, const std::string& fileName) {
    AntiTheftSettings form;
    using Setter = std::function<bool(std::string_view)>;
    const std::map<std::string_view, std::pair<Setter, const char*>> keys = {
        {"protection", {[&](auto v) { return ParseSwitch(v, form.protection); }, "on or off"}},
        {"telephone",
         {[&](auto v) { return ParseTelephone(v, form.telephone); }, "up to 12 digits"}},
        {"change-password",
         {[&](auto v) { return ParseSwitch(v, form.changePassword); }, "yes or no"}},
        {"report-switch-on",
         {[&](auto v) { return ParseSwitch(v, form.reportSwitchOn); }, "on or off"}},
        {"report-sim-change",
         {[&](auto v) { return ParseSwitch(v, form.reportSimChange); }, "on or off"}},
        {"report-cyclic", {[&](auto v) { return ParseSwitch(v, form.reportCyclic); }, "on or off"}},
        {"report-interval",
         {[&](auto v) {
              return ParseNumber(v, security::kMinInterval, security::kMaxInterval,
                                 form.reportInterval);
          },
          "hours, 1 to 240"}},
        {"report-start-hour",
         {[&](auto v) {
              return ParseNumber(v, security::kMinHour, security::kMaxHour, form.reportStartHour);
          },
          "an hour, 0 to 23"}},
    };

    std::set<std::string_view> seen;  // a key given twice leaves which one counts to chance
    FormReader reader(text);
    while (const std::optional<FormLine> line = reader.Next()) {
        const std::string where = fileName + ":" + std::to_string(line->number) + ": ";
        const std::string key(line->key);
        const auto found = keys.find(line->key);
        if (found == keys.end()) {
            std::vector<std::string> known;
            for (const auto& [name, setter] : keys) {
                known.emplace_back(name);
            }
            throw CliError(Exit::FileError,
                           where + "unknown key \"" + key + "\"" + DidYouMean(key, known));
        }
        if (!seen.insert(found->first).second) {
            throw CliError(Exit::FileError, where + key + ": given twice");
        }
        if (!found->second.first(line->value)) {
            throw CliError(Exit::FileError, where + key + ": expected " + found->second.second +
                                                ", not \"" + std::string(line->value) + "\"");
        }
    }
    if (const auto& error = reader.Error()) {
        throw CliError(Exit::FileError,
                       fileName + ":" + std::to_string(error->line) + ": " + error->message);
    }
    return form;
}

}  // namespace zorvik::cli
