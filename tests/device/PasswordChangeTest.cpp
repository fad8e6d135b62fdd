// The access password change against the device model: bytes, notices and the main window's
// password box and change box, in the order they happen.
#include "device/PasswordChange.h"

#include <gtest/gtest.h>

#include "tests/support/ExchangeRig.h"

namespace zorvik::testing {
namespace {

// The main window's side of the change, noted in the rig's log.
struct WindowSide {
    explicit WindowSide(ExchangeRig& rig) : rig_(rig) {}

    PasswordChangeOutcome Change(const std::u16string& current, const std::u16string& next) {
        PasswordChangeHooks hooks;
        hooks.setAccessPassword = [this](const std::u16string& password) {
            accessPassword = password;
            rig_.Note("Edit21 takes the new password");
        };
        hooks.clearChangeBox = [this] { rig_.Note("CheckBox36 cleared"); };
        return ChangeAccessPassword(rig_.exchange, current, next, hooks);
    }

    std::u16string accessPassword = u"9466";

private:
    ExchangeRig& rig_;
};

const std::vector<std::string> kSent = {Opened(), Device("Ready"), Host({0x03}),
                                        Host(ReferenceChangeBlock("9466", "1234"))};

TEST(PasswordChange, AcceptedChangeIsAnnouncedThenClosedWithA) {
    ExchangeRig rig;
    WindowSide window(rig);

    EXPECT_EQ(window.Change(u"9466", u"1234"), PasswordChangeOutcome::Changed);
    EXPECT_EQ(rig.log, Then(kSent, {Device("O"), Told(PasswordChangeOutcome::Changed),
                                    "Edit21 takes the new password", Host({0x41}),
                                    "CheckBox36 cleared", Closed()}));
    EXPECT_EQ(window.accessPassword, u"1234");
    EXPECT_EQ(rig.device.AccessPassword(), u"1234");
}

TEST(PasswordChange, NextExchangeSignsWithTheNewPasswordOnly) {
    ExchangeRig rig;
    WindowSide window(rig);
    ASSERT_EQ(window.Change(u"9466", u"1234"), PasswordChangeOutcome::Changed);

    const FramingNotices notices{ReadOutcome::NoReady, ReadOutcome::WrongPassword,
                                 ReadOutcome::NoAnswer};
    EXPECT_EQ(rig.exchange.RunAuthenticated(BuildAuthBlock(window.accessPassword), notices),
              FramingOutcome::Accepted);
    rig.exchange.ClosePort();
    EXPECT_EQ(rig.exchange.RunAuthenticated(BuildAuthBlock(u"9466"), notices),
              FramingOutcome::WrongPassword);
}

TEST(PasswordChange, StatusFailuresAreReportedAndTheClosingStepsRunAllTheSame) {
    DeviceFaults reject;
    reject.rejectPassword = true;
    DeviceFaults silent;
    silent.silentStatus = true;
    struct Row {
        const char* name;
        DeviceFaults faults;
        std::vector<std::string> reply;
        std::string message;
        PasswordChangeOutcome outcome;
    };
    const std::vector<Row> rows = {
        {"wrong password",
         reject,
         {Device("R")},
         Told(PasswordChangeOutcome::WrongPassword),
         PasswordChangeOutcome::WrongPassword},
        {"no status",
         silent,
         {},
         Told(PasswordChangeOutcome::NoAnswer),
         PasswordChangeOutcome::NoAnswer},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        ExchangeRig rig(row.faults);
        WindowSide window(rig);
        EXPECT_EQ(window.Change(u"9466", u"1234"), row.outcome);
        EXPECT_EQ(rig.log, Then(Then(kSent, row.reply),
                                {row.message, Host({0x41}), "CheckBox36 cleared", Closed()}));
        EXPECT_EQ(window.accessPassword, u"9466");
        EXPECT_EQ(rig.device.AccessPassword(), u"9466");
    }
}

TEST(PasswordChange, NoAnswerIsGivenUpAfterOneHundredPollsOf25Ms) {
    DeviceFaults silent;
    silent.silentStatus = true;
    ExchangeRig rig(silent);
    WindowSide window(rig);
    std::int64_t blockSent = -1;
    rig.port.onWire = [&](const WireEvent& event) {
        if (event.kind == WireEvent::Kind::HostToDevice && event.bytes.size() == 17) {
            blockSent = event.atMicros;
        }
    };
    std::int64_t shownAt = -1;
    rig.notices.onNotice = [&](const Notice&) { shownAt = rig.clock.NowMicros(); };

    (void)window.Change(u"9466", u"1234");
    EXPECT_EQ(shownAt - blockSent, 2'500'000);
}

TEST(PasswordChange, ReadyFailureClosesThePortAndLeavesTheWindowAndChangeBoxAlone) {
    DeviceFaults noBanner;
    noBanner.noBanner = true;
    ExchangeRig rig(noBanner);
    WindowSide window(rig);

    const PasswordChangeOutcome outcome = window.Change(u"9466", u"1234");
    EXPECT_EQ(outcome, PasswordChangeOutcome::NoReady);
    EXPECT_EQ(rig.log,
              (std::vector<std::string>{Opened(), Told(PasswordChangeOutcome::NoReady), Closed()}));
    EXPECT_FALSE(rig.port.Connected());
}

TEST(PasswordChange, EitherPasswordOfOtherThanFourCharactersNeverTouchesThePort) {
    const std::vector<std::pair<std::u16string, std::u16string>> pairs = {
        {u"946", u"1234"}, {u"9466", u"123"}, {u"", u"1234"}, {u"9466", u""}};
    for (const auto& [current, next] : pairs) {
        ExchangeRig rig;
        WindowSide window(rig);
        const PasswordChangeOutcome outcome = window.Change(current, next);
        EXPECT_EQ(outcome, PasswordChangeOutcome::BadLength);
        EXPECT_EQ(rig.log, (std::vector<std::string>{Told(PasswordChangeOutcome::BadLength)}));
        EXPECT_TRUE(rig.port.wire.empty());
    }
}

TEST(PasswordChange, PortErrorEndsTheChangeBeforeItsClosingSteps) {
    ExchangeRig rig;
    WindowSide window(rig);
    rig.port.FailWritesAfter(2, 5);  // the command byte and the block go, the closing byte fails

    EXPECT_THROW((void)window.Change(u"9466", u"1234"), EComPort);
    EXPECT_EQ(rig.log, Then(kSent, {Device("O"), Told(PasswordChangeOutcome::Changed),
                                    "Edit21 takes the new password", Closed()}));
    EXPECT_FALSE(rig.port.Connected());
}

}  // namespace
}  // namespace zorvik::testing
