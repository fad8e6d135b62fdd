// The security settings command against the device model: its checks, the record on the line,
// the framing and transfer outcomes, and the moment of the closing byte.
#include "device/SecurityCommand.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "tests/support/ExchangeRig.h"

namespace zorvik::testing {
namespace {

const std::vector<std::string> kAccepted = {Opened(), Device("Ready"), Host({0x03}),
                                            Host(ReferenceAuthBlock("9466")), Device("O")};

AntiTheftSettings UnprotectedPanel() {
    AntiTheftSettings panel;
    panel.currentPassword = u"abcdefghij";
    return panel;
}

// Protection on with a full telephone number; no password change, no reports.
AntiTheftSettings ProtectedPanel() {
    AntiTheftSettings panel = UnprotectedPanel();
    panel.protection = true;
    panel.telephone = "486012345678";
    return panel;
}

Bytes RecordWithPassword(const std::string& password) {
    Bytes record(256, 0x00);
    std::copy(password.begin(), password.end(), record.begin() + 1);
    return record;
}

Bytes BlockOf(Bytes record) {
    record.push_back(ReferenceCrc8(record, 0x07));
    return record;
}

// Writes `text` from `offset` on.
void Put(Bytes& record, std::size_t offset, const std::string& text) {
    std::copy(text.begin(), text.end(), record.begin() + static_cast<std::ptrdiff_t>(offset));
}

Bytes Recorded(const ExchangeRig& rig) {
    const auto record = rig.device.LastSecurityRecord();
    return record ? Bytes(record->begin(), record->end()) : Bytes();
}

TEST(SecurityCommand, AcceptedRecordIsAnnouncedWhileTheClosingByteIsStillUnsent) {
    ExchangeRig rig;
    const AntiTheftSettings panel = ProtectedPanel();
    Bytes record = RecordWithPassword("abcdefghij");
    record[0] = 0x80;
    record[21] = 0x8C;
    Put(record, 22, "486012345678");
    bool closingByteSentBeforeMessage = true;
    rig.notices.onNotice = [&](const Notice& notice) {
        closingByteSentBeforeMessage = rig.port.HostBytes().back() != 0x00;
        rig.Note(Told(notice));
    };

    EXPECT_EQ(SendSecuritySettings(rig.exchange, u"9466", panel), SecurityOutcome::Updated);
    EXPECT_EQ(rig.log,
              Then(kAccepted, {Host({0x80}), Host(BlockOf(record)), Host({0x00}), Device("O"),
                               Told(SecurityOutcome::Updated), Host({0xC0}), Closed()}));
    EXPECT_FALSE(closingByteSentBeforeMessage);
    EXPECT_EQ(Recorded(rig), record);
}

TEST(SecurityCommand, TransferStatusIsFirstPolled52PausesOf1MsAnd25MsAfterTheTrailingByte) {
    ExchangeRig rig;
    std::int64_t trailerAt = -1;
    std::int64_t statusAt = -1;
    rig.port.onWire = [&](const WireEvent& event) {
        if (event.kind == WireEvent::Kind::HostToDevice && event.bytes == Bytes{0x00}) {
            trailerAt = event.atMicros;
        }
        if (event.kind == WireEvent::Kind::DeviceToHost && trailerAt >= 0) {
            statusAt = event.atMicros;
        }
    };
    ASSERT_EQ(SendSecuritySettings(rig.exchange, u"9466", UnprotectedPanel()),
              SecurityOutcome::Updated);
    EXPECT_EQ(statusAt - trailerAt, 77'000);
}

// The layout itself is the record builder's; here only what the command adds to it.
TEST(SecurityCommand, WithProtectionOffOnlyTheCurrentPasswordGoesAndNothingElseIsChecked) {
    ExchangeRig rig;
    AntiTheftSettings panel = UnprotectedPanel();
    panel.telephone = "";
    panel.changePassword = true;  // counts only under protection
    panel.newPassword = u"short";
    panel.repeatedPassword = u"different";
    panel.reportCyclic = true;

    EXPECT_EQ(SendSecuritySettings(rig.exchange, u"9466", panel), SecurityOutcome::Updated);
    EXPECT_EQ(Recorded(rig), RecordWithPassword("abcdefghij"));
}

TEST(SecurityCommand, ChecksRunInOrderBeforeThePortIsTouched) {
    struct Row {
        const char* name;
        std::u16string accessPassword;
        AntiTheftSettings panel;
        Notice told;
    };
    AntiTheftSettings noPassword = ProtectedPanel();
    noPassword.currentPassword.clear();
    noPassword.telephone = "";
    AntiTheftSettings noTelephone = ProtectedPanel();
    noTelephone.telephone = "";
    noTelephone.changePassword = true;
    noTelephone.newPassword = u"a";
    AntiTheftSettings differ = ProtectedPanel();
    differ.changePassword = true;
    differ.newPassword = u"abc";
    differ.repeatedPassword = u"0123456789";
    AntiTheftSettings nine = ProtectedPanel();
    nine.changePassword = true;
    nine.newPassword = u"012345678";
    nine.repeatedPassword = u"012345678";
    const std::vector<Row> rows = {
        {"short access password", u"946", noPassword, SecurityOutcome::AccessPasswordLength},
        {"no security password", u"9466", noPassword, SecurityCheck::NoPassword},
        {"no telephone", u"9466", noTelephone, SecurityCheck::NoTelephone},
        {"new passwords differ", u"9466", differ, SecurityCheck::NewPasswordsDiffer},
        {"new passwords of nine", u"9466", nine, SecurityCheck::NewPasswordLength},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        ExchangeRig rig;
        EXPECT_NE(SendSecuritySettings(rig.exchange, row.accessPassword, row.panel),
                  SecurityOutcome::Updated);
        EXPECT_EQ(rig.log, (std::vector<std::string>{Told(row.told)}));
        EXPECT_TRUE(rig.port.wire.empty());
    }
}

TEST(SecurityCommand, ShortSecurityPasswordClosesThePortAfterTheCommandByteWithoutABlock) {
    ExchangeRig rig;
    AntiTheftSettings panel = ProtectedPanel();
    panel.currentPassword = u"abcdefghi";

    EXPECT_EQ(SendSecuritySettings(rig.exchange, u"9466", panel),
              SecurityOutcome::CurrentPasswordLength);
    EXPECT_EQ(rig.log,
              (std::vector<std::string>{Opened(), Device("Ready"), Host({0x03}),
                                        Told(SecurityCheck::CurrentPasswordLength), Closed()}));
}

TEST(SecurityCommand, FramingFailuresAreToldAsTheSecurityCommandsOwn) {
    DeviceFaults noBanner;
    noBanner.noBanner = true;
    DeviceFaults reject;
    reject.rejectPassword = true;
    DeviceFaults silent;
    silent.silentStatus = true;
    const std::vector<std::string> sent = {Opened(), Device("Ready"), Host({0x03}),
                                           Host(ReferenceAuthBlock("9466"))};
    struct Row {
        const char* name;
        DeviceFaults faults;
        std::vector<std::string> line;
        std::string message;
        SecurityOutcome outcome;
    };
    const std::vector<Row> rows = {
        {"no banner",
         noBanner,
         {Opened()},
         Told(SecurityOutcome::NoReady),
         SecurityOutcome::NoReady},
        {"wrong password", reject, Then(sent, {Device("R")}), Told(SecurityOutcome::WrongPassword),
         SecurityOutcome::WrongPassword},
        {"no status", silent, sent, Told(SecurityOutcome::NoAnswer), SecurityOutcome::NoAnswer},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        ExchangeRig rig(row.faults);
        EXPECT_EQ(SendSecuritySettings(rig.exchange, u"9466", ProtectedPanel()), row.outcome);
        EXPECT_EQ(rig.log, Then(row.line, {row.message, Closed()}));
    }
}

TEST(SecurityCommand, TransferFailuresAreReportedWithoutTheClosingByte) {
    struct Row {
        char reply;
        std::vector<std::string> read;
        std::string message;
        SecurityOutcome outcome;
    };
    const std::vector<Row> rows = {
        {'R', {Device("R")}, Told(SecurityOutcome::RecordRefused), SecurityOutcome::RecordRefused},
        {'E', {Device("E")}, Told(SecurityOutcome::BadChecksum), SecurityOutcome::BadChecksum},
        {0, {}, Told(SecurityOutcome::NoTransferAnswer), SecurityOutcome::NoTransferAnswer},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.message);
        DeviceFaults faults;
        faults.writeReply = row.reply;
        ExchangeRig rig(faults);
        EXPECT_EQ(SendSecuritySettings(rig.exchange, u"9466", UnprotectedPanel()), row.outcome);
        EXPECT_EQ(rig.log, Then(Then(kAccepted,
                                     {Host({0x80}), Host(BlockOf(RecordWithPassword("abcdefghij"))),
                                      Host({0x00})}),
                                Then(row.read, {row.message, Closed()})));
    }
}

}  // namespace
}  // namespace zorvik::testing
