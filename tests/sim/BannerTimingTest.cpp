// When the device model sends its Ready banner, and when it stops.
#include <gtest/gtest.h>

#include "tests/sim/SimTestSupport.h"

namespace zorvik::testing {
namespace {

TEST(ReadyBanner, FirstBannerArrivesAbout100MsAfterOpening) {
    TestLine line;
    line.port.Open();
    EXPECT_EQ(line.Poll(100, 5), "");
    // Five bytes at 57600 baud take 0.87 ms.
    EXPECT_EQ(line.Poll(1, 5), "Ready");
}

TEST(ReadyBanner, RepeatsEvery500MsWhileIdle) {
    TestLine line;
    line.port.Open();
    EXPECT_EQ(line.Poll(101, 5), "Ready");
    EXPECT_EQ(line.Poll(499, 5), "");
    EXPECT_EQ(line.Poll(1, 5), "Ready");
    EXPECT_EQ(line.Poll(499, 5), "");
    EXPECT_EQ(line.Poll(1, 5), "Ready");
}

TEST(ReadyBanner, EveryPollOf250MsSeesNothingOrOneWholeBanner) {
    TestLine line;
    line.port.Open();
    int banners = 0;
    for (int poll = 0; poll < 40; ++poll) {
        const std::string got = line.Poll(250, 100);
        if (!got.empty()) {
            EXPECT_EQ(got, "Ready") << "poll " << poll;
            ++banners;
        }
    }
    EXPECT_EQ(banners, 20);
}

TEST(ReadyBanner, AutodetectionsSingleReadAfter700MsFindsIt) {
    TestLine line;
    line.port.Open();
    EXPECT_EQ(line.Poll(700, 5), "Ready");
}

TEST(ReadyBanner, CommandByteStopsTheBanner) {
    TestLine line;
    line.port.Open();
    ASSERT_TRUE(line.WaitReady());
    line.Write(0x03);
    EXPECT_EQ(line.Poll(2900, 100), "");
}

TEST(ReadyBanner, CommandByteDropsTheUnsentRestOfABanner) {
    TestLine line;
    line.port.Open();
    // The command byte has fully arrived just before the banner would begin.
    line.clock.AdvanceMicros(99'800);
    line.Write(0x03);
    EXPECT_EQ(line.Poll(1000, 100), "");
}

TEST(ReadyBanner, BannerByteAlreadyOnTheLineIsFinished) {
    TestLine line;
    line.port.Open();
    // The command byte arrives while the banner's second byte is being sent.
    line.clock.AdvanceMicros(100'000);
    line.Write(0x03);
    EXPECT_EQ(line.Poll(1000, 100), "Re");
}

TEST(ReadyBanner, ResumesWhenTheHostFallsSilentMidExchange) {
    TestLine line;
    line.port.Open();
    ASSERT_TRUE(line.WaitReady());
    line.Write(0x03);
    line.Write(Bytes{0x00, 0x39});  // two bytes of the block, then nothing
    EXPECT_EQ(line.Poll(3000, 100), "");
    EXPECT_EQ(line.Poll(102, 100), "Ready");
    const auto log = line.device.TakeLog();
    ASSERT_EQ(log.size(), 1U);
    EXPECT_EQ(log[0],
              "exchange abandoned: the host fell silent while receiving the authentication block");
}

TEST(ReadyBanner, ReopeningReturnsTheDeviceToIdle) {
    TestLine line;
    line.port.Open();
    ASSERT_TRUE(line.WaitReady());
    line.Write(0x03);
    line.port.Close();
    line.clock.Sleep(50);
    line.port.Open();
    EXPECT_EQ(line.Poll(101, 5), "Ready");
}

TEST(ReadyBanner, NothingPilesUpWhileThePortIsClosed) {
    TestLine line;
    line.port.Open();
    line.port.Close();
    line.clock.Sleep(5000);
    line.port.Open();
    EXPECT_EQ(line.Poll(50, 100), "");
}

TEST(ReadyBanner, DeviceIsReadyAgainAfterAFinishedExchange) {
    TestLine line;
    ASSERT_EQ(line.Authenticate(AuthBlock(u"9466")), "O");
    line.Write(0x01);
    line.clock.Sleep(52);
    Bytes block(257);
    ASSERT_EQ(line.port.Read(block.data(), 257), 257);
    line.Write(0x41);
    EXPECT_EQ(line.Poll(102, 100), "Ready");
}

TEST(BannerFaults, NoBannerNeverSendsReady) {
    TestLine line({.noBanner = true});
    line.port.Open();
    EXPECT_FALSE(line.WaitReady());
    EXPECT_FALSE(line.port.WaitForInput(10'000));
}

TEST(BannerFaults, BannerDelayHoldsBackOnlyTheFirstBanner) {
    TestLine line({.bannerDelayMs = 2000});
    line.port.Open();
    EXPECT_EQ(line.Poll(2000, 5), "");
    EXPECT_EQ(line.Poll(1, 5), "Ready");
    EXPECT_EQ(line.Poll(500, 5), "Ready");
}

TEST(BannerFaults, DelayedBannerStillMeetsTheHostsTenPolls) {
    TestLine line({.bannerDelayMs = 2000});
    line.port.Open();
    EXPECT_TRUE(line.WaitReady());
}

TEST(BannerFaults, DelayBeyond700MsHidesTheDeviceFromAutodetection) {
    TestLine line({.bannerDelayMs = 800});
    line.port.Open();
    EXPECT_EQ(line.Poll(700, 5), "");
}

TEST(BannerFaults, SplitBannerComesInTwoPollsAndAWholeOneLater) {
    TestLine line({.splitBanner = true});
    line.port.Open();
    std::vector<std::string> seen;
    for (int poll = 0; poll < 10; ++poll) {
        const std::string got = line.Poll(250, 5);
        if (!got.empty()) {
            seen.push_back(got);
        }
    }
    ASSERT_GE(seen.size(), 3U);
    EXPECT_EQ(seen[0], "Rea");
    EXPECT_EQ(seen[1], "dy");
    EXPECT_EQ(seen[2], "Ready");
}

// A free-running banner keeps the beat of its first one, 100 ms after power-up, every 500 ms.
TEST(FreeRunningBanner, KeepsItsBeatWhateverTheHostDoes) {
    struct Case {
        const char* name;
        int reopenAfterMs;  // the host closes and reopens the port this long after power-up
    };
    for (const Case& c : {Case{"reopened between beats", 350},
                          Case{"reopened just before a beat", 1090}, Case{"reopened late", 2120}}) {
        TestLine line({.bannerFreeRunning = true});
        line.port.Open();
        line.clock.Sleep(c.reopenAfterMs);
        line.port.Close();
        line.port.Open();
        // The next beat after the reopening, not 100 ms after it.
        const int next = 100 + ((c.reopenAfterMs - 100) / 500 + 1) * 500;
        EXPECT_EQ(line.Poll(next - c.reopenAfterMs - 1, 100), "") << c.name;
        EXPECT_EQ(line.Poll(2, 100), "Ready") << c.name;
    }
}

TEST(FreeRunningBanner, AfterAnExchangeComesOnTheNextBeat) {
    TestLine line({.bannerFreeRunning = true});
    ASSERT_EQ(line.Authenticate(AuthBlock(u"9466")), "O");
    line.Write(0x01);
    line.clock.Sleep(52);
    Bytes block(257);
    ASSERT_EQ(line.port.Read(block.data(), 257), 257);
    line.Write(0x41);
    const std::int64_t sinceFirstBeat = line.clock.NowMicros() - 100'000;
    const auto untilBeat = static_cast<int>((500'000 - sinceFirstBeat % 500'000) / 1000);
    EXPECT_EQ(line.Poll(untilBeat - 1, 100), "");
    EXPECT_EQ(line.Poll(2, 100), "Ready");
}

}  // namespace
}  // namespace zorvik::testing
