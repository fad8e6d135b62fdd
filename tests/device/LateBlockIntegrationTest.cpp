// Blocks that leave the device late, over a real pty on real time: the configuration read and the
// firmware read-back take them whole, and a block that stays short still fails, in bounded time.
#include <chrono>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "device/ConfigCommands.h"
#include "device/FirmwareUpdate.h"
#include "serial/Clock.h"
#include "serial/SerialPort.h"
#include "tests/support/FakeNotices.h"
#include "tests/support/NoProgress.h"
#include "tests/support/SimProcess.h"
#include "tests/support/TempFolder.h"

namespace zorvik::testing {
namespace {

class LateBlockOverPty : public ::testing::TestWithParam<int> {};

TEST_P(LateBlockOverPty, ReadAndVerificationSucceed) {
    TempFolder folder;
    ASSERT_TRUE(folder.IsValid());
    std::vector<std::uint8_t> firmware(3 * 257);
    for (std::size_t i = 0; i < firmware.size(); ++i) {
        firmware[i] = static_cast<std::uint8_t>((i * 7 + 13) & 0xFF);
    }
    const std::string path = folder.Write("firmware.bin", firmware);

    SimProcess sim(ZORVIK_SIM_PROGRAM, {"--block-delay-ms", std::to_string(GetParam())});
    ASSERT_FALSE(sim.Name().empty()) << "the simulator did not start";
    const PortMap map = sim.Map();
    TComPort port(map, sim.Name());
    SystemClock clock;
    FakeNotices notices;
    DeviceExchange exchange(port, clock, notices);

    const ReadResult read = ReadConfiguration(exchange, u"9466");
    EXPECT_EQ(read.outcome, ReadOutcome::Read);
    EXPECT_EQ(read.received, 257);

    NoProgress progress;
    FirmwareUpdate update(port, clock, notices, progress);
    EXPECT_EQ(update.Run(path, {true, false}), FirmwareOutcome::Done);
    EXPECT_FALSE(port.Connected());
}

INSTANTIATE_TEST_SUITE_P(BlockDelayMs, LateBlockOverPty, ::testing::Values(0, 10, 100));

TEST(ShortBlockOverPty, FailsWithinItsBound) {
    SimProcess sim(ZORVIK_SIM_PROGRAM, {"--short-block-on-read", "--block-delay-ms", "100"});
    ASSERT_FALSE(sim.Name().empty()) << "the simulator did not start";
    const PortMap map = sim.Map();
    TComPort port(map, sim.Name());
    SystemClock clock;
    FakeNotices notices;
    DeviceExchange exchange(port, clock, notices);

    const auto start = std::chrono::steady_clock::now();
    const ReadResult read = ReadConfiguration(exchange, u"9466");
    const auto took = std::chrono::steady_clock::now() - start;
    EXPECT_EQ(read.outcome, ReadOutcome::BadBlock);
    EXPECT_EQ(read.received, 200);
    // Banner and status take under a second; the short block is given up 100 ms after its last
    // byte. The bound is generous for a loaded machine, yet far below a wait without one.
    EXPECT_LT(took, std::chrono::seconds(5));
}

}  // namespace
}  // namespace zorvik::testing
