// Reading and writing the configuration against the device model: bytes, pauses and notices.
#include "device/ConfigCommands.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>

#include "tests/support/ExchangeRig.h"

namespace zorvik::testing {
namespace {

Bytes BlockOf(const ConfigImage& image) {
    Bytes block(image.begin(), image.end());
    block.push_back(ReferenceCrc8(block, 0x07));
    return block;
}

ConfigImage PatternImage() {
    ConfigImage image{};
    for (std::size_t i = 0; i < image.size(); ++i) {
        image[i] = static_cast<std::uint8_t>((i * 7 + 13) & 0xFF);
    }
    return image;
}

std::int64_t WireTimeOf(const MemoryComPort& port, WireEvent::Kind kind, const Bytes& bytes) {
    for (const WireEvent& event : port.wire) {
        if (event.kind == kind && event.bytes == bytes) {
            return event.atMicros;
        }
    }
    ADD_FAILURE() << "not on the line: " << Hex(bytes);
    return -1;
}

// The common start of every exchange that got past the password.
std::vector<std::string> Accepted() {
    return {Opened(), Device("Ready"), Host({0x03}), Host(ReferenceAuthBlock("9466")), Device("O")};
}

// A framing fault and what each command must tell of it.
struct FramingRow {
    const char* name;
    DeviceFaults faults;
    std::vector<std::string> lineBeforeMessage;
};

std::vector<FramingRow> FramingRows() {
    DeviceFaults noBanner;
    noBanner.noBanner = true;
    DeviceFaults reject;
    reject.rejectPassword = true;
    DeviceFaults silent;
    silent.silentStatus = true;
    const std::vector<std::string> sent = {Opened(), Device("Ready"), Host({0x03}),
                                           Host(ReferenceAuthBlock("9466"))};
    return {
        {"no banner", noBanner, {Opened()}},
        {"wrong password", reject, Then(sent, {Device("R")})},
        {"no status", silent, sent},
    };
}

class WriteRun {
public:
    explicit WriteRun(ExchangeRig& rig, ConfigImage image = PatternImage())
        : rig_(rig), image_(image) {}

    WriteOutcome Run(const std::u16string& password = u"9466") {
        return WriteConfiguration(
            rig_.exchange, password, [this] { rig_.Note("password accepted"); },
            [this] {
                rig_.Note("image encoded");
                return image_;
            });
    }

private:
    ExchangeRig& rig_;
    ConfigImage image_;
};

TEST(ReadCommand, SuccessfulReadClosesThePortThenShowsItsMessageAndGivesTheImage) {
    ExchangeRig rig;
    const ConfigImage stored = rig.device.ConfigImage();
    const ReadResult result = ReadConfiguration(rig.exchange, u"9466");

    EXPECT_EQ(result.outcome, ReadOutcome::Read);
    ASSERT_TRUE(result.image.has_value());
    EXPECT_EQ(*result.image, stored);
    EXPECT_EQ(rig.log, Then(Accepted(), {Host({0x01}), Device(BlockOf(stored)), Host({0x41}),
                                         Closed(), Told(ReadOutcome::Read)}));
}

TEST(ReadCommand, BlockIsTakenInOneReadAfterFiftyTwoPausesOfOneMillisecond) {
    ExchangeRig rig;
    (void)ReadConfiguration(rig.exchange, u"9466");
    const std::int64_t asked = WireTimeOf(rig.port, WireEvent::Kind::HostToDevice, {0x01});
    const std::int64_t taken =
        WireTimeOf(rig.port, WireEvent::Kind::DeviceToHost, BlockOf(rig.device.ConfigImage()));
    EXPECT_EQ(taken - asked, 52'000);
    EXPECT_EQ(WireTimeOf(rig.port, WireEvent::Kind::HostToDevice, {0x41}), taken);
}

TEST(ReadCommand, FramingFailuresAreToldAsTheReadsOwn) {
    const std::vector<ReadOutcome> outcomes = {ReadOutcome::NoReady, ReadOutcome::WrongPassword,
                                               ReadOutcome::NoAnswer};
    const std::vector<FramingRow> rows = FramingRows();
    for (std::size_t i = 0; i < rows.size(); ++i) {
        SCOPED_TRACE(rows[i].name);
        ExchangeRig rig(rows[i].faults);
        const ReadResult result = ReadConfiguration(rig.exchange, u"9466");
        EXPECT_EQ(result.outcome, outcomes[i]);
        EXPECT_FALSE(result.image.has_value());
        EXPECT_EQ(rig.log, Then(rows[i].lineBeforeMessage, {Told(outcomes[i]), Closed()}));
    }
}

TEST(ReadCommand, PasswordOfOtherThanFourCharactersNeverTouchesThePort) {
    for (const std::u16string& password : {std::u16string(u"946"), std::u16string()}) {
        ExchangeRig rig;
        const ReadResult result = ReadConfiguration(rig.exchange, password);
        EXPECT_EQ(result.outcome, ReadOutcome::BadPassword);
        EXPECT_EQ(rig.log, (std::vector<std::string>{Told(ReadOutcome::BadPassword)}));
        EXPECT_TRUE(rig.port.wire.empty());
    }
}

TEST(ReadCommand, OneFlippedBitInTheChecksumIsRefusedAfterTheClosingByte) {
    DeviceFaults faults;
    faults.badChecksumOnRead = true;
    ExchangeRig rig(faults);
    const ReadResult result = ReadConfiguration(rig.exchange, u"9466");

    EXPECT_EQ(result.outcome, ReadOutcome::BadBlock);
    EXPECT_FALSE(result.image.has_value());
    const Bytes got = rig.port.DeviceBytes();
    ASSERT_EQ(got.size(), 6U + 257U);
    const Bytes good = BlockOf(rig.device.ConfigImage());
    EXPECT_TRUE(std::equal(good.begin(), good.end() - 1, got.begin() + 6));
    const std::uint8_t flipped = got.back() ^ good.back();
    EXPECT_TRUE(flipped != 0 && (flipped & (flipped - 1)) == 0) << "not a single bit";
    EXPECT_EQ(std::vector<std::string>(rig.log.end() - 3, rig.log.end()),
              (std::vector<std::string>{Host({0x41}), Closed(), Told(ReadOutcome::BadBlock)}));
}

TEST(ReadCommand, ShortBlockIsRefusedEvenWhenItsZeroTailMatchesTheChecksum) {
    // A stored image whose checksum is 0x00 and whose bytes from 200 on are zero: cut off after
    // 200 bytes, its tail left zero, the block looks exactly like the stored one.
    ConfigImage stored = DefaultDeviceImage();
    for (int value = 0; value < 256; ++value) {
        stored[131] = static_cast<std::uint8_t>(value);
        if (ReferenceCrc8(Bytes(stored.begin(), stored.end()), 0x07) == 0x00) {
            break;
        }
    }
    ASSERT_EQ(ReferenceCrc8(Bytes(stored.begin(), stored.end()), 0x07), 0x00);
    ASSERT_TRUE(std::all_of(stored.begin() + 200, stored.end(), [](auto b) { return b == 0; }));

    DeviceFaults faults;
    faults.shortBlockOnRead = true;
    ExchangeRig rig(faults);
    rig.device.SetConfigImage(stored);
    const ReadResult result = ReadConfiguration(rig.exchange, u"9466");

    EXPECT_EQ(result.outcome, ReadOutcome::BadBlock);
    EXPECT_FALSE(result.image.has_value());
    EXPECT_EQ(rig.log,
              Then(Accepted(), {Host({0x01}), Device(Bytes(stored.begin(), stored.begin() + 200)),
                                Host({0x41}), Closed(), Told(ReadOutcome::BadBlock)}));
}

TEST(ReadCommand, PortErrorReachesTheCallerAndTheNextReadRecovers) {
    ExchangeRig rig;
    rig.port.FailWritesAfter(2, EIO);  // 0x03 and the block go out, 0x01 does not
    EXPECT_THROW((void)ReadConfiguration(rig.exchange, u"9466"), EComPort);
    EXPECT_FALSE(rig.port.Connected()) << "released before the error reaches the caller";
    EXPECT_EQ(rig.log.back(), Closed());
    EXPECT_TRUE(rig.notices.told.empty());

    rig.log.clear();
    const ReadResult again = ReadConfiguration(rig.exchange, u"9466");
    EXPECT_EQ(again.outcome, ReadOutcome::Read);
    ASSERT_GE(rig.log.size(), 1U);
    EXPECT_EQ(rig.log[0], Opened());
}

TEST(WriteCommand, SuccessfulWriteSendsTheImageEncodedAfterThePasswordAndTheDeviceStoresIt) {
    ExchangeRig rig;
    EXPECT_EQ(WriteRun(rig).Run(), WriteOutcome::Stored);
    EXPECT_EQ(rig.log, Then(Accepted(), {"password accepted", "image encoded", Host({0x81}),
                                         Host(BlockOf(PatternImage())), Host({0x00}), Device("O"),
                                         Host({0xC1}), Closed(), Told(WriteOutcome::Stored)}));
    EXPECT_EQ(rig.device.ConfigImage(), PatternImage());
}

TEST(WriteCommand, VerdictIsFirstPolledFiftyTwoPlusTwentyFiveMillisecondsAfterTheBlock) {
    ExchangeRig rig;
    (void)WriteRun(rig).Run();
    const std::int64_t sent = WireTimeOf(rig.port, WireEvent::Kind::HostToDevice, {0x00});
    EXPECT_EQ(WireTimeOf(rig.port, WireEvent::Kind::HostToDevice, BlockOf(PatternImage())), sent);
    // The device answers within the first poll.
    std::int64_t verdict = -1;
    for (const WireEvent& event : rig.port.wire) {
        if (event.kind == WireEvent::Kind::DeviceToHost && event.atMicros > sent) {
            verdict = event.atMicros;
        }
    }
    EXPECT_EQ(verdict - sent, 77'000);
}

TEST(WriteCommand, WrittenImageIsReadBackUnchanged) {
    ExchangeRig rig;
    (void)WriteRun(rig).Run();
    const ReadResult back = ReadConfiguration(rig.exchange, u"9466");
    ASSERT_TRUE(back.image.has_value());
    EXPECT_EQ(*back.image, PatternImage());
}

TEST(WriteCommand, FramingFailuresAreToldAsTheWritesOwn) {
    const std::vector<WriteOutcome> outcomes = {WriteOutcome::NoReady, WriteOutcome::WrongPassword,
                                                WriteOutcome::NoAnswer};
    const std::vector<FramingRow> rows = FramingRows();
    for (std::size_t i = 0; i < rows.size(); ++i) {
        SCOPED_TRACE(rows[i].name);
        ExchangeRig rig(rows[i].faults);
        const ConfigImage before = rig.device.ConfigImage();
        EXPECT_EQ(WriteRun(rig).Run(), outcomes[i]);
        // Nothing encoded, the password box untouched.
        EXPECT_EQ(rig.log, Then(rows[i].lineBeforeMessage, {Told(outcomes[i]), Closed()}));
        EXPECT_EQ(rig.device.ConfigImage(), before);
    }
}

TEST(WriteCommand, RefusedTransferIsReportedAfterThePasswordWasAcceptedAndGetsNoClosingByte) {
    struct Row {
        char reply;
        WriteOutcome outcome;
        std::vector<std::string> tail;
    };
    const std::vector<Row> rows = {
        {'R',
         WriteOutcome::TransferWrongPassword,
         {Device("R"), Told(WriteOutcome::TransferWrongPassword), Closed()}},
        {'E',
         WriteOutcome::TransferBadChecksum,
         {Device("E"), Told(WriteOutcome::TransferBadChecksum), Closed()}},
        {0, WriteOutcome::TransferNoAnswer, {Told(WriteOutcome::TransferNoAnswer), Closed()}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.reply);
        DeviceFaults faults;
        faults.writeReply = row.reply;
        ExchangeRig rig(faults);
        EXPECT_EQ(WriteRun(rig).Run(), row.outcome);
        EXPECT_EQ(rig.log,
                  Then(Then(Accepted(), {"password accepted", "image encoded", Host({0x81}),
                                         Host(BlockOf(PatternImage())), Host({0x00})}),
                       row.tail));
    }
}

TEST(WriteCommand, SilentDeviceIsGivenOneHundredPollsAfterTheBlock) {
    DeviceFaults faults;
    faults.writeReply = 0;
    ExchangeRig rig(faults);
    (void)WriteRun(rig).Run();
    const std::int64_t sent = WireTimeOf(rig.port, WireEvent::Kind::HostToDevice, {0x00});
    EXPECT_EQ(rig.clock.NowMicros() - sent, 52'000 + 100 * 25'000);
}

TEST(WriteCommand, PasswordOfOtherThanFourCharactersNeverTouchesThePortNorTheControls) {
    ExchangeRig rig;
    EXPECT_EQ(WriteRun(rig).Run(u"94"), WriteOutcome::BadPassword);
    EXPECT_EQ(rig.log, (std::vector<std::string>{Told(WriteOutcome::BadPassword)}));
    EXPECT_TRUE(rig.port.wire.empty());
}

TEST(WriteCommand, PortErrorReachesTheCallerAndTheNextWriteRecovers) {
    ExchangeRig rig;
    const ConfigImage before = rig.device.ConfigImage();
    rig.port.FailWritesAfter(3, EIO);  // the block itself fails
    EXPECT_THROW((void)WriteRun(rig).Run(), EComPort);
    EXPECT_FALSE(rig.port.Connected());
    EXPECT_TRUE(rig.notices.told.empty());
    EXPECT_EQ(rig.device.ConfigImage(), before);

    EXPECT_EQ(WriteRun(rig).Run(), WriteOutcome::Stored);
    EXPECT_EQ(rig.device.ConfigImage(), PatternImage());
}

}  // namespace
}  // namespace zorvik::testing
