// The in-memory port: time, waiting, the wire log and the failures it can be told to raise.
#include <gtest/gtest.h>

#include <cerrno>

#include "tests/sim/SimTestSupport.h"

namespace zorvik::testing {
namespace {

TEST(MemoryComPortTime, ReadsNeverAdvanceTime) {
    TestLine line;
    line.port.Open();
    std::uint8_t buffer[16];
    const auto before = line.clock.NowMicros();
    for (int i = 0; i < 100; ++i) {
        EXPECT_EQ(line.port.Read(buffer, 16), 0);
    }
    EXPECT_EQ(line.clock.NowMicros(), before);
}

TEST(MemoryComPortTime, WaitForInputAdvancesToTheNextDueByte) {
    TestLine line;
    line.port.Open();
    EXPECT_TRUE(line.port.WaitForInput(1000));
    // The banner starts 100 ms after opening; its first byte has arrived 173.6 us later.
    EXPECT_EQ(line.clock.NowMicros(), 100'174);
    std::string got;
    EXPECT_EQ(line.port.ReadStr(got, 5), 1);
    EXPECT_EQ(got, "R");
    EXPECT_EQ(line.clock.TotalSleptMicros(), 0);
}

TEST(MemoryComPortTime, WaitForInputAdvancesByTheTimeoutWhenNothingComesInTime) {
    TestLine line;
    line.port.Open();
    EXPECT_FALSE(line.port.WaitForInput(60));
    EXPECT_EQ(line.clock.NowMicros(), 60'000);
    EXPECT_TRUE(line.port.WaitForInput(60));
    EXPECT_EQ(line.clock.NowMicros(), 100'174);
}

TEST(MemoryComPortTime, WaitForInputReturnsAtOnceWhenBytesAreWaiting) {
    TestLine line;
    line.port.Open();
    line.clock.Sleep(200);
    const auto before = line.clock.NowMicros();
    EXPECT_TRUE(line.port.WaitForInput(1000));
    EXPECT_EQ(line.clock.NowMicros(), before);
}

TEST(MemoryComPortTime, WithoutPacingABlockIsThereAsSoonAsTheDeviceSendsIt) {
    TestLine line({}, false);
    ASSERT_EQ(line.Authenticate(AuthBlock(u"9466")), "O");
    line.Write(0x01);
    EXPECT_TRUE(line.port.WaitForInput(100));
    Bytes block(300);
    EXPECT_EQ(line.port.Read(block.data(), 300), 257);
}

TEST(MemoryComPortTime, SleepsAreCountedButWaitsAreNot) {
    TestLine line;
    line.port.Open();
    line.clock.Sleep(250);
    line.clock.Sleep(0);
    line.clock.Sleep(-5);
    (void)line.port.WaitForInput(500);
    EXPECT_EQ(line.clock.TotalSleptMicros(), 250'000);
}

TEST(MemoryComPortWire, RecordsOpensBytesAndClosesInOrder) {
    TestLine line;
    std::vector<WireEvent::Kind> seen;
    line.port.onWire = [&seen](const WireEvent& event) { seen.push_back(event.kind); };
    line.port.Open();
    line.clock.Sleep(250);
    std::string banner;
    (void)line.port.ReadStr(banner, 3);
    (void)line.port.ReadStr(banner, 3);
    line.Write(Bytes{0x03});
    line.port.Close();

    using Kind = WireEvent::Kind;
    const std::vector<Kind> expected = {Kind::Opened, Kind::DeviceToHost, Kind::DeviceToHost,
                                        Kind::HostToDevice, Kind::Closed};
    ASSERT_EQ(line.port.wire.size(), expected.size());
    for (std::size_t i = 0; i < expected.size(); ++i) {
        EXPECT_EQ(line.port.wire[i].kind, expected[i]) << i;
        EXPECT_EQ(line.port.wire[i].port, "COM1");
        EXPECT_EQ(line.port.wire[i].atMicros, i == 0 ? 0 : 250'000) << i;
    }
    EXPECT_EQ(seen, expected);
    EXPECT_EQ(line.port.wire[1].bytes, ToBytes("Rea"));
    EXPECT_EQ(line.port.wire[2].bytes, ToBytes("dy"));
    EXPECT_EQ(line.port.DeviceBytes(), ToBytes("Ready"));
    EXPECT_EQ(line.port.HostBytes(), Bytes{0x03});
}

TEST(MemoryComPortWire, UnreadBytesAreDiscardedByCloseAndNeverLogged) {
    TestLine line;
    line.port.Open();
    line.clock.Sleep(700);
    line.port.Close();
    line.port.Open();
    std::uint8_t buffer[16];
    EXPECT_EQ(line.port.Read(buffer, 16), 0);
    EXPECT_TRUE(line.port.DeviceBytes().empty());
}

TEST(MemoryComPortFailures, FailedOpenRaisesCode1WithTheErrnoAndStaysClosed) {
    TestLine line;
    line.port.FailNextOpen(EBUSY);
    try {
        line.port.Open();
        FAIL() << "Open succeeded";
    } catch (const EComPort& error) {
        EXPECT_EQ(error.Code(), 1);
        EXPECT_EQ(error.WinCode(), EBUSY);
    }
    EXPECT_FALSE(line.port.Connected());
    line.port.Open();
    EXPECT_TRUE(line.port.Connected());
}

TEST(MemoryComPortFailures, WritesFailAfterTheGivenCountUntilReopened) {
    TestLine line;
    line.port.Open();
    line.port.FailWritesAfter(1, EIO);
    line.Write(0x03);
    try {
        line.Write(0x03);
        FAIL() << "Write succeeded";
    } catch (const EComPort& error) {
        EXPECT_EQ(error.Code(), 2);
        EXPECT_EQ(error.WinCode(), EIO);
    }
    EXPECT_THROW(line.Write(0x03), EComPort);
    EXPECT_TRUE(line.port.Connected());
    line.port.Close();
    line.port.Open();
    EXPECT_NO_THROW(line.Write(0x03));
}

TEST(MemoryComPortFailures, ReadsFailAfterTheGivenCountWithCode3) {
    TestLine line;
    line.port.Open();
    line.port.FailReadsAfter(0, EIO);
    std::string text;
    try {
        (void)line.port.ReadStr(text, 5);
        FAIL() << "Read succeeded";
    } catch (const EComPort& error) {
        EXPECT_EQ(error.Code(), 3);
    }
}

TEST(MemoryComPortPorts, UnknownNameFailsLikeAMissingDevice) {
    TestLine line;
    line.port.SetPort("COM7");
    try {
        line.port.Open();
        FAIL() << "Open succeeded";
    } catch (const EComPort& error) {
        EXPECT_EQ(error.Code(), 1);
        EXPECT_EQ(error.WinCode(), 2);
    }
}

TEST(MemoryComPortPorts, AddedPortWithoutADeviceIsASilentLine) {
    TestLine line;
    line.port.AddPort("COM3");
    EXPECT_TRUE(line.port.HasPort("COM3"));
    EXPECT_FALSE(line.port.HasPort("COM4"));
    line.port.SetPort("COM3");
    line.port.Open();
    EXPECT_EQ(line.Poll(700, 5), "");
    line.Write(0x03);
    line.port.SetPort("COM1");  // closes COM3, opens COM1 with the device behind it
    EXPECT_EQ(line.Poll(700, 5), "Ready");
    EXPECT_EQ(line.port.wire.front().port, "COM3");
}

TEST(MemoryComPortPorts, EachPortReachesItsOwnDevice) {
    TestLine line;
    DeviceModel second;
    second.SetAccessPassword(u"1234");
    line.port.AddPort("COM4", &second);
    line.port.SetPort("COM4");
    EXPECT_EQ(line.Authenticate(AuthBlock(u"1234")), "O");
    line.port.Close();
    line.port.SetPort("COM1");
    EXPECT_EQ(line.Authenticate(AuthBlock(u"1234")), "R");
}

}  // namespace
}  // namespace zorvik::testing
