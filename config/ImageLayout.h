// Where each setting sits in the 256-byte configuration image, and the bits that encode it.
#pragma once

#include <array>
#include <cstdint>

namespace zorvik::image {

// Offsets (decimal). Bytes that no field uses (two spares after each 12-digit number field, and
// 131 to 255) stay 0x00.
constexpr int kSmsCentre = 0;  // number field, capacity 12, always in use
constexpr std::array<int, 6> kTelephones = {15, 30, 45, 60, 75, 90};  // number fields 1 to 6
constexpr int kPin = 105;                                             // number field, capacity 5
constexpr int kSmsControl = 111;                                      // SMS control mode
constexpr int kLowBattery = 112;        // switch, deep-discharge bit, threshold / 5 %
constexpr int kPowerFailure = 113;      // switch, delay in minutes
constexpr int kGpsChange = 114;         // switch, distance / 10 m
constexpr int kReports = 115;           // switch, report contents bits
constexpr int kReportInterval = 116;    // hours between automatic reports
constexpr int kReportStartHour = 117;   // hour from which reports are counted
constexpr int kReportTelephones = 118;  // bit k-1: telephone k receives reports
constexpr int kLightFailure = 119;      // switch, one bit per light
constexpr int kDeviceType = 120;        // device type and its option
constexpr int kLightTimings = 121;      // 8 bytes: seconds, minutes of red, yellow, green 1, 2
constexpr int kLightTimingCount = 8;    // bytes of light timings
constexpr int kSwitchOffDelay = 129;    // minutes of work after the supply fails
constexpr int kNetwork = 130;           // home network only, or roaming too

constexpr std::uint8_t kSwitchOn = 0x80;  // bit 7 of a setting byte: the setting is on

// Byte 111.
constexpr std::uint8_t kSmsNotifyOnly = 0x80;          // notifications only, no control by SMS
constexpr std::uint8_t kSmsControlConfirmed = 0x00;    // control by SMS, confirmed by reply SMS
constexpr std::uint8_t kSmsControlUnconfirmed = 0x01;  // control by SMS without confirmation

// Byte 112.
constexpr std::uint8_t kNoDeepDischarge = 0x40;      // the battery is not a deep-discharge type
constexpr std::uint8_t kLowBatteryValueMask = 0x3F;  // threshold in steps of 5 %
constexpr int kLowBatteryStepPercent = 5;            // one unit of the threshold

// Bytes 113 and 114.
constexpr std::uint8_t kSevenBitValueMask = 0x7F;  // value under the switch bit
constexpr int kGpsStepMetres = 10;                 // one unit of the GPS distance

// Byte 115: bits 0 to 4 are the report contents, in the order of the window's check boxes.
constexpr int kReportContentCount = 5;

// Byte 118: bits 0 to 5 are telephones 1 to 6.

// Byte 119: bits 0 to 2 are the red, yellow and green lights.
constexpr int kLightCount = 3;

// Byte 120.
constexpr std::uint8_t kDeviceType0 = 0x80;      // "Wardeno GSM"; clear for "Semalto GSM"
constexpr std::uint8_t kCommonMinus = 0x01;      // type 0: lights driven by positive potential
constexpr std::uint8_t kSignalHeadType2 = 0x40;  // type 1: signal head S2

// Byte 130.
constexpr std::uint8_t kHomeNetworkOnly = 0x00;  // no roaming
constexpr std::uint8_t kRoaming = 0x80;          // home network and roaming

}  // namespace zorvik::image
