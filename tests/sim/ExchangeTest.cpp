// Authenticated exchanges against the device model, with the host side written out by hand.
#include <gtest/gtest.h>

#include <algorithm>

#include "tests/sim/SimTestSupport.h"

namespace zorvik::testing {
namespace {

// The password block of "9466": its four characters and their digest.
const Bytes kDefaultPasswordBlock = {0x39, 0x34, 0x36, 0x36, 0x13, 0xF9, 0xE3, 0x8D};

Bytes DefaultAuthBlock() {
    Bytes block(17, 0x00);
    std::copy(kDefaultPasswordBlock.begin(), kDefaultPasswordBlock.end(), block.begin() + 1);
    return block;
}

Bytes ImageWithChecksum(const std::array<std::uint8_t, 256>& image) {
    Bytes block(image.begin(), image.end());
    block.push_back(ComputeImageChecksum(std::span<const std::uint8_t, 256>(image)));
    return block;
}

// Sends a written block (operation byte, 257 bytes, 0x00) after "O" and returns the reply.
std::string WriteBlock(TestLine& line, std::uint8_t operation, const Bytes& block) {
    line.Write(operation);
    line.Write(block);
    line.Write(0x00);
    line.clock.Sleep(52);
    return line.WaitStatus();
}

TEST(ReadExchange, RunsByteForByteAsTheHostExpects) {
    TestLine line;
    line.port.Open();
    EXPECT_EQ(line.Poll(250, 5), "Ready");
    line.Write(0x03);
    line.clock.Sleep(25);
    line.Write(DefaultAuthBlock());
    EXPECT_EQ(line.Poll(25, 1), "O");
    line.Write(0x01);
    for (int i = 0; i < 52; ++i) {
        line.clock.Sleep(1);
    }
    Bytes block(257);
    // The whole block is there after the host's 52 ms pause, in one read.
    EXPECT_EQ(line.port.Read(block.data(), 257), 257);
    line.Write(0x41);
    line.port.Close();

    EXPECT_EQ(block, ImageWithChecksum(line.device.ConfigImage()));
    Bytes host = {0x03};
    host.insert(host.end(), 0x00);
    host.insert(host.end(), kDefaultPasswordBlock.begin(), kDefaultPasswordBlock.end());
    host.insert(host.end(), 8, 0x00);
    host.push_back(0x01);
    host.push_back(0x41);
    EXPECT_EQ(line.port.HostBytes(), host);
    Bytes device = ToBytes("ReadyO");
    device.insert(device.end(), block.begin(), block.end());
    EXPECT_EQ(line.port.DeviceBytes(), device);
    EXPECT_EQ(line.device.TakeLog(), std::vector<std::string>{"read image: ok"});
}

TEST(ReadExchange, DefaultImageIsAPlausibleConfiguration) {
    const auto image = DefaultDeviceImage();
    EXPECT_EQ(image[0], 0x8B);  // SMS centre in use, 11 digits
    EXPECT_EQ(image[12], '_');
    EXPECT_EQ(image[15] & 0x80, 0x80);  // telephone 1 in use
    EXPECT_EQ(image[30] & 0x80, 0x80);  // telephone 2 in use
    for (const std::size_t offset : {45, 60, 75, 90}) {
        EXPECT_EQ(image[offset], 0x0C) << offset;
        EXPECT_TRUE(std::all_of(image.begin() + offset + 1, image.begin() + offset + 13,
                                [](std::uint8_t b) { return b == 0; }));
    }
    EXPECT_EQ(image[120] & 0x80, 0x00);  // device type 1
    EXPECT_TRUE(
        std::all_of(image.begin() + 131, image.end(), [](std::uint8_t b) { return b == 0; }));
    // Every light time is at least 0:01, and seconds and minutes stay in their ranges.
    for (std::size_t row = 0; row < 4; ++row) {
        const int seconds = image[121 + 2 * row];
        const int minutes = image[122 + 2 * row];
        EXPECT_LE(seconds, 59);
        EXPECT_LE(minutes, 99);
        EXPECT_GT(seconds + minutes, 0);
    }
}

TEST(WriteExchange, StoresTheImageAndEndsWithC1) {
    TestLine line;
    ASSERT_EQ(line.Authenticate(DefaultAuthBlock()), "O");
    const Bytes block = SignedBlock(1);
    line.Write(0x81);
    line.Write(block);
    line.Write(0x00);
    line.clock.Sleep(52);
    // The reply is there at the host's first poll after its pause.
    EXPECT_EQ(line.Poll(25, 1), "O");
    line.Write(0xC1);
    line.port.Close();

    EXPECT_TRUE(std::equal(block.begin(), block.begin() + 256, line.device.ConfigImage().begin()));
    EXPECT_EQ(line.device.TakeLog(), std::vector<std::string>{"write image: ok"});
}

TEST(WriteExchange, BadChecksumIsAnsweredWithEAndNothingIsStored) {
    TestLine line;
    const auto before = line.device.ConfigImage();
    ASSERT_EQ(line.Authenticate(DefaultAuthBlock()), "O");
    Bytes block = SignedBlock(2);
    block[256] ^= 0x01;
    EXPECT_EQ(WriteBlock(line, 0x81, block), "E");
    EXPECT_EQ(line.device.ConfigImage(), before);
    EXPECT_EQ(line.device.TakeLog(),
              std::vector<std::string>{"write image: bad checksum, answered E"});
}

TEST(WriteExchange, WrittenImageIsWhatTheNextReadReturns) {
    TestLine line;
    ASSERT_EQ(line.Authenticate(DefaultAuthBlock()), "O");
    const Bytes block = SignedBlock(3);
    ASSERT_EQ(WriteBlock(line, 0x81, block), "O");
    line.Write(0xC1);
    line.port.Close();

    ASSERT_EQ(line.Authenticate(DefaultAuthBlock()), "O");
    line.Write(0x01);
    line.clock.Sleep(52);
    Bytes read(257);
    EXPECT_EQ(line.port.Read(read.data(), 257), 257);
    EXPECT_EQ(read, block);
}

TEST(Authentication, WrongPasswordIsAnsweredWithR) {
    TestLine line;
    EXPECT_EQ(line.Authenticate(AuthBlock(u"9467")), "R");
    EXPECT_EQ(line.device.TakeLog(), std::vector<std::string>{"password: wrong"});
}

TEST(Authentication, OnlyTheLowByteOfEachCharacterCounts) {
    TestLine line;
    line.device.SetAccessPassword(u"AB12");
    // "ł" is U+0142: its low byte is that of "B".
    EXPECT_EQ(line.Authenticate(AuthBlock(u"Ał12")), "O");
}

TEST(Authentication, DeviceIgnoresBytesAfterRejectingUntilTheHostReopens) {
    TestLine line;
    ASSERT_EQ(line.Authenticate(AuthBlock(u"0000")), "R");
    line.Write(0x41);
    line.Write(0x03);
    // Still nothing: not a banner, not a status.
    EXPECT_EQ(line.Poll(2000, 100), "");
    line.port.Close();
    EXPECT_EQ(line.Authenticate(DefaultAuthBlock()), "O");
}

TEST(PasswordChange, StoresTheNewPasswordAndRejectsTheOldOneAfterwards) {
    TestLine line;
    ASSERT_EQ(line.Authenticate(AuthBlock(u"9466", u"1234")), "O");
    line.Write(0x41);
    line.port.Close();
    EXPECT_EQ(line.device.AccessPassword(), u"1234");
    EXPECT_EQ(line.device.TakeLog(), std::vector<std::string>{"password change: ok"});

    EXPECT_EQ(line.Authenticate(DefaultAuthBlock()), "R");
    line.port.Close();
    EXPECT_EQ(line.Authenticate(AuthBlock(u"1234")), "O");
}

TEST(PasswordChange, WrongCurrentPasswordChangesNothing) {
    TestLine line;
    EXPECT_EQ(line.Authenticate(AuthBlock(u"1111", u"1234")), "R");
    EXPECT_EQ(line.device.AccessPassword(), u"9466");
}

TEST(PasswordChange, NewPasswordWithAGarbledDigestIsRefused) {
    TestLine line;
    Bytes block = AuthBlock(u"9466", u"1234");
    block[16] ^= 0x40;
    EXPECT_EQ(line.Authenticate(block), "R");
    EXPECT_EQ(line.device.AccessPassword(), u"9466");
}

TEST(PasswordChange, PasswordStaysChangedWhenTheClosingByteNeverComes) {
    TestLine line;
    ASSERT_EQ(line.Authenticate(AuthBlock(u"9466", u"1234")), "O");
    line.port.Close();
    EXPECT_EQ(line.device.AccessPassword(), u"1234");
    const auto log = line.device.TakeLog();
    ASSERT_EQ(log.size(), 1U);
    EXPECT_NE(log[0].find("abandoned"), std::string::npos) << log[0];
}

TEST(SecurityRecord, IsStoredForInspectionAndEndsWithC0) {
    TestLine line;
    ASSERT_EQ(line.Authenticate(DefaultAuthBlock()), "O");
    Bytes record(256, 0x00);
    record[0] = 0x81;
    std::fill(record.begin() + 1, record.begin() + 11, 'a');
    record.push_back(ComputeImageChecksum(std::span<const std::uint8_t, 256>(record.data(), 256)));
    EXPECT_EQ(WriteBlock(line, 0x80, record), "O");
    line.Write(0xC0);
    line.port.Close();

    ASSERT_TRUE(line.device.LastSecurityRecord().has_value());
    EXPECT_TRUE(std::equal(record.begin(), record.begin() + 256,
                           line.device.LastSecurityRecord()->begin()));
    // The configuration image is a different thing and stays as it was.
    EXPECT_EQ(line.device.ConfigImage(), DefaultDeviceImage());
    EXPECT_EQ(line.device.TakeLog(), std::vector<std::string>{"security record: ok (flags 0x81)"});
}

TEST(SecurityRecord, BadChecksumIsAnsweredWithEAndNothingIsStored) {
    TestLine line;
    ASSERT_EQ(line.Authenticate(DefaultAuthBlock()), "O");
    Bytes record = SignedBlock(4);
    record[10] ^= 0x80;
    EXPECT_EQ(WriteBlock(line, 0x80, record), "E");
    EXPECT_FALSE(line.device.LastSecurityRecord().has_value());
}

TEST(SecurityRecord, RecordStaysStoredWhenTheUserKeepsTheMessageOpenLong) {
    // The host shows its success message before it sends 0xC0.
    TestLine line;
    ASSERT_EQ(line.Authenticate(DefaultAuthBlock()), "O");
    ASSERT_EQ(WriteBlock(line, 0x80, SignedBlock(5)), "O");
    line.clock.Sleep(10'000);
    line.Write(0xC0);
    line.port.Close();
    EXPECT_TRUE(line.device.LastSecurityRecord().has_value());
}

TEST(ExchangeFaults, RejectPasswordAnswersRToTheRightPassword) {
    TestLine line({.rejectPassword = true});
    EXPECT_EQ(line.Authenticate(DefaultAuthBlock()), "R");
}

TEST(ExchangeFaults, SilentStatusNeverAnswers) {
    TestLine line({.silentStatus = true});
    EXPECT_EQ(line.Authenticate(DefaultAuthBlock()), "");
}

TEST(ExchangeFaults, NoiseBeforeStatusSendsJunkThatIsNeitherONorR) {
    TestLine line({.noiseBeforeStatus = true});
    line.port.Open();
    ASSERT_TRUE(line.WaitReady());
    line.Write(0x03);
    line.clock.Sleep(25);
    line.Write(DefaultAuthBlock());
    line.clock.Sleep(25);
    std::string got;
    (void)line.port.ReadStr(got, 100);
    ASSERT_GE(got.size(), 2U);
    EXPECT_EQ(got.back(), 'O');
    const std::string junk = got.substr(0, got.size() - 1);
    EXPECT_EQ(junk.find_first_of("OR"), std::string::npos);
}

TEST(ExchangeFaults, BadChecksumOnReadSendsAChecksumOneBitOff) {
    TestLine line({.badChecksumOnRead = true});
    ASSERT_EQ(line.Authenticate(DefaultAuthBlock()), "O");
    line.Write(0x01);
    line.clock.Sleep(52);
    Bytes block(257);
    ASSERT_EQ(line.port.Read(block.data(), 257), 257);
    const Bytes good = ImageWithChecksum(line.device.ConfigImage());
    EXPECT_TRUE(std::equal(block.begin(), block.begin() + 256, good.begin()));
    EXPECT_EQ(block[256] ^ good[256], 0x01);
}

TEST(ExchangeFaults, ShortBlockOnReadSendsOnly200Bytes) {
    TestLine line({.shortBlockOnRead = true});
    ASSERT_EQ(line.Authenticate(DefaultAuthBlock()), "O");
    line.Write(0x01);
    line.clock.Sleep(500);
    Bytes block(257);
    EXPECT_EQ(line.port.Read(block.data(), 257), 200);
}

TEST(ExchangeFaults, WriteReplyOverridesTheDevicesJudgement) {
    for (const char reply : {'E', 'R'}) {
        TestLine line({.writeReply = reply});
        ASSERT_EQ(line.Authenticate(DefaultAuthBlock()), "O");
        EXPECT_EQ(WriteBlock(line, 0x81, SignedBlock(6)), std::string(1, reply));
        EXPECT_EQ(line.device.ConfigImage(), DefaultDeviceImage()) << reply;
    }
    TestLine silent({.writeReply = 0});
    ASSERT_EQ(silent.Authenticate(DefaultAuthBlock()), "O");
    EXPECT_EQ(WriteBlock(silent, 0x81, SignedBlock(6)), "");
}

}  // namespace
}  // namespace zorvik::testing
