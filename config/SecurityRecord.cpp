// Panel checks and layout of the security record.
#include "config/SecurityRecord.h"

#include <algorithm>
#include <span>

#include "config/NumberField.h"

namespace zorvik {

namespace {

using namespace security;

constexpr int kTelephoneDigitPlaces = 12;  // digit positions 1 to 12 of MaskEdit8

// Characters as the low 8 bits of their UTF-16 units, cut to the field so that a longer text
// cannot run into the next one.
void PutText(SecurityRecord& record, int offset, std::u16string_view text) {
    const auto count = std::min(text.size(), static_cast<std::size_t>(kSecurityPasswordLength));
    for (std::size_t i = 0; i < count; ++i) {
        record[static_cast<std::size_t>(offset) + i] = static_cast<std::uint8_t>(text[i] & 0xFF);
    }
}

// No digit typed in any digit position. The empty field reads "+             ", but an empty
// position may also come as the mask's "_", and a field without a single digit is no number
// either way.
bool HasNoDigit(std::u16string_view telephone) {
    if (telephone.size() <= 1) {
        return true;
    }
    const auto places = telephone.substr(1, kTelephoneDigitPlaces);
    return std::none_of(places.begin(), places.end(),
                        [](char16_t c) { return c >= u'0' && c <= u'9'; });
}

bool IsFullPassword(const std::u16string& text) {
    return text.size() == static_cast<std::size_t>(kSecurityPasswordLength);
}

}  // namespace

SecurityBuild BuildSecurityRecord(const SecurityPanel& panel) {
    SecurityBuild build;
    if (panel.currentPassword.empty()) {
        build.outcome = SecurityCheck::NoPassword;
        return build;
    }
    if (panel.protection) {
        if (HasNoDigit(panel.telephone)) {
            build.outcome = SecurityCheck::NoTelephone;
            return build;
        }
        if (panel.changePassword) {
            if (panel.newPassword != panel.repeatedPassword) {
                build.outcome = SecurityCheck::NewPasswordsDiffer;
                return build;
            }
            if (!IsFullPassword(panel.newPassword) || !IsFullPassword(panel.repeatedPassword)) {
                build.outcome = SecurityCheck::NewPasswordLength;
                return build;
            }
        }
    }

    SecurityRecord& record = build.record;
    PutText(record, kCurrentPassword, panel.currentPassword);
    if (!panel.protection) {
        return build;
    }
    record[kFlags] = kProtectionOn;
    if (panel.changePassword) {
        record[kFlags] |= kNewPasswordSet;
        PutText(record, kNewPassword, panel.repeatedPassword);
    }
    EncodeNumberField(std::span<std::uint8_t>(record).subspan(kTelephone), kTelephoneField, true,
                      panel.telephone);
    std::uint8_t reports = 0;
    reports |= panel.reportSwitchOn ? kReportSwitchOn : 0;
    reports |= panel.reportSimChange ? kReportSimChange : 0;
    reports |= panel.reportCyclic ? kReportCyclic : 0;
    record[kReportFlags] = reports;
    if (panel.reportCyclic) {
        record[kReportInterval] =
            static_cast<std::uint8_t>(std::clamp(panel.reportInterval, kMinInterval, kMaxInterval));
        record[kReportStartHour] =
            static_cast<std::uint8_t>(std::clamp(panel.reportStartHour, kMinHour, kMaxHour));
    }
    return build;
}

SecurityCheck CheckCurrentPassword(const std::u16string& currentPassword) {
    return IsFullPassword(currentPassword) ? SecurityCheck::Ok
                                           : SecurityCheck::CurrentPasswordLength;
}

}  // namespace zorvik
