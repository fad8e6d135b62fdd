// The anti-theft settings as a typed value, and as the security record: the 256 bytes the device
// receives, built once the checks that come before it have passed.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

#include "config/ConfigImage.h"

namespace zorvik {

using SecurityRecord = std::array<std::uint8_t, kImageSize>;

// Offsets and bits of the security record.
namespace security {
constexpr int kFlags = 0;             // protection switch and new-password bit
constexpr int kCurrentPassword = 1;   // 10 characters
constexpr int kNewPassword = 11;      // 10 characters, when the new-password bit is set
constexpr int kTelephone = 21;        // number field, capacity 12
constexpr int kReportFlags = 34;      // one bit per reported event
constexpr int kReportInterval = 35;   // hours, while cyclic reports are on
constexpr int kReportStartHour = 36;  // hour of the first report, while cyclic reports are on
constexpr int kSecurityPasswordLength = 10;  // characters of a security password

constexpr std::uint8_t kProtectionOn = 0x80;     // byte 0: anti-theft protection on
constexpr std::uint8_t kNewPasswordSet = 0x01;   // byte 0: bytes 11 to 20 carry a new password
constexpr std::uint8_t kReportSwitchOn = 0x01;   // byte 34: report the device being switched on
constexpr std::uint8_t kReportSimChange = 0x02;  // byte 34: report a change of SIM card
constexpr std::uint8_t kReportCyclic = 0x04;     // byte 34: periodic reports

constexpr int kMinInterval = 1;        // hours, shortest report interval
constexpr int kMaxInterval = 240;      // hours, longest report interval
constexpr int kDefaultInterval = 48;   // hours, the interval of untouched settings
constexpr int kMinHour = 0;            // first hour of the day
constexpr int kMaxHour = 23;           // last hour of the day
constexpr int kDefaultStartHour = 12;  // hour of the first report of untouched settings
}  // namespace security

// The anti-theft settings, with the security passwords that sign them; the initial values are
// those of untouched settings.
struct AntiTheftSettings {
    std::u16string currentPassword;  // the security password the device holds
    bool protection = false;         // anti-theft protection on
    // The telephone's digit places: a digit, or kEmptyDigit for an empty place. The number sent
    // ends at its first empty place; a telephone with no digit at all is no telephone.
    std::string telephone;
    bool changePassword = false;                        // send a new security password as well
    std::u16string newPassword;                         // the new security password
    std::u16string repeatedPassword;                    // the new security password typed again
    bool reportSwitchOn = false;                        // report the device being switched on
    bool reportSimChange = false;                       // report a change of SIM card
    bool reportCyclic = false;                          // periodic reports
    int reportInterval = security::kDefaultInterval;    // hours between periodic reports
    int reportStartHour = security::kDefaultStartHour;  // hour the periodic reports count from
};

// What the checks found; the first failing check wins.
enum class SecurityCheck {
    Ok,
    NoPassword,             // the current security password is empty
    NoTelephone,            // protection on without a telephone number
    NewPasswordsDiffer,     // the new password and its repetition differ
    NewPasswordLength,      // the new password is not 10 characters long
    CurrentPasswordLength,  // the current one is not 10 characters long (tested after the banner)
};

struct SecurityBuild {
    SecurityCheck outcome = SecurityCheck::Ok;
    SecurityRecord record{};  // all zero unless the outcome is Ok
};

// Runs the checks in their order and, when all pass, lays out the record. The length of
// the current password is not among them: see CheckCurrentPassword.
[[nodiscard]] SecurityBuild BuildSecurityRecord(const AntiTheftSettings& settings);

// The command tests the current password's length only once the device has sent its banner.
[[nodiscard]] SecurityCheck CheckCurrentPassword(const std::u16string& currentPassword);

}  // namespace zorvik
