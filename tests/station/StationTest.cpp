// The provisioning engine on the virtual clock: the rows the ports share, and a device's attempt
// at a row against the device model, on a line that wakes the device at the open and on one whose
// banner runs on the device's own clock.
#include <gtest/gtest.h>

#include "station/Attempt.h"
#include "station/Rows.h"
#include "tests/support/ExchangeRig.h"

namespace zorvik::testing {
namespace {

using station::AttemptEnd;
using station::Row;

// The whole image as its digest: the tests need equal images to have equal digests, nothing more.
std::string WholeImage(const ConfigImage& image) {
    return std::string(image.begin(), image.end());
}

ConfigImage ImageOf(std::uint8_t fill) {
    ConfigImage image{};
    image.fill(fill);
    return image;
}

bool AnyPort(const std::string&, const std::string&) {
    return true;
}

// r1 and r2 were done by an earlier run, r1 setting the new password 1111, r2 none; r3 and r4 are
// still to do, r4 after a run that may have left its device on its new password 4444.
std::vector<Row> Table() {
    return {{"r1", std::nullopt, u"1111", std::nullopt, ImageOf(1)},
            {"r2", std::nullopt, std::nullopt, std::nullopt, ImageOf(2)},
            {"r3", std::nullopt, std::nullopt, std::nullopt, ImageOf(3)},
            {"r4", std::nullopt, u"4444", std::nullopt, ImageOf(4)}};
}

TEST(Station, EachDeviceIsFoundForWhatItHoldsWhateverItsLineAndItsRefusals) {
    struct Case {
        const char* name;
        bool freeRunning;
        std::u16string devicePassword;
        ConfigImage deviceImage;
        bool earlierRuns;
        AttemptEnd::Kind kind;
        std::string row;          // the row the attempt ended with
        std::string held;         // HoldsFinished: the finished row
        std::u16string password;  // the device's password afterwards
        ConfigImage image;        // the device's image afterwards
        bool waitedOutSilence;
    };
    const ConfigImage fresh = DefaultDeviceImage();
    const std::vector<Case> cases = {
        {"a finished device on a free-running line", true, u"1111", ImageOf(1), true,
         AttemptEnd::Kind::HoldsFinished, "r3", "r1", u"1111", ImageOf(1), true},
        // Reopening the port wakes this one at once: no need to wait its silence out.
        {"a finished device on a line that wakes it at the open", false, u"1111", ImageOf(1), true,
         AttemptEnd::Kind::HoldsFinished, "r3", "r1", u"1111", ImageOf(1), false},
        {"a finished device that kept its password", true, u"9466", ImageOf(2), true,
         AttemptEnd::Kind::HoldsFinished, "r3", "r2", u"9466", ImageOf(2), false},
        {"a fresh device on a free-running line, resumed", true, u"9466", fresh, true,
         AttemptEnd::Kind::Done, "r3", "", u"9466", ImageOf(3), false},
        {"a fresh device on a free-running line, first run", true, u"9466", fresh, false,
         AttemptEnd::Kind::Done, "r3", "", u"9466", ImageOf(3), false},
        {"a half-done device on its new password takes its own row", true, u"4444", fresh, true,
         AttemptEnd::Kind::Done, "r4", "", u"4444", ImageOf(4), true},
        {"a device on a password nobody gave", true, u"0000", fresh, true,
         AttemptEnd::Kind::Refused, "r3", "", u"0000", fresh, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        DeviceFaults faults;
        faults.bannerFreeRunning = c.freeRunning;
        ExchangeRig rig(faults);
        rig.device.SetAccessPassword(c.devicePassword);
        rig.device.SetConfigImage(c.deviceImage);
        rig.exchange.ListenForBanner();
        const std::vector<Row> rows = Table();
        station::EarlierRuns earlier;
        if (c.earlierRuns) {
            earlier = {{"r1", "r2"}, {}, {"r4"}};
        }
        station::RowBook book(rows, earlier, WholeImage);
        const std::vector<Row> todo(rows.begin() + 2, rows.end());
        station::RowQueue queue(todo, AnyPort);
        const Row* taken = queue.Take("COM1");
        ASSERT_NE(taken, nullptr);
        station::Attempt attempt(rig.exchange, queue, book, *taken, u"9466", [] { return false; });

        const AttemptEnd end = attempt.Run();

        EXPECT_EQ(end.kind, c.kind);
        EXPECT_EQ(attempt.ForRow().id, c.row);
        EXPECT_EQ(end.heldRow, c.held);
        EXPECT_EQ(rig.device.AccessPassword(), c.password);
        EXPECT_EQ(rig.device.ConfigImage(), c.image);
        // A device that cannot see the port reopen stays silent 3 s after refusing; a look that
        // went on sooner found nothing.
        EXPECT_EQ(rig.clock.NowMicros() >= 3'000'000, c.waitedOutSilence);
    }
}

TEST(Station, ARowWhoseDeviceFailedGoesBackAndTheBookCountsIt) {
    DeviceFaults faults;
    faults.writeReply = 'E';
    ExchangeRig rig(faults);
    const std::vector<Row> rows = Table();
    station::RowBook book(rows, {}, WholeImage);
    station::RowQueue queue(rows, AnyPort);
    const Row* taken = queue.Take("COM1");
    station::Attempt attempt(rig.exchange, queue, book, *taken, u"9466", [] { return false; });

    const AttemptEnd end = attempt.Run();
    attempt.Settle(false);

    EXPECT_EQ(end.kind, AttemptEnd::Kind::WriteFailed);
    EXPECT_EQ(end.write, WriteOutcome::TransferBadChecksum);
    EXPECT_EQ(attempt.Reached(), station::Stage::ConfigurationSent);
    EXPECT_EQ(queue.Take("COM1")->id, "r1");
    const station::RowCounts counts = book.Counts();
    EXPECT_EQ(counts.failed, 1);
    EXPECT_EQ(counts.notStarted, 3);
}

TEST(Station, TheQueueGivesEachPortItsOwnRowsAndRunsOutOnlyWhenNoneIsBeingWritten) {
    std::vector<Row> rows = Table();
    rows[0].port = "COM2";
    station::RowQueue queue(
        rows, [](const std::string& given, const std::string& port) { return given == port; });
    const Row* first = queue.Take("COM1");
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(first->id, "r2");  // r1 waits for COM2
    EXPECT_EQ(queue.Take("COM2")->id, "r1");
    const Row* swapped = queue.Exchange(*first, "r4");
    ASSERT_NE(swapped, nullptr);
    EXPECT_EQ(swapped->id, "r4");
    EXPECT_EQ(queue.Take("COM1")->id, "r2");  // given back to the front
    EXPECT_EQ(queue.Take("COM1")->id, "r3");
    EXPECT_EQ(queue.Take("COM1"), nullptr);
    EXPECT_FALSE(queue.RunOut());
    EXPECT_TRUE(queue.AnyTaken());
    for (const char* id : {"r1", "r2", "r3"}) {
        queue.Finish(rows[static_cast<std::size_t>(id[1] - '1')], true);
    }
    EXPECT_FALSE(queue.RunOut());
    queue.Finish(*swapped, true);
    EXPECT_TRUE(queue.RunOut());
    EXPECT_FALSE(queue.AnyTaken());
}

}  // namespace
}  // namespace zorvik::testing
