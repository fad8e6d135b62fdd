// The device's whole configuration as a typed value, and the two total functions between it and the
// 256-byte configuration image.
#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "config/ConfigImage.h"

namespace zorvik {

constexpr int kTelephoneCount = 6;
constexpr int kTelephoneDigits = 12;  // digit positions of a telephone or SMS centre number
constexpr int kPinDigits = 5;         // digit positions of the SIM PIN

// The character that stands for an empty position inside a number ("48_0"): a number ends at its
// first empty position when it is stored, so digits after one are shown but never kept.
constexpr char kEmptyDigit = '_';

// A number with its switch: a telephone, the SMS centre or the SIM PIN. `number` holds digits and
// empty positions only, at most as many as the field has, without the leading "+" of a telephone.
// A number that is not in use is stored as zeros, so its digits are not kept.
struct NumberSetting {
    bool inUse = false;
    std::string number;

    bool operator==(const NumberSetting&) const = default;
};

// How the device takes commands by SMS.
enum class SmsControlMode {
    NotifyOnly,        // "Tylko powiadamianie SMS": it only reports
    ControlAndNotify,  // "Zarządzanie i powiadamianie SMS": it also obeys the telephones
};

enum class DeviceType {
    Wardeno,  // "Wardeno GSM", device type 0: the light wiring applies
    Semalto,  // "Semalto GSM", device type 1: the signal head and the light timings apply
};

// How a Wardeno drives its signal lights.
enum class LightWiring {
    CommonPlus,   // "Ujemnym potencjałem (wspólny plus)"
    CommonMinus,  // "Dodatnim potencjałem (wspólny minus)": no light failure reports possible
};

enum class SignalHead { S1, S2 };  // a Semalto's signal head type

enum class GsmNetwork {
    HomeOnly,  // "Tylko Sieć Domowa"
    Roaming,   // "Sieć Domowa + Roaming"
};

// The ranges the window allows; decoding brings a stored value to the nearer end, encoding does
// the same before it stores one.
struct ValueRange {
    int min;
    int max;
    int step;  // a value is a multiple of it
};
constexpr ValueRange kLowBatteryPercentRange{5, 95, 5};
constexpr ValueRange kPowerFailureDelayRange{0, 90, 1};
constexpr ValueRange kGpsDistanceRange{10, 1000, 10};
constexpr ValueRange kReportIntervalRange{1, 48, 1};
constexpr ValueRange kReportStartHourRange{0, 23, 1};
constexpr ValueRange kLightMinutesRange{0, 99, 1};
constexpr ValueRange kLightSecondsRange{0, 59, 1};
constexpr ValueRange kSwitchOffDelayRange{0, 99, 1};

struct LowBatteryNotification {
    bool enabled = false;
    int thresholdPercent = 15;          // charge below which it reports
    bool deepDischargeBattery = false;  // "Akumulator Głębokiego Rozładowania"

    bool operator==(const LowBatteryNotification&) const = default;
};

struct PowerFailureNotification {
    bool enabled = false;
    int delayMinutes = 5;  // how long the supply is gone before it reports

    bool operator==(const PowerFailureNotification&) const = default;
};

struct GpsNotification {
    bool enabled = false;
    int distanceMetres = 10;  // how far the device moves before it reports

    bool operator==(const GpsNotification&) const = default;
};

// Automatic reports: whether they are sent, what they hold, how often and to whom.
struct ReportSettings {
    bool enabled = false;
    bool batteryCharge = false;       // "Stan naładowania akumulatora"
    bool timeSettings = false;        // "Aktualne nastawy czasowe"
    bool gpsPosition = false;         // "Pozycja GPS"
    bool sinceBatteryChange = false;  // "Czas jaki upłyną od ostatniej wymiany akumulatora"
    bool workingTime = false;         // "Czas pracy"
    int intervalHours = 12;
    int startHour = 7;                                // the hour from which the interval is counted
    std::array<bool, kTelephoneCount> toTelephone{};  // telephones 1 to 6

    bool operator==(const ReportSettings&) const = default;
};

struct LightFailureNotification {
    bool enabled = false;
    bool red = false;
    bool yellow = false;
    bool green = false;

    bool operator==(const LightFailureNotification&) const = default;
};

// One light's time as the device stores it: minutes and seconds, each in its own byte.
struct LightTime {
    int minutes = 0;
    int seconds = 1;  // the window's timing rows start at 0:01

    bool operator==(const LightTime&) const = default;
};

enum class Light { Red, Yellow, Green1, Green2 };  // the rows of light timings, in image order
constexpr int kLightTimeCount = 4;

// The image's bytes that no setting uses: the two spares after each 12-digit number field and
// offsets 131 to 255. They are kept as they came, so that a device's or file's image comes back
// whole; the window never shows them and stores zeros there.
constexpr int kReservedByteCount = 2 * (1 + kTelephoneCount) + (kImageSize - 131);
[[nodiscard]] const std::array<int, kReservedByteCount>& ReservedOffsets() noexcept;

// Default member values are the untouched window's settings: Configuration{} equals
// DefaultConfiguration().
struct Configuration {
    // The window always stores it in use; a value decoded from a field without the flag says so,
    // and the window then leaves its SMS centre field as it was.
    NumberSetting smsCentre{true, ""};
    std::array<NumberSetting, kTelephoneCount> telephones;
    NumberSetting simPin;  // in use: the SIM card asks for this PIN

    SmsControlMode smsControl = SmsControlMode::NotifyOnly;
    bool smsConfirm = false;  // control commands are confirmed by a reply SMS

    LowBatteryNotification lowBattery;
    PowerFailureNotification powerFailure;
    GpsNotification gpsChange;
    ReportSettings reports;
    LightFailureNotification lightFailure;

    DeviceType deviceType = DeviceType::Wardeno;
    LightWiring lightWiring = LightWiring::CommonPlus;
    SignalHead signalHead = SignalHead::S1;
    std::array<LightTime, kLightTimeCount> lightTimes{};  // red, yellow, green 1, green 2
    int switchOffMinutes = 15;  // how long the device works on after its supply fails

    GsmNetwork network = GsmNetwork::HomeOnly;

    std::array<std::uint8_t, kReservedByteCount> reserved{};  // by ReservedOffsets()

    bool operator==(const Configuration&) const = default;
};

// Any 256 bytes give a value: values outside the window's ranges end at the nearer end, bits that
// carry no setting are dropped, and a number shows what its field holds up to its digit count
// (a byte that is not a digit becomes an empty position). Light failure reports are read as off
// under the common-minus wiring, which cannot have them, and reports to a telephone not in use as
// off, as the window greys that telephone's box.
[[nodiscard]] Configuration DecodeConfiguration(const ConfigImage& image) noexcept;

// A fresh image of the value, byte for byte as the window stores the same settings; values
// outside their ranges are brought into them first. The light timings are stored for a Semalto
// only, the wiring for a Wardeno only, and the reserved bytes as they are. Every setting is stored
// as the value has it, as the window stores its controls, even where decoding will not take it
// back (light failure reports under the common-minus wiring). The SMS centre is always stored in
// use, as the window stores it.
[[nodiscard]] ConfigImage EncodeConfiguration(const Configuration& value) noexcept;

// The image of the window as the program starts.
extern const ConfigImage kUntouchedWindowImage;

// The untouched window: the decoding of kUntouchedWindowImage, with the timing rows at the 0:01
// the window starts them at (a Wardeno's image stores no timings).
[[nodiscard]] Configuration DefaultConfiguration();

}  // namespace zorvik
