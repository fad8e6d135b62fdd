// The security record: the anti-theft panel's settings as the 256 bytes the device receives, and
// the panel checks that come before it is built.
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

constexpr int kMinInterval = 1;    // hours, lower end of the interval spin box
constexpr int kMaxInterval = 240;  // hours, upper end of the interval spin box
constexpr int kMinHour = 0;        // first hour of the day
constexpr int kMaxHour = 23;       // last hour of the day
}  // namespace security

// The anti-theft panel as the window reads it.
struct SecurityPanel {
    std::u16string currentPassword;   // Edit16
    bool protection = false;          // CheckBox28
    std::u16string telephone;         // MaskEdit8, full text with every mask position
    bool changePassword = false;      // CheckBox30
    std::u16string newPassword;       // Edit18
    std::u16string repeatedPassword;  // Edit17
    bool reportSwitchOn = false;      // CheckBox32
    bool reportSimChange = false;     // CheckBox33
    bool reportCyclic = false;        // CheckBox34
    int reportInterval = 48;          // Edit19
    int reportStartHour = 12;         // Edit20
};

// What the panel checks found; the first failing check wins.
enum class SecurityCheck {
    Ok,
    NoPassword,             // Edit16 is empty
    NoTelephone,            // protection on without a telephone number
    NewPasswordsDiffer,     // Edit18 and Edit17 differ
    NewPasswordLength,      // the new password is not 10 characters long
    CurrentPasswordLength,  // Edit16 is not 10 characters long (tested after the banner)
};

struct SecurityBuild {
    SecurityCheck outcome = SecurityCheck::Ok;
    SecurityRecord record{};  // all zero unless the outcome is Ok
};

// Runs the panel checks in their order and, when all pass, lays out the record. The length of
// the current password is not among them: see CheckCurrentPassword.
[[nodiscard]] SecurityBuild BuildSecurityRecord(const SecurityPanel& panel);

// The command tests the current password's length only once the device has sent its banner.
[[nodiscard]] SecurityCheck CheckCurrentPassword(const std::u16string& currentPassword);

}  // namespace zorvik
