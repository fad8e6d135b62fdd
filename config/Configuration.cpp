// The configuration image's layout, stated once: decoding any image into the value and encoding
// the value back.
#include "config/Configuration.h"

#include <algorithm>
#include <cstddef>

#include "config/ImageLayout.h"
#include "config/NumberField.h"

namespace zorvik {

namespace {

using namespace image;

constexpr int kSpareBytesPerNumber = 2;  // after the digit area of the SMS centre and telephones
constexpr int kFirstReservedOffset = 131;

constexpr std::array<int, kReservedByteCount> MakeReservedOffsets() {
    std::array<int, kReservedByteCount> offsets{};
    std::size_t next = 0;
    const auto spares = [&](int field) {
        for (int i = 0; i < kSpareBytesPerNumber; ++i) {
            offsets[next++] = field + 1 + kTelephoneDigits + i;
        }
    };
    spares(kSmsCentre);
    for (const int telephone : kTelephones) {
        spares(telephone);
    }
    for (int offset = kFirstReservedOffset; offset < kImageSize; ++offset) {
        offsets[next++] = offset;
    }
    return offsets;
}

constexpr std::array<int, kReservedByteCount> kReservedOffsets = MakeReservedOffsets();

std::uint8_t At(const ConfigImage& image, int offset) {
    return image[static_cast<std::size_t>(offset)];
}

bool Bit(std::uint8_t byte, int bit) {
    return (byte & (1u << bit)) != 0;
}

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

int Clamp(int value, const ValueRange& range) {
    return std::clamp(value, range.min, range.max);
}

// A value within its range and on its step, for storing.
int Stored(int value, const ValueRange& range) {
    const int clamped = Clamp(value, range);
    return clamped - (clamped - range.min) % range.step;
}

std::uint8_t Byte(int value) {
    return static_cast<std::uint8_t>(value);
}

// What a number field shows: `shown` bytes from its digit area (the digit count, for a telephone
// one more, which is normally the terminator), no further than the field's digit positions or
// the image's end; a byte that is not a digit is an empty position, and empty positions at the
// end say nothing.
NumberSetting DecodeNumber(const ConfigImage& image, int field, int digits, bool showsTerminator) {
    const std::uint8_t lengthAndFlag = At(image, field);
    NumberSetting number;
    number.inUse = NumberFieldInUse(lengthAndFlag);
    if (!number.inUse) {
        return number;
    }
    const int shown = std::min({(lengthAndFlag & kNumberCountMask) + (showsTerminator ? 1 : 0),
                                digits, kImageSize - field - 1});
    for (int i = 0; i < shown; ++i) {
        const char c = static_cast<char>(At(image, field + 1 + i));
        number.number.push_back(IsDigit(c) ? c : kEmptyDigit);
    }
    while (!number.number.empty() && number.number.back() == kEmptyDigit) {
        number.number.pop_back();
    }
    return number;
}

// The stored number ends at its first position without a digit.
void EncodeNumber(ConfigImage& image, int field, int digits, const NumberSetting& number) {
    EncodeNumberField(std::span<std::uint8_t>(image).subspan(static_cast<std::size_t>(field)),
                      digits, number.inUse, number.number);
}

bool CommonMinusWardeno(const Configuration& value) {
    return value.deviceType == DeviceType::Wardeno && value.lightWiring == LightWiring::CommonMinus;
}

std::uint8_t Switch(bool on) {
    return on ? kSwitchOn : 0;
}

std::uint8_t Flag(bool on, int bit) {
    return on ? static_cast<std::uint8_t>(1u << bit) : 0;
}

}  // namespace

const std::array<int, kReservedByteCount>& ReservedOffsets() noexcept {
    return kReservedOffsets;
}

Configuration DecodeConfiguration(const ConfigImage& image) noexcept {
    Configuration v;
    v.smsCentre = DecodeNumber(image, kSmsCentre, kTelephoneDigits, true);
    for (int k = 0; k < kTelephoneCount; ++k) {
        v.telephones[static_cast<std::size_t>(k)] =
            DecodeNumber(image, kTelephones[static_cast<std::size_t>(k)], kTelephoneDigits, true);
    }
    v.simPin = DecodeNumber(image, kPin, kPinDigits, false);

    const std::uint8_t sms = At(image, kSmsControl);
    v.smsControl =
        (sms & kSwitchOn) != 0 ? SmsControlMode::NotifyOnly : SmsControlMode::ControlAndNotify;
    v.smsConfirm = sms == kSmsControlConfirmed;

    const std::uint8_t battery = At(image, kLowBattery);
    v.lowBattery.enabled = (battery & kSwitchOn) != 0;
    v.lowBattery.thresholdPercent =
        Clamp((battery & kLowBatteryValueMask) * kLowBatteryStepPercent, kLowBatteryPercentRange);
    v.lowBattery.deepDischargeBattery = (battery & kNoDeepDischarge) == 0;

    const std::uint8_t power = At(image, kPowerFailure);
    v.powerFailure.enabled = (power & kSwitchOn) != 0;
    v.powerFailure.delayMinutes = Clamp(power & kSevenBitValueMask, kPowerFailureDelayRange);

    const std::uint8_t gps = At(image, kGpsChange);
    v.gpsChange.enabled = (gps & kSwitchOn) != 0;
    v.gpsChange.distanceMetres =
        Clamp((gps & kSevenBitValueMask) * kGpsStepMetres, kGpsDistanceRange);

    const std::uint8_t reports = At(image, kReports);
    v.reports.enabled = (reports & kSwitchOn) != 0;
    v.reports.batteryCharge = Bit(reports, 0);
    v.reports.timeSettings = Bit(reports, 1);
    v.reports.gpsPosition = Bit(reports, 2);
    v.reports.sinceBatteryChange = Bit(reports, 3);
    v.reports.workingTime = Bit(reports, 4);
    v.reports.intervalHours = Clamp(At(image, kReportInterval), kReportIntervalRange);
    v.reports.startHour = Clamp(At(image, kReportStartHour), kReportStartHourRange);
    // The window greys the report box of a telephone not in use, which stores no bit.
    for (int k = 0; k < kTelephoneCount; ++k) {
        const auto i = static_cast<std::size_t>(k);
        v.reports.toTelephone[i] = Bit(At(image, kReportTelephones), k) && v.telephones[i].inUse;
    }

    const std::uint8_t type = At(image, kDeviceType);
    if ((type & kDeviceType0) != 0) {
        v.deviceType = DeviceType::Wardeno;
        v.lightWiring =
            (type & kCommonMinus) != 0 ? LightWiring::CommonMinus : LightWiring::CommonPlus;
    } else {
        v.deviceType = DeviceType::Semalto;
        v.signalHead = (type & kSignalHeadType2) != 0 ? SignalHead::S2 : SignalHead::S1;
    }

    const std::uint8_t lights = At(image, kLightFailure);
    v.lightFailure.enabled = (lights & kSwitchOn) != 0 && !CommonMinusWardeno(v);
    v.lightFailure.red = Bit(lights, 0);
    v.lightFailure.yellow = Bit(lights, 1);
    v.lightFailure.green = Bit(lights, 2);

    // Stored whatever the device type, so shown whatever it is.
    for (int row = 0; row < kLightTimeCount; ++row) {
        LightTime& time = v.lightTimes[static_cast<std::size_t>(row)];
        time.seconds = Clamp(At(image, kLightTimings + 2 * row), kLightSecondsRange);
        time.minutes = Clamp(At(image, kLightTimings + 2 * row + 1), kLightMinutesRange);
    }

    v.switchOffMinutes = Clamp(At(image, kSwitchOffDelay), kSwitchOffDelayRange);
    v.network =
        At(image, kNetwork) == kHomeNetworkOnly ? GsmNetwork::HomeOnly : GsmNetwork::Roaming;

    for (std::size_t i = 0; i < kReservedOffsets.size(); ++i) {
        v.reserved[i] = At(image, kReservedOffsets[i]);
    }
    return v;
}

ConfigImage EncodeConfiguration(const Configuration& v) noexcept {
    ConfigImage image{};
    EncodeNumber(image, kSmsCentre, kTelephoneDigits, {true, v.smsCentre.number});
    for (int k = 0; k < kTelephoneCount; ++k) {
        EncodeNumber(image, kTelephones[static_cast<std::size_t>(k)], kTelephoneDigits,
                     v.telephones[static_cast<std::size_t>(k)]);
    }
    EncodeNumber(image, kPin, kPinDigits, v.simPin);

    image[kSmsControl] = v.smsControl == SmsControlMode::NotifyOnly ? kSmsNotifyOnly
                         : v.smsConfirm                             ? kSmsControlConfirmed
                                                                    : kSmsControlUnconfirmed;

    image[kLowBattery] = Byte(Stored(v.lowBattery.thresholdPercent, kLowBatteryPercentRange) /
                              kLowBatteryStepPercent) |
                         Switch(v.lowBattery.enabled) |
                         (v.lowBattery.deepDischargeBattery ? 0 : kNoDeepDischarge);
    image[kPowerFailure] = Byte(Stored(v.powerFailure.delayMinutes, kPowerFailureDelayRange)) |
                           Switch(v.powerFailure.enabled);
    image[kGpsChange] =
        Byte(Stored(v.gpsChange.distanceMetres, kGpsDistanceRange) / kGpsStepMetres) |
        Switch(v.gpsChange.enabled);

    const ReportSettings& r = v.reports;
    image[kReports] = Switch(r.enabled) | Flag(r.batteryCharge, 0) | Flag(r.timeSettings, 1) |
                      Flag(r.gpsPosition, 2) | Flag(r.sinceBatteryChange, 3) |
                      Flag(r.workingTime, 4);
    image[kReportInterval] = Byte(Stored(r.intervalHours, kReportIntervalRange));
    image[kReportStartHour] = Byte(Stored(r.startHour, kReportStartHourRange));
    std::uint8_t toTelephones = 0;
    for (int k = 0; k < kTelephoneCount; ++k) {
        toTelephones |= Flag(r.toTelephone[static_cast<std::size_t>(k)], k);
    }
    image[kReportTelephones] = toTelephones;

    const LightFailureNotification& l = v.lightFailure;
    image[kLightFailure] =
        Switch(l.enabled) | Flag(l.red, 0) | Flag(l.yellow, 1) | Flag(l.green, 2);

    if (v.deviceType == DeviceType::Semalto) {
        image[kDeviceType] = v.signalHead == SignalHead::S2 ? kSignalHeadType2 : 0;
        for (int row = 0; row < kLightTimeCount; ++row) {
            const LightTime& time = v.lightTimes[static_cast<std::size_t>(row)];
            image[static_cast<std::size_t>(kLightTimings + 2 * row)] =
                Byte(Stored(time.seconds, kLightSecondsRange));
            image[static_cast<std::size_t>(kLightTimings + 2 * row + 1)] =
                Byte(Stored(time.minutes, kLightMinutesRange));
        }
    } else {
        image[kDeviceType] = kDeviceType0 | (CommonMinusWardeno(v) ? kCommonMinus : 0);
    }

    image[kSwitchOffDelay] = Byte(Stored(v.switchOffMinutes, kSwitchOffDelayRange));
    image[kNetwork] = v.network == GsmNetwork::HomeOnly ? kHomeNetworkOnly : kRoaming;

    for (std::size_t i = 0; i < kReservedOffsets.size(); ++i) {
        image[static_cast<std::size_t>(kReservedOffsets[i])] = v.reserved[i];
    }
    return image;
}

const ConfigImage kUntouchedWindowImage = [] {
    ConfigImage image{};
    image[kSmsCentre] = kNumberPresent;  // in use, no digits
    std::fill_n(image.begin() + kSmsCentre + 1, kTelephoneDigits, kNumberTerminator);
    for (const int telephone : kTelephones) {
        image[static_cast<std::size_t>(telephone)] = Byte(kTelephoneDigits);  // not in use
    }
    image[kPin] = Byte(kPinDigits);  // no PIN
    image[kSmsControl] = kSmsNotifyOnly;
    image[kLowBattery] = kNoDeepDischarge | 15 / kLowBatteryStepPercent;
    image[kPowerFailure] = 5;
    image[kGpsChange] = 10 / kGpsStepMetres;
    image[kReportInterval] = 12;
    image[kReportStartHour] = 7;
    image[kDeviceType] = kDeviceType0;
    image[kSwitchOffDelay] = 15;
    return image;
}();

Configuration DefaultConfiguration() {
    Configuration value = DecodeConfiguration(kUntouchedWindowImage);
    value.lightTimes = Configuration{}.lightTimes;
    return value;
}

}  // namespace zorvik
