// The replay's timing: each burst half way between the event before it and its traced read, in
// the trace's time counted from the last contact with the host; a close and an open that reach it
// as one flush, or as two, or before the host's last bytes.
#include "sim/TraceReplay.h"

#include <gtest/gtest.h>

#include <memory>
#include <sstream>

namespace zorvik {
namespace {

using Kind = TraceEvent::Kind;
using Bytes = std::vector<std::uint8_t>;

// Two exchanges of one command: a banner and a status reply, then the port closed and opened
// again for a second banner.
std::vector<TraceEvent> TwoExchanges() {
    return {
        {Kind::Section, 0, {}, {}},
        {Kind::Opened, 0, {}, {}},
        {Kind::DeviceBytes, 250'000, {'R', 'e', 'a', 'd', 'y'}, {}},
        {Kind::HostBytes, 250'100, {0x03, kMaskedByte}, {}},
        {Kind::DeviceBytes, 275'000, {'O'}, {}},
        {Kind::HostBytes, 276'000, {0x41}, {}},
        {Kind::Closed, 276'100, {}, {}},
        {Kind::Opened, 276'200, {}, {}},
        {Kind::DeviceBytes, 526'000, {'R', 'e', 'a', 'd', 'y'}, {}},
        {Kind::Closed, 2'800'000, {}, {}},
    };
}

void Send(TraceReplay& replay, Bytes bytes, std::int64_t at) {
    replay.Receive(bytes.data(), bytes.size(), at);
}

// Plays the first exchange, the host opening at 1 s; returns when its last byte has arrived.
void FirstExchange(TraceReplay& replay) {
    replay.HostFlushed(1'000'000);
    ASSERT_EQ(replay.NextOutputAt(1'000'000), 1'125'000);
    EXPECT_TRUE(replay.TakeOutput(1'124'999).empty());
    EXPECT_EQ(replay.TakeOutput(1'125'000), Bytes({'R', 'e', 'a', 'd', 'y'}));
    Send(replay, {0x03, 0x5A}, 1'300'000);  // the masked byte may be anything
    EXPECT_EQ(replay.NextOutputAt(1'300'000), 1'300'000 + (275'000 - 250'100) / 2);
    EXPECT_EQ(replay.TakeOutput(1'312'450), Bytes({'O'}));
    EXPECT_TRUE(replay.TakeLog().empty());
}

TEST(TraceReplay, BurstsGoHalfWayToTheirTracedReadFromTheLastContact) {
    TraceReplay replay(TwoExchanges());
    FirstExchange(replay);
    Send(replay, {0x41}, 1'330'000);
    // The close and the open as two flushes: the second banner counts from the open.
    replay.HostFlushed(1'330'100);
    replay.HostFlushed(1'330'300);
    EXPECT_EQ(replay.NextOutputAt(1'330'300), 1'330'300 + (526'000 - 276'200) / 2);
    EXPECT_EQ(replay.TakeOutput(1'455'200), Bytes({'R', 'e', 'a', 'd', 'y'}));
    EXPECT_FALSE(replay.Finished());
    replay.HostFlushed(3'000'000);
    EXPECT_TRUE(replay.Finished());
}

TEST(TraceReplay, CloseAndOpenMayComeAsOneFlushOrBeforeTheHostsLastByte) {
    {
        SCOPED_TRACE("one flush for both");
        TraceReplay replay(TwoExchanges());
        FirstExchange(replay);
        Send(replay, {0x41}, 1'330'000);
        replay.HostFlushed(1'330'100);
        EXPECT_EQ(replay.NextOutputAt(1'330'100), 1'330'100 - 276'100 + (276'200 + 526'000) / 2);
    }
    {
        SCOPED_TRACE("both flushes before the closing byte");
        TraceReplay replay(TwoExchanges());
        FirstExchange(replay);
        replay.HostFlushed(1'330'100);
        replay.HostFlushed(1'330'200);
        EXPECT_EQ(replay.NextOutputAt(1'330'200), std::nullopt);  // still waits for 0x41
        Send(replay, {0x41}, 1'330'300);
        EXPECT_EQ(replay.NextOutputAt(1'330'300), 1'330'200 + (526'000 - 276'200) / 2);
    }
}

TEST(TraceReplay, TellsWhereTheHostStraysAndEndsWhereTheLineWentAway) {
    TraceReplay replay({{Kind::Opened, 0, {}, {}},
                        {Kind::HostBytes, 10, {0x03}, {}},
                        {Kind::LineLost, 20, {}, {}},
                        {Kind::DeviceBytes, 30, {'O'}, {}}});
    replay.HostFlushed(5);
    Send(replay, {0x01}, 6);
    const std::vector<std::string> log = replay.TakeLog();
    ASSERT_EQ(log.size(), 1U);
    EXPECT_NE(log[0].find("host sent 01 where the trace shows 03"), std::string::npos) << log[0];
    EXPECT_TRUE(replay.LineLost());
    EXPECT_TRUE(replay.TakeOutput(1'000'000).empty());
}

TEST(TraceReplay, PlaysOnlyThePortOnWhichTheDeviceAnsweredOfAPortSearch) {
    TraceReplay replay({{Kind::Opened, 0, {}, "COM3"},
                        {Kind::Closed, 800'000, {}, {}},
                        {Kind::Opened, 800'100, {}, "COM41"},
                        {Kind::DeviceBytes, 1'400'100, {'R', 'e', 'a', 'd', 'y'}, {}},
                        {Kind::Closed, 1'600'000, {}, {}},
                        {Kind::Opened, 1'600'100, {}, "COM42"},
                        {Kind::Closed, 2'400'000, {}, {}}});
    replay.HostFlushed(10'000'000);
    EXPECT_EQ(replay.TakeOutput(10'300'000), Bytes({'R', 'e', 'a', 'd', 'y'}));
    replay.HostFlushed(10'500'000);
    EXPECT_TRUE(replay.Finished());
}

// Read from a stream as played: two device reads in a row are one burst, and the next opening
// after the end plays it again from the top of the stream.
TEST(TraceReplay, StreamedTraceGathersBurstsAndPlaysAgainAfterItsEnd) {
    const std::string text =
        "# read\n"
        "     0.000 = port opened COM41 [x]\n"
        "   250.000 < 52 65  |Re|\n"
        "   250.001 < 61 64 79  |ady|\n"
        "   300.000 = port closed\n";
    TraceReplay replay(std::make_unique<TraceReader>(std::make_unique<std::istringstream>(text)));
    for (const std::int64_t start : {1'000'000, 5'000'000}) {
        replay.HostFlushed(start);
        EXPECT_EQ(replay.TakeOutput(start + 125'000), Bytes({'R', 'e', 'a', 'd', 'y'}));
        replay.HostFlushed(start + 200'000);
        EXPECT_TRUE(replay.Finished());
    }
}

}  // namespace
}  // namespace zorvik
