// Reading and writing the configuration over a real pty, on real time, against zorvik-sim.
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "device/ConfigCommands.h"
#include "serial/Clock.h"
#include "serial/PortMap.h"
#include "serial/SerialPort.h"
#include "tests/support/FakeNotices.h"
#include "tests/support/SimProcess.h"

namespace zorvik::testing {
namespace {

TEST(ConfigCommandsOverPty, ReadEditWriteAndReadBackShowsTheEdit) {
    SimProcess sim(ZORVIK_SIM_PROGRAM);
    ASSERT_EQ(sim.Name(), "COM41");
    const PortMap map = sim.Map();
    TComPort port(map, sim.Name());
    SystemClock clock;
    FakeNotices notices;
    DeviceExchange exchange(port, clock, notices);

    const ReadResult first = ReadConfiguration(exchange, u"9466");
    ASSERT_EQ(first.outcome, ReadOutcome::Read);
    ConfigImage edited = *first.image;
    edited[116] = static_cast<std::uint8_t>(edited[116] == 12 ? 6 : 12);  // report interval

    EXPECT_EQ(WriteConfiguration(exchange, u"9466", {}, [&edited] { return edited; }),
              WriteOutcome::Stored);
    const ReadResult second = ReadConfiguration(exchange, u"9466");
    ASSERT_EQ(second.outcome, ReadOutcome::Read);
    EXPECT_EQ(*second.image, edited);
    EXPECT_FALSE(port.Connected());
    EXPECT_EQ(notices.told,
              (std::vector<Notice>{ReadOutcome::Read, WriteOutcome::Stored, ReadOutcome::Read}));
}

TEST(ConfigCommandsOverPty, ShortBlockFromTheDeviceIsRefused) {
    SimProcess sim(ZORVIK_SIM_PROGRAM, {"--short-block-on-read"});
    const PortMap map = sim.Map();
    TComPort port(map, sim.Name());
    SystemClock clock;
    FakeNotices notices;
    DeviceExchange exchange(port, clock, notices);

    EXPECT_EQ(ReadConfiguration(exchange, u"9466").outcome, ReadOutcome::BadBlock);
    EXPECT_EQ(notices.told, (std::vector<Notice>{ReadOutcome::BadBlock}));
}

}  // namespace
}  // namespace zorvik::testing
