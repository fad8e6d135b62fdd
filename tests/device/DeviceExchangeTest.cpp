// The framing of an authenticated exchange: banner wait, authentication block, status reply.
#include "device/DeviceExchange.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <deque>

#include "device/ReadyListener.h"
#include "tests/support/ExchangeRig.h"

namespace zorvik::testing {
namespace {

// A port whose reads hand out one scripted chunk per call, for counting polls exactly.
class ChunkedPort : public TCustomComPort {
public:
    explicit ChunkedPort(std::deque<std::string> chunks) : chunks_(std::move(chunks)) {}

    int reads = 0;
    Bytes written;

protected:
    void DoOpen(const std::string& /*port*/) override {}
    void DoClose() override {}
    int DoWrite(const std::uint8_t* buffer, int count) override {
        written.insert(written.end(), buffer, buffer + count);
        return count;
    }
    int DoRead(std::uint8_t* buffer, int count) override {
        ++reads;
        if (chunks_.empty()) {
            return 0;
        }
        std::string& chunk = chunks_.front();
        const auto got = std::min(chunk.size(), static_cast<std::size_t>(count));
        std::copy_n(chunk.begin(), got, buffer);
        chunk.erase(0, got);
        if (chunk.empty()) {
            chunks_.pop_front();
        }
        return static_cast<int>(got);
    }
    bool DoWaitForInput(int /*timeoutMs*/) override { return !chunks_.empty(); }

private:
    std::deque<std::string> chunks_;
};

struct ScriptedRig {
    explicit ScriptedRig(std::deque<std::string> chunks)
        : port(std::move(chunks)), exchange(port, clock, notices) {
        port.Open();
    }
    ChunkedPort port;
    VirtualClock clock;
    FakeNotices notices;
    DeviceExchange exchange;
};

// Distinct texts, so a test sees which of the table's rows was used.
// Three notices of three commands, so that each failure is seen to tell its own.
const FramingNotices kTable{ReadOutcome::NoReady, WriteOutcome::WrongPassword,
                            SecurityOutcome::NoAnswer};

DeviceFaults BannerAfter(int ms) {
    DeviceFaults faults;
    faults.bannerDelayMs = ms;
    return faults;
}

std::int64_t WireTimeOf(const MemoryComPort& port, const Bytes& hostBytes) {
    for (const WireEvent& event : port.wire) {
        if (event.kind == WireEvent::Kind::HostToDevice && event.bytes == hostBytes) {
            return event.atMicros;
        }
    }
    ADD_FAILURE() << "never written: " << Hex(hostBytes);
    return -1;
}

TEST(ReadyBannerWait, BannerAfterTwoSecondsIsStillAccepted) {
    ExchangeRig rig(BannerAfter(2000));
    rig.port.Open();
    EXPECT_TRUE(rig.exchange.WaitReady());
    // Complete at 2.001 s, so read by the ninth poll.
    EXPECT_EQ(rig.clock.NowMicros(), 2'250'000);
}

TEST(ReadyBannerWait, BannerReadOnTheTenthPollIsAccepted) {
    ExchangeRig rig(BannerAfter(2400));
    rig.port.Open();
    EXPECT_TRUE(rig.exchange.WaitReady());
    EXPECT_EQ(rig.clock.NowMicros(), 2'500'000);
}

TEST(ReadyBannerWait, BannerLaterThanTenPollsIsRefusedWithTheCommandsMessage) {
    ExchangeRig rig(BannerAfter(2600));
    EXPECT_EQ(rig.exchange.RunAuthenticated(BuildAuthBlock(u"9466"), kTable),
              FramingOutcome::NoReady);
    EXPECT_EQ(rig.clock.TotalSleptMicros(), 2'500'000);
    EXPECT_EQ(rig.log, (std::vector<std::string>{Opened(), Told(ReadOutcome::NoReady), Closed()}));
    EXPECT_FALSE(rig.port.Connected());
}

TEST(ReadyBannerWait, SplitBannerIsNotJoinedAndALaterWholeOneIsTaken) {
    DeviceFaults faults;
    faults.splitBanner = true;
    ExchangeRig rig(faults);
    rig.port.Open();
    EXPECT_TRUE(rig.exchange.WaitReady());
    EXPECT_EQ(rig.log,
              (std::vector<std::string>{Opened(), Device("Rea"), Device("dy"), Device("Ready")}));
}

TEST(ReadyBannerWait, SplitBannerAloneIsNotRecognised) {
    ScriptedRig rig({"Rea", "dy"});
    EXPECT_FALSE(rig.exchange.WaitReady());
    EXPECT_EQ(rig.port.reads, 10);
}

TEST(ReadyBannerWait, BannerBehindStrayCharactersIsNotFound) {
    // Five characters a poll: "xRead", "yRead", "y", then nothing.
    ScriptedRig rig({"xReadyReady"});
    EXPECT_FALSE(rig.exchange.WaitReady());
    EXPECT_EQ(rig.port.reads, 10);
}

TEST(ReadyBannerWait, BannersQueuedBehindTheMatchedOneAreNotTakenForTheStatus) {
    // A network serial server can hand over a banner sent before the port was set up together
    // with the next one; the second one's "R" is no answer to the authentication block.
    ScriptedRig rig({"Ready", "ReadyRea"});
    EXPECT_TRUE(rig.exchange.WaitReady());
    EXPECT_EQ(rig.exchange.WaitStatus(), StatusReply::None);
}

// A listening banner wait reads every 20 ms, joins a banner split between reads, passes over what
// had arrived before it began, and still gives up after 2.5 s.
TEST(ReadyBannerWait, ListeningJoinsASplitBannerAndKeepsTheBound) {
    struct Case {
        const char* name;
        std::deque<std::string> chunks;
        bool found;
        int reads;
    };
    for (const Case& c : {Case{"split", {"", "xRea", "dy"}, true, 3},
                          Case{"whole after noise", {"??", "", "Ready"}, true, 3},
                          Case{"waiting when listening began", {"Ready"}, false, 125},
                          Case{"never", {}, false, 125}}) {
        ScriptedRig rig(c.chunks);
        rig.exchange.ListenForBanner();
        EXPECT_EQ(rig.exchange.WaitReady(), c.found) << c.name;
        EXPECT_EQ(rig.port.reads - (c.found ? 1 : 0), c.reads) << c.name;  // and one drop read
    }
}

TEST(StatusReplyWait, OnlyOAndRAnswerAnAuthenticationBlock) {
    ScriptedRig accepted({"O"});
    EXPECT_EQ(accepted.exchange.WaitStatus(), StatusReply::Accepted);
    ScriptedRig rejected({"R"});
    EXPECT_EQ(rejected.exchange.WaitStatus(), StatusReply::WrongPassword);

    // "E" and line noise use up attempts; the wait goes on to the real reply.
    ScriptedRig noisy({"E", "x", "\xFF", "o", "O"});
    EXPECT_EQ(noisy.exchange.WaitStatus(), StatusReply::Accepted);
    EXPECT_EQ(noisy.port.reads, 5);
    EXPECT_EQ(noisy.clock.TotalSleptMicros(), 5 * 25'000);
}

TEST(StatusReplyWait, ETellsABadChecksumOnlyAfterATransfer) {
    ScriptedRig rig({"E", "O"});
    EXPECT_EQ(rig.exchange.WaitStatus(true), StatusReply::BadChecksum);
    EXPECT_EQ(rig.port.reads, 1);
}

TEST(StatusReplyWait, NoiseAloneEndsAfterOneHundredPolls) {
    ScriptedRig rig({std::string(150, 'x')});
    EXPECT_EQ(rig.exchange.WaitStatus(), StatusReply::None);
    EXPECT_EQ(rig.port.reads, 100);
    EXPECT_EQ(rig.clock.TotalSleptMicros(), 2'500'000);

    ScriptedRig silent({});
    EXPECT_EQ(silent.exchange.WaitStatus(true), StatusReply::None);
    EXPECT_EQ(silent.port.reads, 100);
}

TEST(AuthenticationBlock, DefaultPasswordCarriesItsDigitsThenTheirDigest) {
    const AuthBlock block = BuildAuthBlock(u"9466");
    const Bytes expected = {0x00, 0x39, 0x34, 0x36, 0x36, 0x13, 0xF9, 0xE3, 0x8D,
                            0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00};
    EXPECT_EQ(Bytes(block.begin(), block.end()), expected);
    EXPECT_EQ(expected, ReferenceAuthBlock("9466"));
}

TEST(AuthenticationBlock, PasswordChangeCarriesTheNewPasswordsBlockAfterTheCurrentOne) {
    const AuthBlock block = BuildPasswordChangeBlock(u"9466", u"Ab1z");
    Bytes expected = ReferenceAuthBlock("9466");
    expected[0] = 0x01;
    const Bytes next = ReferenceAuthBlock("Ab1z");
    std::copy(next.begin() + 1, next.begin() + 9, expected.begin() + 9);
    EXPECT_EQ(Bytes(block.begin(), block.end()), expected);
}

TEST(AuthenticationBlock, AnyFourCharactersMakeAnAccessPassword) {
    EXPECT_TRUE(IsValidAccessPassword(u"9466"));
    EXPECT_TRUE(IsValidAccessPassword(u"a ł."));
    EXPECT_FALSE(IsValidAccessPassword(u""));
    EXPECT_FALSE(IsValidAccessPassword(u"946"));
    EXPECT_FALSE(IsValidAccessPassword(u"94661"));
}

TEST(AuthenticatedFraming, AcceptedPasswordLeavesThePortOpenForTheTransfer) {
    ExchangeRig rig;
    EXPECT_EQ(rig.exchange.RunAuthenticated(BuildAuthBlock(u"9466"), kTable),
              FramingOutcome::Accepted);
    EXPECT_EQ(rig.log, (std::vector<std::string>{Opened(), Device("Ready"), Host({0x03}),
                                                 Host(ReferenceAuthBlock("9466")), Device("O")}));
    EXPECT_TRUE(rig.port.Connected());
    EXPECT_EQ(WireTimeOf(rig.port, ReferenceAuthBlock("9466")) - WireTimeOf(rig.port, {0x03}),
              25'000);
}

TEST(AuthenticatedFraming, ABannerSeenOnTheOpenPortIsGoneOnFromOnce) {
    ExchangeRig rig;
    rig.port.Open();
    ASSERT_TRUE(rig.exchange.WaitReady());
    rig.exchange.BannerSeen();
    EXPECT_EQ(rig.exchange.RunAuthenticated(BuildAuthBlock(u"9466"), kTable),
              FramingOutcome::Accepted);
    EXPECT_EQ(rig.log, (std::vector<std::string>{Opened(), Device("Ready"), Host({0x03}),
                                                 Host(ReferenceAuthBlock("9466")), Device("O")}));
    // The next exchange starts afresh.
    rig.port.Close();
    rig.exchange.BannerSeen();
    EXPECT_EQ(rig.exchange.RunAuthenticated(BuildAuthBlock(u"9466"), kTable),
              FramingOutcome::Accepted);
    EXPECT_EQ(std::count(rig.log.begin(), rig.log.end(), Opened()), 2);
}

TEST(AuthenticatedFraming, BannersQueuedBehindASeenOneAreNotTakenForTheStatus) {
    ScriptedRig rig({"", "Ready", "ReadyRea"});
    ASSERT_TRUE(ListenForReady(rig.port, rig.clock, 2'500'000, 20));
    rig.exchange.BannerSeen();
    EXPECT_EQ(rig.exchange.RunAuthenticated(BuildAuthBlock(u"9466"), kTable),
              FramingOutcome::NoAnswer);
}

// The device's next banner had begun as the command byte came: its "R" comes before the block.
TEST(AuthenticatedFraming, ABannerLetterBeforeTheBlockIsNoStatus) {
    ScriptedRig rig({"", "Ready", "", "R", "", "O"});
    ASSERT_TRUE(ListenForReady(rig.port, rig.clock, 2'500'000, 20));
    rig.exchange.BannerSeen();
    EXPECT_EQ(rig.exchange.RunAuthenticated(BuildAuthBlock(u"9466"), kTable),
              FramingOutcome::Accepted);
}

TEST(AuthenticatedFraming, PortLeftOpenIsClosedAndOpenedAfresh) {
    ExchangeRig rig;
    rig.port.Open();
    EXPECT_EQ(rig.exchange.RunAuthenticated(BuildAuthBlock(u"9466"), kTable),
              FramingOutcome::Accepted);
    ASSERT_GE(rig.log.size(), 3U);
    EXPECT_EQ(std::vector<std::string>(rig.log.begin(), rig.log.begin() + 3),
              (std::vector<std::string>{Opened(), Closed(), Opened()}));
}

TEST(AuthenticatedFraming, StatusFailuresShowTheCommandsMessageBeforeClosing) {
    const Bytes auth = ReferenceAuthBlock("9466");
    DeviceFaults reject;
    reject.rejectPassword = true;
    ExchangeRig rejected(reject);
    EXPECT_EQ(rejected.exchange.RunAuthenticated(BuildAuthBlock(u"9466"), kTable),
              FramingOutcome::WrongPassword);
    EXPECT_EQ(rejected.log,
              (std::vector<std::string>{Opened(), Device("Ready"), Host({0x03}), Host(auth),
                                        Device("R"), Told(WriteOutcome::WrongPassword), Closed()}));

    DeviceFaults silent;
    silent.silentStatus = true;
    ExchangeRig unanswered(silent);
    EXPECT_EQ(unanswered.exchange.RunAuthenticated(BuildAuthBlock(u"9466"), kTable),
              FramingOutcome::NoAnswer);
    EXPECT_EQ(unanswered.log,
              (std::vector<std::string>{Opened(), Device("Ready"), Host({0x03}), Host(auth),
                                        Told(SecurityOutcome::NoAnswer), Closed()}));
}

TEST(AuthenticatedFraming, WrongPasswordInTheBlockIsRefusedByTheDevice) {
    ExchangeRig rig;
    EXPECT_EQ(rig.exchange.RunAuthenticated(BuildAuthBlock(u"9467"), kTable),
              FramingOutcome::WrongPassword);
    EXPECT_EQ(rig.notices.told, (std::vector<Notice>{WriteOutcome::WrongPassword}));
}

TEST(AuthenticatedFraming, NoiseBeforeTheStatusOnlyUsesAttempts) {
    DeviceFaults faults;
    faults.noiseBeforeStatus = true;
    ExchangeRig rig(faults);
    EXPECT_EQ(rig.exchange.RunAuthenticated(BuildAuthBlock(u"9466"), kTable),
              FramingOutcome::Accepted);
    EXPECT_TRUE(rig.notices.told.empty());
    EXPECT_EQ(rig.log.back(), Device("O"));
    // Three junk bytes, one poll each, then the reply.
    EXPECT_EQ(std::count_if(rig.log.begin(), rig.log.end(),
                            [](const std::string& line) { return line.starts_with("device"); }),
              5);
}

TEST(AuthenticatedFraming, PortErrorEndsTheExchangeAndLeavesThePortOpen) {
    ExchangeRig rig;
    rig.port.FailWritesAfter(1, EIO);
    try {
        (void)rig.exchange.RunAuthenticated(BuildAuthBlock(u"9466"), kTable);
        ADD_FAILURE() << "no error raised";
    } catch (const EComPort& error) {
        EXPECT_EQ(error.Code(), 2);
    }
    EXPECT_TRUE(rig.port.Connected());
    EXPECT_TRUE(rig.notices.told.empty());

    // The next exchange's port reset starts afresh.
    EXPECT_EQ(rig.exchange.RunAuthenticated(BuildAuthBlock(u"9466"), kTable),
              FramingOutcome::Accepted);
}

// A port whose bytes become readable at set virtual times, as a late or lumpy line delivers them.
class TimedPort : public TCustomComPort {
public:
    explicit TimedPort(VirtualClock& clock) : clock_(clock) {}

    // `count` bytes readable from `atMs` on.
    void Arrive(std::int64_t atMs, int count) { arrivals_.push_back({atMs * 1000, count}); }

protected:
    void DoOpen(const std::string& /*port*/) override {}
    void DoClose() override {}
    int DoWrite(const std::uint8_t* /*buffer*/, int count) override { return count; }
    int DoRead(std::uint8_t* buffer, int count) override {
        int got = 0;
        while (got < count && !arrivals_.empty() && arrivals_.front().first <= clock_.NowMicros()) {
            auto& [at, left] = arrivals_.front();
            const int take = std::min(left, count - got);
            std::fill_n(buffer + got, take, std::uint8_t{0x5A});
            got += take;
            left -= take;
            if (left == 0) {
                arrivals_.pop_front();
            }
        }
        return got;
    }
    bool DoWaitForInput(int /*timeoutMs*/) override { return false; }

private:
    VirtualClock& clock_;
    std::deque<std::pair<std::int64_t, int>> arrivals_;
};

struct LateBlockRig {
    LateBlockRig() : port(clock), exchange(port, clock, notices) { port.Open(); }
    VirtualClock clock;
    TimedPort port;
    FakeNotices notices;
    DeviceExchange exchange;
    std::array<std::uint8_t, 257> block{};

    int Read() { return exchange.ReadBlock(block.data(), 257); }
};

TEST(LateBlock, BlockWholeAfterThePausesCostsNoFurtherPause) {
    LateBlockRig rig;
    rig.port.Arrive(0, 257);
    EXPECT_EQ(rig.Read(), 257);
    EXPECT_EQ(rig.clock.TotalSleptMicros(), 0);
}

TEST(LateBlock, BlockArrivingInLumpsIsReadOnUntilWhole) {
    LateBlockRig rig;
    rig.port.Arrive(0, 62);
    rig.port.Arrive(16, 64);
    rig.port.Arrive(95, 64);
    rig.port.Arrive(190, 67);  // 95 ms after the lump before: still within the quiet bound
    EXPECT_EQ(rig.Read(), 257);
    EXPECT_EQ(rig.clock.NowMicros(), 190'000);
}

TEST(LateBlock, BlockThatStopsShortIsGivenUp100MsAfterItsLastByte) {
    LateBlockRig rig;
    rig.port.Arrive(30, 200);
    EXPECT_EQ(rig.Read(), 200);
    EXPECT_EQ(rig.clock.NowMicros(), 130'000);

    LateBlockRig silent;
    EXPECT_EQ(silent.Read(), 0);
    EXPECT_EQ(silent.clock.NowMicros(), 100'000);
}

TEST(LateBlock, BlockTricklingInIsGivenUpTwoSecondsAfterThePauses) {
    LateBlockRig rig;
    for (int ms = 0; ms < 5000; ms += 50) {
        rig.port.Arrive(ms, 1);
    }
    EXPECT_EQ(rig.Read(), 41);  // the bytes of 0, 50, ... 2000 ms
    EXPECT_EQ(rig.clock.NowMicros(), 2'000'000);
}

}  // namespace
}  // namespace zorvik::testing
