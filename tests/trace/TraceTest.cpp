// The byte trace of a port against the device model: secrets never on it, in clear or in hex; the
// lines read back as the bytes that crossed the line; malformed traces refused.
#include "trace/Trace.h"

#include <gtest/gtest.h>

#include <algorithm>

#include <functional>
#include <string>
#include <vector>

#include "device/ConfigCommands.h"
#include "device/PasswordChange.h"
#include "device/SecurityCommand.h"
#include "tests/support/ExchangeRig.h"

namespace zorvik::testing {
namespace {

// A rig whose port is traced into `text`.
struct TracedRig {
    TracedRig() : trace(rig.clock, [this](std::string_view lines) { text += lines; }) {
        rig.port.SetObserver(&trace);
        trace.BeginSection("test");
    }
    ~TracedRig() { rig.port.SetObserver(nullptr); }

    ExchangeRig rig;
    std::string text;
    Trace trace;
};

// The ways a secret could show: its characters, and its bytes in the trace's hex.
void ExpectAbsent(const std::string& trace, const std::string& secret) {
    EXPECT_EQ(trace.find(secret), std::string::npos) << secret << " in clear:\n" << trace;
    const std::string hex = Hex(ToBytes(secret));
    EXPECT_EQ(trace.find(hex), std::string::npos) << secret << " in hex:\n" << trace;
}

TEST(Trace, NoPasswordOrDigestAppearsInClearOrInHex) {
    struct Case {
        const char* name;
        std::function<void(ExchangeRig&)> run;
        std::vector<std::string> secrets;
    };
    const std::vector<Case> cases = {
        {"read",
         [](ExchangeRig& rig) {
             rig.device.SetAccessPassword(u"7391");
             (void)ReadConfiguration(rig.exchange, u"7391");
         },
         {"7391", Hex(ReferencePasswordBlock("7391")).substr(12)}},
        {"password change",
         [](ExchangeRig& rig) {
             rig.device.SetAccessPassword(u"7391");
             (void)ChangeAccessPassword(rig.exchange, u"7391", u"8402", {});
         },
         {"7391", "8402", Hex(ReferencePasswordBlock("8402")).substr(12)}},
        {"security settings",
         [](ExchangeRig& rig) {
             AntiTheftSettings panel;
             panel.currentPassword = u"Qw3rtyUiop";
             panel.protection = true;
             panel.telephone = "486012345678";
             panel.changePassword = true;
             panel.newPassword = u"Zx9cvbnmAs";
             panel.repeatedPassword = panel.newPassword;
             EXPECT_EQ(SendSecuritySettings(rig.exchange, u"9466", panel),
                       SecurityOutcome::Updated);
         },
         {"9466", "Qw3rtyUiop", "Zx9cvbnmAs"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TracedRig traced;
        c.run(traced.rig);
        traced.trace.Flush();
        ASSERT_NE(traced.text.find("< 4F  |O|"), std::string::npos) << traced.text;
        for (const std::string& secret : c.secrets) {
            ExpectAbsent(traced.text, secret);
        }
    }
}

// Each byte event read back from the trace equals what crossed the line, with the password
// block, the SIM PIN's digits and the image's checksum masked, and the steps between them name
// the exchange's steps; the block carries the checksum's verdict.
TEST(Trace, ReadsBackAsTheBytesOnTheLineWithThePasswordMasked) {
    TracedRig traced;
    ASSERT_EQ(ReadConfiguration(traced.rig.exchange, u"9466").outcome, ReadOutcome::Read);
    traced.trace.Flush();
    for (const char* step : {"port opened COM1", "Ready banner wait, attempt 1", "command byte",
                             "authentication block", "status reply", "transfer", "port closed",
                             "message [Powodzenie]"}) {
        EXPECT_NE(traced.text.find(step), std::string::npos) << step << " in\n" << traced.text;
    }

    const TraceReadResult read = ReadTrace(traced.text);
    ASSERT_FALSE(read.error) << *read.error;
    Bytes host;
    Bytes device;
    std::vector<TraceEvent::Kind> kinds;
    for (const TraceEvent& event : read.events) {
        kinds.push_back(event.kind);
        if (event.kind == TraceEvent::Kind::ChecksumVerdict) {
            continue;
        }
        Bytes& side = event.kind == TraceEvent::Kind::HostBytes ? host : device;
        for (const TraceByte byte : event.bytes) {
            side.push_back(byte == kMaskedByte ? 0xEE : static_cast<std::uint8_t>(byte));
        }
    }
    EXPECT_EQ(kinds.front(), TraceEvent::Kind::Section);
    EXPECT_EQ(kinds[1], TraceEvent::Kind::Opened);
    EXPECT_EQ(kinds.back(), TraceEvent::Kind::Closed);
    Bytes expectedHost = traced.rig.port.HostBytes();
    std::fill(expectedHost.begin() + 2, expectedHost.begin() + 10, 0xEE);  // after 0x03, 0x00
    EXPECT_EQ(Hex(host), Hex(expectedHost));
    Bytes expectedDevice = traced.rig.port.DeviceBytes();
    const std::size_t block = 6;  // after "Ready" and "O"
    std::fill_n(expectedDevice.begin() + block + 106, 5, 0xEE);
    expectedDevice[block + 256] = 0xEE;
    EXPECT_EQ(Hex(device), Hex(expectedDevice));
    const auto read257 = std::find_if(read.events.begin(), read.events.end(), [](const auto& e) {
        return e.kind == TraceEvent::Kind::DeviceBytes && e.bytes.size() == 257;
    });
    ASSERT_NE(read257 + 1, read.events.end());
    EXPECT_EQ(read257[1],
              (TraceEvent{TraceEvent::Kind::ChecksumVerdict, read257[1].atMicros, {1}, {}}));
}

TEST(Trace, ReaderRefusesWhatIsNoTraceAndTakesReadsWithNothingBetweenAsOne) {
    const std::vector<std::string> bad = {
        "garbage\n",
        "    1.000 > \n",                  // no bytes
        "    1.000 > 0G  |.|\n",           // not hex
        "    1.000 > 0102  |..|\n",        // no space between bytes
        "     1.00 > 01  |.|\n",           // not microseconds
        "   -1.000 > 01  |.|\n",           // negative time
        "99999999999999.000 > 01  |.|\n",  // a time beyond any run
        "    1.000 ? something\n",         // no such kind
    };
    for (const std::string& text : bad) {
        const TraceReadResult read = ReadTrace("# title\n" + text);
        EXPECT_TRUE(read.error.has_value()) << text;
        EXPECT_TRUE(read.events.empty()) << text;
    }
    // Lines a mail program made CRLF, blank lines and unknown steps are taken.
    const TraceReadResult good = ReadTrace(
        "# t\r\n\r\n     0.001 = port opened COM4\r\n     2.500 = anything\r\n"
        "   250.000 < 52 65  |Re|\r\n   251.000 ! port error 3: ReadFile function failed\r\n");
    ASSERT_FALSE(good.error) << *good.error;
    ASSERT_EQ(good.events.size(), 4U);
    EXPECT_EQ(good.events[2],
              (TraceEvent{TraceEvent::Kind::DeviceBytes, 250000, {0x52, 0x65}, {}}));
    EXPECT_EQ(good.events[3].kind, TraceEvent::Kind::LineLost);

    // Reads straight after one another are one burst; a step between them keeps them apart.
    const TraceReadResult reads = ReadTrace(
        "# t\n   250.000 < 52 65 61 64 79  |Ready|\n   250.200 < 52 65  |Re|\n"
        "   250.300 = status reply\n   275.000 < 4F  |O|\n");
    ASSERT_FALSE(reads.error) << *reads.error;
    ASSERT_EQ(reads.events.size(), 3U);
    EXPECT_EQ(reads.events[1], (TraceEvent{TraceEvent::Kind::DeviceBytes,
                                           250000,
                                           {0x52, 0x65, 0x61, 0x64, 0x79, 0x52, 0x65},
                                           {}}));
    EXPECT_EQ(reads.events[2].atMicros, 275000);
}

// A line gone away is a failed write or read, or on Windows the failed queue count of a read;
// a port that would not open or close is not.
TEST(Trace, OnlyAFailedWriteReadOrQueueCountIsTheLineLost) {
    const struct {
        int code;
        bool lost;
    } rows[] = {{2, true}, {3, true}, {10, true}, {1, false}, {5, false}, {7, false}};
    for (const auto& row : rows) {
        const TraceReadResult read =
            ReadTrace("# t\n   251.000 ! port error " + std::to_string(row.code) + ": text\n");
        ASSERT_FALSE(read.error) << *read.error;
        EXPECT_EQ(!read.events.empty() && read.events.back().kind == TraceEvent::Kind::LineLost,
                  row.lost)
            << row.code;
    }
}

}  // namespace
}  // namespace zorvik::testing
