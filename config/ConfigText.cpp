// The text form of the configuration value: the key table, the writing and the parsing of values.
#include "config/ConfigText.h"

#include <algorithm>
#include <bitset>
#include <charconv>
#include <cstdio>
#include <functional>
#include <optional>
#include <unordered_map>

#include "config/FormGrammar.h"
#include "config/ImageLayout.h"
#include "config/PrintableText.h"

namespace zorvik {

namespace {

// A value's parser writes what is wrong into `error`, which it leaves empty for a good value; the
// caller adds the line and the key. Nothing throws on the way, so that refusing a text is as cheap
// as taking one.

constexpr std::string_view kYes = "yes";
constexpr std::string_view kNo = "no";

std::string YesNo(bool on) {
    return std::string(on ? kYes : kNo);
}

bool ParseYesNo(std::string_view text, std::string& error) {
    if (text == kYes) {
        return true;
    }
    if (text == kNo) {
        return false;
    }
    error = "expected yes or no, got \"" + std::string(text) + "\"";
    return false;
}

std::string Allowed(const ValueRange& range) {
    return std::to_string(range.min) + " to " + std::to_string(range.max) +
           (range.step > 1 ? " in steps of " + std::to_string(range.step) : std::string());
}

int ParseNumber(std::string_view text, const ValueRange& range, std::string& error) {
    const bool digitsOnly = !text.empty() && std::all_of(text.begin(), text.end(), [](char c) {
        return c >= '0' && c <= '9';
    });
    if (!digitsOnly) {
        error = "expected a whole number from " + Allowed(range) + ", got \"" + std::string(text) +
                "\"";
        return 0;
    }
    int number = 0;
    const auto [end, status] = std::from_chars(text.data(), text.data() + text.size(), number);
    if (status != std::errc() || end != text.data() + text.size() || number < range.min ||
        number > range.max || (number - range.min) % range.step != 0) {
        error = "out of range: " + std::string(text) + " is not " + Allowed(range);
        return 0;
    }
    return number;
}

// A choice written as one of its words.
template <typename Enum>
struct Words {
    std::vector<std::pair<Enum, std::string_view>> words;

    [[nodiscard]] std::string Write(Enum value) const {
        for (const auto& [choice, word] : words) {
            if (choice == value) {
                return std::string(word);
            }
        }
        return std::string(words.front().second);
    }

    [[nodiscard]] std::string List() const {
        std::string list;
        for (const auto& [choice, word] : words) {
            list += (list.empty() ? "" : ", ") + std::string(word);
        }
        return list;
    }

    [[nodiscard]] Enum Parse(std::string_view text, std::string& error) const {
        for (const auto& [choice, word] : words) {
            if (word == text) {
                return choice;
            }
        }
        std::string choices;
        for (const auto& [choice, word] : words) {
            choices += (choices.empty() ? "" : " or ") + std::string(word);
        }
        error = "expected " + choices + ", got \"" + std::string(text) + "\"";
        return words.front().first;
    }
};

const Words<SmsControlMode> kSmsModes{{{SmsControlMode::NotifyOnly, "notify_only"},
                                       {SmsControlMode::ControlAndNotify, "control_and_notify"}}};
const Words<DeviceType> kDeviceTypes{
    {{DeviceType::Wardeno, "wardeno"}, {DeviceType::Semalto, "semalto"}}};
const Words<LightWiring> kWirings{
    {{LightWiring::CommonPlus, "common_plus"}, {LightWiring::CommonMinus, "common_minus"}}};
const Words<SignalHead> kSignalHeads{{{SignalHead::S1, "s1"}, {SignalHead::S2, "s2"}}};
const Words<GsmNetwork> kNetworks{
    {{GsmNetwork::HomeOnly, "home_only"}, {GsmNetwork::Roaming, "roaming"}}};

// Telephones and the SMS centre are written with their "+", the PIN without.
std::string WriteNumber(const NumberSetting& number, bool plus) {
    if (number.number.empty()) {
        return {};
    }
    return (plus ? "+" : "") + number.number;
}

std::string ParseNumberText(std::string_view text, int digits, bool plus, std::string& error) {
    const std::string_view given = text;  // echoed as written, "+" included
    if (plus && !text.empty() && text.front() == '+') {
        text.remove_prefix(1);
    }
    const bool valid = std::all_of(text.begin(), text.end(), [](char c) {
        return (c >= '0' && c <= '9') || c == kEmptyDigit;
    });
    if (!valid) {
        error = std::string("expected ") + (plus ? "\"+\" and " : "") + "digits, got \"" +
                std::string(given) + "\"";
        return {};
    }
    if (static_cast<int>(text.size()) > digits) {
        error = "out of range: more than " + std::to_string(digits) + " digits";
        return {};
    }
    std::string number(text);
    while (!number.empty() && number.back() == kEmptyDigit) {
        number.pop_back();
    }
    return number;
}

std::string WriteByte(std::uint8_t byte) {
    char text[8];
    std::snprintf(text, sizeof text, "0x%02X", byte);
    return text;
}

std::uint8_t ParseByte(std::string_view text, std::string& error) {
    int base = 10;
    std::string_view digits = text;
    if (digits.size() > 2 && digits[0] == '0' && (digits[1] == 'x' || digits[1] == 'X')) {
        base = 16;
        digits.remove_prefix(2);
    }
    unsigned value = 0;
    const auto [end, status] =
        std::from_chars(digits.data(), digits.data() + digits.size(), value, base);
    if (digits.empty() || digits.front() == '+' || digits.front() == '-' ||
        status == std::errc::invalid_argument || end != digits.data() + digits.size()) {
        error = "expected a byte (0 to 255 or 0x00 to 0xFF), got \"" + std::string(text) + "\"";
        return 0;
    }
    if (status != std::errc() || value > 0xFF) {
        error = "out of range: " + std::string(text) + " is not a byte";
        return 0;
    }
    return static_cast<std::uint8_t>(value);
}

// A good value goes into its field; a bad one leaves the field as it was.
template <typename Field, typename Value>
void Take(Field& field, Value&& value, const std::string& error) {
    if (error.empty()) {
        field = std::forward<Value>(value);
    }
}

// One key of the text form: where it sits in the image, how it is written and read.
struct Setting {
    std::string key;
    int offset;  // the image byte it belongs to, which orders the text
    ConfigValueKind kind;
    std::function<std::string(const Configuration&)> write;
    std::function<void(Configuration&, std::string_view, std::string& error)> read;
    std::string values;  // what the key takes, as `zorvik-cli keys` lists it
};

// A number that is `alwaysInUse` (the SMS centre) is shown and taken as in use whatever its
// field's flag or the text says, as the window shows and stores it.
template <typename Member>
void AddNumber(std::vector<Setting>& table, const std::string& prefix, int offset, int digits,
               bool plus, Member at, bool alwaysInUse = false) {
    table.push_back(
        {prefix + ".in_use", offset, ConfigValueKind::YesNo,
         [at, alwaysInUse](const Configuration& v) { return YesNo(alwaysInUse || at(v).inUse); },
         [at, alwaysInUse](Configuration& v, std::string_view t, std::string& e) {
             Take(at(v).inUse, ParseYesNo(t, e) || alwaysInUse, e);
         },
         "yes, no"});
    table.push_back({prefix + ".number", offset, ConfigValueKind::Text,
                     [at, plus](const Configuration& v) { return WriteNumber(at(v), plus); },
                     [at, digits, plus](Configuration& v, std::string_view t, std::string& e) {
                         Take(at(v).number, ParseNumberText(t, digits, plus, e), e);
                     },
                     std::string(plus ? "\"+\" and " : "") + "up to " + std::to_string(digits) +
                         " digits, or nothing"});
}

template <typename Member>
void AddYesNo(std::vector<Setting>& table, const std::string& key, int offset, Member member) {
    table.push_back({key, offset, ConfigValueKind::YesNo,
                     [member](const Configuration& v) { return YesNo(member(v)); },
                     [member](Configuration& v, std::string_view t, std::string& e) {
                         Take(member(v), ParseYesNo(t, e), e);
                     },
                     "yes, no"});
}

template <typename Member>
void AddNumberValue(std::vector<Setting>& table, const std::string& key, int offset,
                    const ValueRange& range, Member member) {
    table.push_back({key, offset, ConfigValueKind::Number,
                     [member](const Configuration& v) { return std::to_string(member(v)); },
                     [member, range](Configuration& v, std::string_view t, std::string& e) {
                         Take(member(v), ParseNumber(t, range, e), e);
                     },
                     Allowed(range)});
}

template <typename Enum, typename Member>
void AddChoice(std::vector<Setting>& table, const std::string& key, int offset,
               const Words<Enum>& words, Member member) {
    table.push_back({key, offset, ConfigValueKind::Word,
                     [&words, member](const Configuration& v) { return words.Write(member(v)); },
                     [&words, member](Configuration& v, std::string_view t, std::string& e) {
                         Take(member(v), words.Parse(t, e), e);
                     },
                     words.List()});
}

// A reference to one member, for the const and the mutable value alike.
#define ZORVIK_MEMBER(expr) \
    [](auto& v) -> auto& {  \
        return v.expr;      \
    }

std::vector<Setting> MakeTable() {
    using namespace image;
    std::vector<Setting> t;
    AddNumber(t, "sms_centre", kSmsCentre, kTelephoneDigits, true, ZORVIK_MEMBER(smsCentre), true);
    for (int k = 0; k < kTelephoneCount; ++k) {
        AddNumber(
            t, "phone." + std::to_string(k + 1), kTelephones[static_cast<std::size_t>(k)],
            kTelephoneDigits,
            true, [k](auto& v) -> auto& { return v.telephones[static_cast<std::size_t>(k)]; });
    }
    AddNumber(t, "sim_pin", kPin, kPinDigits, false, ZORVIK_MEMBER(simPin));

    AddChoice(t, "sms_control.mode", kSmsControl, kSmsModes, ZORVIK_MEMBER(smsControl));
    AddYesNo(t, "sms_control.confirm", kSmsControl, ZORVIK_MEMBER(smsConfirm));

    AddYesNo(t, "notify.low_battery.enabled", kLowBattery, ZORVIK_MEMBER(lowBattery.enabled));
    AddNumberValue(t, "notify.low_battery.threshold_percent", kLowBattery, kLowBatteryPercentRange,
                   ZORVIK_MEMBER(lowBattery.thresholdPercent));
    AddYesNo(t, "notify.low_battery.deep_discharge_battery", kLowBattery,
             ZORVIK_MEMBER(lowBattery.deepDischargeBattery));
    AddYesNo(t, "notify.power_failure.enabled", kPowerFailure, ZORVIK_MEMBER(powerFailure.enabled));
    AddNumberValue(t, "notify.power_failure.delay_minutes", kPowerFailure, kPowerFailureDelayRange,
                   ZORVIK_MEMBER(powerFailure.delayMinutes));
    AddYesNo(t, "notify.gps_position.enabled", kGpsChange, ZORVIK_MEMBER(gpsChange.enabled));
    AddNumberValue(t, "notify.gps_position.distance_metres", kGpsChange, kGpsDistanceRange,
                   ZORVIK_MEMBER(gpsChange.distanceMetres));

    AddYesNo(t, "report.enabled", kReports, ZORVIK_MEMBER(reports.enabled));
    AddYesNo(t, "report.battery_charge", kReports, ZORVIK_MEMBER(reports.batteryCharge));
    AddYesNo(t, "report.time_settings", kReports, ZORVIK_MEMBER(reports.timeSettings));
    AddYesNo(t, "report.gps_position", kReports, ZORVIK_MEMBER(reports.gpsPosition));
    AddYesNo(t, "report.since_battery_change", kReports, ZORVIK_MEMBER(reports.sinceBatteryChange));
    AddYesNo(t, "report.working_time", kReports, ZORVIK_MEMBER(reports.workingTime));
    AddNumberValue(t, "report.interval_hours", kReportInterval, kReportIntervalRange,
                   ZORVIK_MEMBER(reports.intervalHours));
    AddNumberValue(t, "report.start_hour", kReportStartHour, kReportStartHourRange,
                   ZORVIK_MEMBER(reports.startHour));
    for (int k = 0; k < kTelephoneCount; ++k) {
        AddYesNo(
            t, "report.to_phone." + std::to_string(k + 1),
            kReportTelephones, [k](auto& v) -> auto& {
                return v.reports.toTelephone[static_cast<std::size_t>(k)];
            });
    }

    AddYesNo(t, "notify.light_failure.enabled", kLightFailure, ZORVIK_MEMBER(lightFailure.enabled));
    AddYesNo(t, "notify.light_failure.red", kLightFailure, ZORVIK_MEMBER(lightFailure.red));
    AddYesNo(t, "notify.light_failure.yellow", kLightFailure, ZORVIK_MEMBER(lightFailure.yellow));
    AddYesNo(t, "notify.light_failure.green", kLightFailure, ZORVIK_MEMBER(lightFailure.green));

    AddChoice(t, "device.type", kDeviceType, kDeviceTypes, ZORVIK_MEMBER(deviceType));
    AddChoice(t, "device.light_wiring", kDeviceType, kWirings, ZORVIK_MEMBER(lightWiring));
    AddChoice(t, "device.signal_head", kDeviceType, kSignalHeads, ZORVIK_MEMBER(signalHead));
    const char* const lights[kLightTimeCount] = {"red", "yellow", "green_1", "green_2"};
    for (int row = 0; row < kLightTimeCount; ++row) {
        const std::string prefix = std::string("timing.") + lights[row];
        const auto time = [row](auto& v) -> auto& {
            return v.lightTimes[static_cast<std::size_t>(row)];
        };
        AddNumberValue(
            t, prefix + ".seconds", kLightTimings + 2 * row,
            kLightSecondsRange, [time](auto& v) -> auto& { return time(v).seconds; });
        AddNumberValue(
            t, prefix + ".minutes", kLightTimings + 2 * row + 1,
            kLightMinutesRange, [time](auto& v) -> auto& { return time(v).minutes; });
    }

    AddNumberValue(t, "switch_off.delay_minutes", kSwitchOffDelay, kSwitchOffDelayRange,
                   ZORVIK_MEMBER(switchOffMinutes));
    AddChoice(t, "gsm.network", kNetwork, kNetworks, ZORVIK_MEMBER(network));
    return t;
}

#undef ZORVIK_MEMBER

const std::vector<Setting>& Table() {
    static const std::vector<Setting> table = MakeTable();
    return table;
}

constexpr std::string_view kReservedPrefix = "reserved.";

// The index into Configuration::reserved of a "reserved.<offset>" key, if it is one.
std::optional<std::size_t> ReservedIndex(std::string_view key) {
    if (key.substr(0, kReservedPrefix.size()) != kReservedPrefix) {
        return std::nullopt;
    }
    const std::string_view digits = key.substr(kReservedPrefix.size());
    int offset = -1;
    const auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), offset);
    // The offset as the text form writes it: no sign, no leading zero.
    if (digits.empty() || digits.front() < '1' || digits.front() > '9' || error != std::errc() ||
        end != digits.data() + digits.size()) {
        return std::nullopt;
    }
    const auto& offsets = ReservedOffsets();  // ascending
    const auto found = std::lower_bound(offsets.begin(), offsets.end(), offset);
    if (found == offsets.end() || *found != offset) {
        return std::nullopt;
    }
    return static_cast<std::size_t>(found - offsets.begin());
}

// Every key's place: a setting's index in Table(), or after them the reserved byte's index.
constexpr std::size_t kUnknownKey = static_cast<std::size_t>(-1);

std::size_t KeyIndex(std::string_view key) {
    static const std::unordered_map<std::string_view, std::size_t> index = [] {
        std::unordered_map<std::string_view, std::size_t> keys;
        for (std::size_t i = 0; i < Table().size(); ++i) {
            keys.emplace(Table()[i].key, i);
        }
        return keys;
    }();
    if (const auto found = index.find(key); found != index.end()) {
        return found->second;
    }
    if (const auto reserved = ReservedIndex(key)) {
        return Table().size() + *reserved;
    }
    return kUnknownKey;
}

// Sets the setting of a known key's index; returns what is wrong with the text, or nothing.
std::string Apply(Configuration& value, std::size_t index, std::string_view text) {
    std::string error;
    if (index < Table().size()) {
        Table()[index].read(value, text, error);
    } else {
        Take(value.reserved[index - Table().size()], ParseByte(text, error), error);
    }
    return error;
}

std::string ErrorText(int line, const std::string& key, const std::string& message) {
    std::string text;
    if (line > 0) {
        text = "line " + std::to_string(line) + ": ";
    }
    if (!key.empty()) {
        text += key + ": ";
    }
    return text + message;
}

}  // namespace

// What a form holds may reach the terminal: the key and the words quoting the value are shown
// escaped, so that no control character acts there and no NUL cuts the message.
ConfigParseError::ConfigParseError(int line, std::string key, const std::string& message)
    : std::runtime_error(ErrorText(line, PrintableText(key), PrintableText(message))),
      line_(line),
      key_(std::move(key)),
      message_(message) {}

ConfigValueKind KindOfKey(std::string_view key) {
    const std::size_t index = KeyIndex(key);
    // Reserved bytes are written as text too: "0x2A".
    return index < Table().size() ? Table()[index].kind : ConfigValueKind::Text;
}

std::vector<ConfigEntry> ConfigEntries(const Configuration& value) {
    std::vector<ConfigEntry> entries;
    const auto& offsets = ReservedOffsets();
    std::size_t reserved = 0;
    const auto reservedUpTo = [&](int offset) {
        for (; reserved < offsets.size() && offsets[reserved] < offset; ++reserved) {
            if (value.reserved[reserved] != 0) {
                entries.push_back({std::string(kReservedPrefix) + std::to_string(offsets[reserved]),
                                   WriteByte(value.reserved[reserved])});
            }
        }
    };
    for (const Setting& setting : Table()) {
        reservedUpTo(setting.offset);
        entries.push_back({setting.key, setting.write(value)});
    }
    reservedUpTo(kImageSize);
    return entries;
}

std::string FormatConfigText(const Configuration& value) {
    std::string text;
    for (const ConfigEntry& entry : ConfigEntries(value)) {
        text += entry.key + " =";
        if (!entry.value.empty()) {
            text += " " + entry.value;
        }
        text += "\n";
    }
    return text;
}

bool IsConfigKey(std::string_view key) {
    return KeyIndex(key) != kUnknownKey;
}

void SetConfigValue(Configuration& value, std::string_view key, std::string_view text) {
    const std::size_t index = KeyIndex(key);
    if (index == kUnknownKey) {
        throw ConfigParseError(0, std::string(key), "unknown key");
    }
    if (std::string error = Apply(value, index, text); !error.empty()) {
        throw ConfigParseError(0, std::string(key), error);
    }
}

std::optional<ConfigParseError> TryParseConfigText(std::string_view text, const Configuration& base,
                                                   Configuration& result) {
    Configuration value = base;
    // Every key's index fits: under a hundred settings and the reserved bytes.
    std::bitset<kImageSize> seen;
    FormReader reader(text);
    while (const std::optional<FormLine> line = reader.Next()) {
        const std::size_t index = KeyIndex(line->key);
        if (index == kUnknownKey) {
            return ConfigParseError(line->number, std::string(line->key), "unknown key");
        }
        if (seen.test(index)) {
            return ConfigParseError(line->number, std::string(line->key), "given twice");
        }
        seen.set(index);
        if (std::string error = Apply(value, index, line->value); !error.empty()) {
            return ConfigParseError(line->number, std::string(line->key), error);
        }
    }
    if (const auto& error = reader.Error()) {
        return ConfigParseError(error->line, {}, error->message);
    }
    result = std::move(value);
    return std::nullopt;
}

Configuration ParseConfigText(std::string_view text, const Configuration& base) {
    Configuration value;
    if (auto error = TryParseConfigText(text, base, value)) {
        throw std::move(*error);
    }
    return value;
}

std::vector<ConfigEntry> ConfigKeyValues() {
    std::vector<ConfigEntry> keys;
    for (const Setting& setting : Table()) {
        keys.push_back({setting.key, setting.values});
    }
    // The unused bytes as one entry, with their offsets in runs.
    std::string offsets;
    const auto& reserved = ReservedOffsets();
    for (std::size_t i = 0; i < reserved.size();) {
        std::size_t last = i;
        while (last + 1 < reserved.size() && reserved[last + 1] == reserved[last] + 1) {
            ++last;
        }
        offsets += (offsets.empty() ? "" : ", ") + std::to_string(reserved[i]);
        if (last > i) {
            offsets += "-" + std::to_string(reserved[last]);
        }
        i = last + 1;
    }
    keys.push_back({std::string(kReservedPrefix) + "OFFSET",
                    "a byte, 0x00 to 0xFF or 0 to 255; OFFSET " + offsets});
    return keys;
}

}  // namespace zorvik
