// A whole firmware update over a real pty, on real time, against the zorvik-sim program.
#include <chrono>
#include <string>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

#include "device/FirmwareUpdate.h"
#include "serial/Clock.h"
#include "serial/PortMap.h"
#include "serial/SerialPort.h"
#include "tests/support/FakeNotices.h"
#include "tests/support/NoProgress.h"
#include "tests/support/SimProcess.h"
#include "tests/support/TempFolder.h"

namespace zorvik::testing {
namespace {

using Bytes = std::vector<std::uint8_t>;

// The simulator sends without line pacing: at 57600 baud a read-back page leaves only 6 ms of
// the host's 52 ms pause spare, which a busy test machine can take from the simulator.
TEST(FirmwareOverPty, AFullFileIsProgrammedVerifiedAndStoredAsSent) {
    TempFolder folder;
    ASSERT_TRUE(folder.IsValid());
    const std::string stored = folder.PathOf("stored.bin");
    Bytes file(61680);
    for (std::size_t i = 0; i < file.size(); ++i) {
        file[i] = static_cast<std::uint8_t>((i * 7 + 13 + i / 257) & 0xFF);
    }
    const std::string path = folder.Write("firmware.bin", file);

    {
        SimProcess sim(ZORVIK_SIM_PROGRAM, {"--firmware-out", stored, "--no-pacing"});
        ASSERT_FALSE(sim.Name().empty()) << "the simulator did not start";
        const PortMap map = sim.Map();
        TComPort port(map, sim.Name());
        SystemClock clock;
        FakeNotices notices;
        NoProgress progress;
        FirmwareUpdate update(port, clock, notices, progress);

        EXPECT_EQ(update.Run(path, {true, true}), FirmwareOutcome::Done);
        EXPECT_TRUE(notices.told.empty());
        EXPECT_FALSE(port.Connected());

        // The simulator writes what it stored once it has taken the reset byte.
        for (int i = 0; i < 100 && TempFolder::Read(stored).size() < file.size(); ++i) {
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
        }
    }
    EXPECT_EQ(TempFolder::Read(stored), file);
}

}  // namespace
}  // namespace zorvik::testing
