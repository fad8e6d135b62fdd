// The anti-theft panel checks, their messages, and the layout of the security record.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "config/SecurityRecord.h"

namespace zorvik::testing {
namespace {

AntiTheftSettings ProtectedPanel() {
    AntiTheftSettings panel;
    panel.currentPassword = u"abcdefghij";
    panel.protection = true;
    panel.telephone = "48601000310";
    return panel;
}

std::vector<std::uint8_t> BytesOf(const SecurityRecord& record, int from, int to) {
    return {record.begin() + from, record.begin() + to + 1};
}

std::vector<std::uint8_t> Text(const char* text) {
    return {text, text + std::char_traits<char>::length(text)};
}

TEST(SecurityChecks, RunInOrderAndReportOnlyTheFirstFailure) {
    AntiTheftSettings panel;
    panel.protection = true;
    panel.changePassword = true;
    panel.newPassword = u"1";
    panel.telephone = "";
    EXPECT_EQ(BuildSecurityRecord(panel).outcome, SecurityCheck::NoPassword);
    panel.currentPassword = u"x";
    EXPECT_EQ(BuildSecurityRecord(panel).outcome, SecurityCheck::NoTelephone);
    panel.telephone = "1";
    EXPECT_EQ(BuildSecurityRecord(panel).outcome, SecurityCheck::NewPasswordsDiffer);
    panel.repeatedPassword = u"1";
    EXPECT_EQ(BuildSecurityRecord(panel).outcome, SecurityCheck::NewPasswordLength);
    panel.newPassword = panel.repeatedPassword = u"0123456789";
    EXPECT_EQ(BuildSecurityRecord(panel).outcome, SecurityCheck::Ok);
}

TEST(SecurityChecks, DifferentNewPasswordsBeatAShortOne) {
    AntiTheftSettings panel = ProtectedPanel();
    panel.changePassword = true;
    panel.newPassword = u"123";
    panel.repeatedPassword = u"0123456789";
    EXPECT_EQ(BuildSecurityRecord(panel).outcome, SecurityCheck::NewPasswordsDiffer);
}

TEST(SecurityChecks, TwoEqualNineCharacterPasswordsAreTooShort) {
    AntiTheftSettings panel = ProtectedPanel();
    panel.changePassword = true;
    panel.newPassword = panel.repeatedPassword = u"012345678";
    EXPECT_EQ(BuildSecurityRecord(panel).outcome, SecurityCheck::NewPasswordLength);
}

TEST(SecurityChecks, ATelephoneWithoutAnyDigitCountsAsMissing) {
    AntiTheftSettings panel = ProtectedPanel();
    for (const char* text : {"", "____________", "___"}) {
        panel.telephone = text;
        EXPECT_EQ(BuildSecurityRecord(panel).outcome, SecurityCheck::NoTelephone);
    }
}

TEST(SecurityChecks, WithProtectionOffOnlyTheCurrentPasswordIsChecked) {
    AntiTheftSettings panel;
    panel.currentPassword = u"abc";
    panel.telephone = "";
    panel.changePassword = true;  // counts only under protection
    panel.newPassword = u"1";
    panel.repeatedPassword = u"2";
    EXPECT_EQ(BuildSecurityRecord(panel).outcome, SecurityCheck::Ok);
}

TEST(SecurityChecks, CurrentPasswordMustHaveTenCharacters) {
    EXPECT_EQ(CheckCurrentPassword(u"0123456789"), SecurityCheck::Ok);
    EXPECT_EQ(CheckCurrentPassword(u"012345678"), SecurityCheck::CurrentPasswordLength);
    EXPECT_EQ(CheckCurrentPassword(u"0123456789A"), SecurityCheck::CurrentPasswordLength);
}

TEST(SecurityRecordLayout, ProtectionOffCarriesOnlyTheCurrentPassword) {
    AntiTheftSettings panel = ProtectedPanel();
    panel.protection = false;
    panel.changePassword = true;
    panel.newPassword = panel.repeatedPassword = u"0123456789";
    panel.reportCyclic = true;
    SecurityRecord expected{};
    const auto password = Text("abcdefghij");
    std::copy(password.begin(), password.end(), expected.begin() + 1);
    EXPECT_EQ(BuildSecurityRecord(panel).record, expected);
}

TEST(SecurityRecordLayout, ProtectionOnLaysOutEveryField) {
    AntiTheftSettings panel = ProtectedPanel();
    panel.changePassword = true;
    panel.newPassword = panel.repeatedPassword = u"0123456789";
    panel.telephone = "486010003109";
    panel.reportSwitchOn = true;
    panel.reportSimChange = true;
    panel.reportCyclic = true;
    panel.reportInterval = 240;
    panel.reportStartHour = 23;
    const SecurityRecord record = BuildSecurityRecord(panel).record;
    EXPECT_EQ(record[0], 0x81);
    EXPECT_EQ(BytesOf(record, 1, 10), Text("abcdefghij"));
    EXPECT_EQ(BytesOf(record, 11, 20), Text("0123456789"));
    EXPECT_EQ(record[21], 0x8C);
    EXPECT_EQ(BytesOf(record, 22, 33), Text("486010003109"));
    EXPECT_EQ(record[34], 0x07);
    EXPECT_EQ(record[35], 240);
    EXPECT_EQ(record[36], 23);
    EXPECT_EQ(BytesOf(record, 37, 255), std::vector<std::uint8_t>(219, 0));
}

TEST(SecurityRecordLayout, WithoutPasswordChangeTheNewPasswordBytesStayZero) {
    AntiTheftSettings panel = ProtectedPanel();
    panel.newPassword = panel.repeatedPassword = u"0123456789";
    const SecurityRecord record = BuildSecurityRecord(panel).record;
    EXPECT_EQ(record[0], 0x80);
    EXPECT_EQ(BytesOf(record, 11, 20), std::vector<std::uint8_t>(10, 0));
}

TEST(SecurityRecordLayout, TelephoneIsANumberFieldInUse) {
    AntiTheftSettings panel = ProtectedPanel();
    panel.telephone = "486010003";
    SecurityRecord record = BuildSecurityRecord(panel).record;
    EXPECT_EQ(record[21], 0x89);
    EXPECT_EQ(BytesOf(record, 22, 33), Text("486010003___"));

    panel.telephone = "_86010003";  // blank first digit place: later digits are dropped
    record = BuildSecurityRecord(panel).record;
    EXPECT_EQ(record[21], 0x80);
    EXPECT_EQ(BytesOf(record, 22, 33), Text("____________"));
}

TEST(SecurityRecordLayout, CyclicReportTimesOnlyWhileCyclicReportsAreOn) {
    AntiTheftSettings panel = ProtectedPanel();
    panel.reportInterval = 100;
    panel.reportStartHour = 5;
    panel.reportSimChange = true;
    SecurityRecord record = BuildSecurityRecord(panel).record;
    EXPECT_EQ(BytesOf(record, 34, 36), (std::vector<std::uint8_t>{0x02, 0, 0}));

    panel.reportCyclic = true;
    record = BuildSecurityRecord(panel).record;
    EXPECT_EQ(BytesOf(record, 34, 36), (std::vector<std::uint8_t>{0x06, 100, 5}));

    panel.reportInterval = 1000;  // never wraps into a different byte
    panel.reportStartHour = -3;
    record = BuildSecurityRecord(panel).record;
    EXPECT_EQ(BytesOf(record, 35, 36), (std::vector<std::uint8_t>{240, 0}));
}

TEST(SecurityRecordLayout, CharactersGoAsTheirLowEightBitsAndLongTextsAreCut) {
    AntiTheftSettings panel = ProtectedPanel();
    panel.currentPassword = u"łódź123456XYZ";  // U+0142, U+00F3, U+0144, U+017A
    panel.changePassword = true;
    panel.newPassword = panel.repeatedPassword = u"ĄĘ34567890";  // U+0104, U+0118
    const SecurityRecord record = BuildSecurityRecord(panel).record;
    EXPECT_EQ(BytesOf(record, 1, 10),
              (std::vector<std::uint8_t>{0x42, 0xF3, 'd', 0x7A, '1', '2', '3', '4', '5', '6'}));
    EXPECT_EQ(BytesOf(record, 11, 20),
              (std::vector<std::uint8_t>{0x04, 0x18, '3', '4', '5', '6', '7', '8', '9', '0'}));
    EXPECT_EQ(record[21], 0x8B);  // the password did not run into the telephone
}

TEST(SecurityRecordLayout, FailedChecksLeaveTheRecordEmpty) {
    AntiTheftSettings panel = ProtectedPanel();
    panel.telephone = "";
    EXPECT_EQ(BuildSecurityRecord(panel).record, SecurityRecord{});
}

}  // namespace
}  // namespace zorvik::testing
