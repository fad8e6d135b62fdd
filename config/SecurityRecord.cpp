// The checks of the anti-theft settings and the layout of the security record.
#include "config/SecurityRecord.h"

#include <algorithm>
#include <span>

#include "config/Configuration.h"
#include "config/NumberField.h"

namespace zorvik {

namespace {

using namespace security;

// Characters as the low 8 bits of their UTF-16 units, cut to the field so that a longer text
// cannot run into the next one.
void PutText(SecurityRecord& record, int offset, std::u16string_view text) {
    const auto count = std::min(text.size(), static_cast<std::size_t>(kSecurityPasswordLength));
    for (std::size_t i = 0; i < count; ++i) {
        record[static_cast<std::size_t>(offset) + i] = static_cast<std::uint8_t>(text[i] & 0xFF);
    }
}

// No digit typed in any digit place: no number at all.
bool HasNoDigit(std::string_view telephone) {
    return std::none_of(telephone.begin(), telephone.end(),
                        [](char c) { return c >= '0' && c <= '9'; });
}

bool IsFullPassword(const std::u16string& text) {
    return text.size() == static_cast<std::size_t>(kSecurityPasswordLength);
}

}  // namespace

SecurityBuild BuildSecurityRecord(const AntiTheftSettings& settings) {
    SecurityBuild build;
    if (settings.currentPassword.empty()) {
        build.outcome = SecurityCheck::NoPassword;
        return build;
    }
    if (settings.protection) {
        if (HasNoDigit(settings.telephone)) {
            build.outcome = SecurityCheck::NoTelephone;
            return build;
        }
        if (settings.changePassword) {
            if (settings.newPassword != settings.repeatedPassword) {
                build.outcome = SecurityCheck::NewPasswordsDiffer;
                return build;
            }
            if (!IsFullPassword(settings.newPassword) ||
                !IsFullPassword(settings.repeatedPassword)) {
                build.outcome = SecurityCheck::NewPasswordLength;
                return build;
            }
        }
    }

    SecurityRecord& record = build.record;
    PutText(record, kCurrentPassword, settings.currentPassword);
    if (!settings.protection) {
        return build;
    }
    record[kFlags] = kProtectionOn;
    if (settings.changePassword) {
        record[kFlags] |= kNewPasswordSet;
        PutText(record, kNewPassword, settings.repeatedPassword);
    }
    EncodeNumberField(std::span<std::uint8_t>(record).subspan(kTelephone), kTelephoneDigits, true,
                      settings.telephone);
    std::uint8_t reports = 0;
    reports |= settings.reportSwitchOn ? kReportSwitchOn : 0;
    reports |= settings.reportSimChange ? kReportSimChange : 0;
    reports |= settings.reportCyclic ? kReportCyclic : 0;
    record[kReportFlags] = reports;
    if (settings.reportCyclic) {
        record[kReportInterval] = static_cast<std::uint8_t>(
            std::clamp(settings.reportInterval, kMinInterval, kMaxInterval));
        record[kReportStartHour] =
            static_cast<std::uint8_t>(std::clamp(settings.reportStartHour, kMinHour, kMaxHour));
    }
    return build;
}

SecurityCheck CheckCurrentPassword(const std::u16string& currentPassword) {
    return IsFullPassword(currentPassword) ? SecurityCheck::Ok
                                           : SecurityCheck::CurrentPasswordLength;
}

}  // namespace zorvik
