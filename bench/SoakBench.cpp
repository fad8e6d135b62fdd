// bench-soak: many read + write cycles and firmware updates against zorvik-sim, every one of which
// must succeed, with open descriptors and resident memory along the way (they must stay flat) and
// the spread of command times; then the processor's share of every bounded wait, against a
// device that never answers it.
#include <unistd.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "bench/BenchSupport.h"
#include "device/ConfigCommands.h"
#include "device/FirmwareUpdate.h"
#include "tests/support/NoProgress.h"

namespace zorvik {
namespace {

constexpr int kDefaultCycles = 1000;         // read + write cycles
constexpr int kDefaultUpdates = 50;          // firmware updates
constexpr int kFirmwareRecords = 10;         // records of the firmware file
constexpr double kWaitCpuTargetPercent = 5;  // of the wall time of any wait

using bench::CountingNotices;
using bench::Percentile;
using testing::NoProgress;

// Command times in microseconds, and the resources seen at the marked runs.
class Tally {
public:
    explicit Tally(std::vector<int> marks) : marks_(std::move(marks)) {}

    void Add(int run, std::int64_t micros) {
        times_.push_back(static_cast<double>(micros));
        if (std::find(marks_.begin(), marks_.end(), run) != marks_.end()) {
            std::printf("  after run %4d: %3d open descriptors, %6ld KiB resident\n", run,
                        testing::OpenDescriptors(), bench::ResidentKiB());
        }
    }

    void Print(const char* what) const {
        if (times_.empty()) {
            return;
        }
        std::printf("  %s: %zu commands, median %.1f ms, 99th percentile %.1f ms, max %.1f ms\n",
                    what, times_.size(), Percentile(times_, 0.5) / 1000.0,
                    Percentile(times_, 0.99) / 1000.0, Percentile(times_, 1.0) / 1000.0);
    }

private:
    std::vector<int> marks_;
    std::vector<double> times_;
};

// The machine's load averages over 1, 5 and 15 minutes: the soak's figures mean most beside them.
void PrintLoad(const char* when) {
    double load[3] = {0, 0, 0};
    if (::getloadavg(load, 3) == 3) {
        std::printf("  load average %s: %.2f %.2f %.2f (%ld processors)\n", when, load[0], load[1],
                    load[2], ::sysconf(_SC_NPROCESSORS_ONLN));
    }
}

[[nodiscard]] std::vector<int> Marks(int runs) {
    return {1, std::max(1, runs / 2), runs};
}

// 1,000 read + write cycles: every one must succeed.
[[nodiscard]] bool Cycles(int cycles, const std::vector<std::string>& simOptions) {
    bench::SimLink link(ZORVIK_SIM_PROGRAM, simOptions);
    if (!link.Started()) {
        std::fprintf(stderr, "bench-soak: zorvik-sim did not start\n");
        return false;
    }
    TComPort& port = link.Port();
    SystemClock clock;
    CountingNotices notices;
    DeviceExchange exchange(port, clock, notices);
    Tally reads(Marks(cycles));
    Tally writes({});
    int failed = 0;
    const std::int64_t start = clock.NowMicros();
    std::printf("read + write cycles against %s:\n", link.Sim().Name().c_str());
    PrintLoad("at the start");
    for (int cycle = 1; cycle <= cycles; ++cycle) {
        const std::int64_t t0 = clock.NowMicros();
        const ReadResult read = ReadConfiguration(exchange, u"9466");
        const std::int64_t t1 = clock.NowMicros();
        ConfigImage next = read.image.value_or(ConfigImage{});
        next[116] = static_cast<std::uint8_t>(1 + cycle % 24);  // a different image each time
        const bool wrote = read.image && WriteConfiguration(exchange, u"9466", {}, [&next] {
                                             return next;
                                         }) == WriteOutcome::Stored;
        const std::int64_t t2 = clock.NowMicros();
        if (read.outcome != ReadOutcome::Read || !wrote) {
            ++failed;
            std::fprintf(stderr, "cycle %d failed: %s\n", cycle, notices.lastFailure.c_str());
        }
        reads.Add(cycle, t1 - t0);
        writes.Add(cycle, t2 - t1);
    }
    reads.Print("read");
    writes.Print("write");
    PrintLoad("at the end");
    const double seconds = static_cast<double>(clock.NowMicros() - start) / 1e6;
    std::printf("  %d cycles in %.1f s (%.2f s a cycle), %d failed\n", cycles, seconds,
                seconds / cycles, failed);
    return failed == 0;
}

// Firmware updates of a 10-record file with verification: every one must succeed.
[[nodiscard]] bool Updates(int updates, const std::vector<std::string>& simOptions) {
    const std::string path = (std::filesystem::temp_directory_path() /
                              ("bench-soak-" + std::to_string(::getpid()) + ".bin"))
                                 .string();
    std::ofstream(path, std::ios::binary)
        << bench::FirmwareBytes(kFirmwareRecords * kFirmwareRecordSize);
    bench::SimLink link(ZORVIK_SIM_PROGRAM, simOptions);
    if (!link.Started()) {
        std::fprintf(stderr, "bench-soak: zorvik-sim did not start\n");
        return false;
    }
    TComPort& port = link.Port();
    SystemClock clock;
    CountingNotices notices;
    NoProgress bar;
    Tally tally(Marks(updates));
    int failed = 0;
    std::printf("firmware updates of %d records (verified) against %s:\n", kFirmwareRecords,
                link.Sim().Name().c_str());
    for (int update = 1; update <= updates; ++update) {
        const std::int64_t t0 = clock.NowMicros();
        FirmwareUpdate run(port, clock, notices, bar);
        const FirmwareOutcome outcome = run.Run(path, {true, false});
        tally.Add(update, clock.NowMicros() - t0);
        if (outcome != FirmwareOutcome::Done) {
            ++failed;
            std::fprintf(stderr, "update %d failed: %s\n", update, notices.lastFailure.c_str());
        }
    }
    tally.Print("update");
    PrintLoad("at the end");
    std::printf("  %d updates, %d failed\n", updates, failed);
    std::filesystem::remove(path);
    return failed == 0;
}

// The processor's share of one wait that runs out against a device that never answers it.
[[nodiscard]] bool WaitShare(const char* what, const std::vector<std::string>& faults,
                             const std::function<void(TComPort&, Clock&, Notices&)>& command) {
    bench::SimLink link(ZORVIK_SIM_PROGRAM, faults);
    if (!link.Started()) {
        std::fprintf(stderr, "bench-soak: zorvik-sim did not start\n");
        return false;
    }
    TComPort& port = link.Port();
    SystemClock clock;
    CountingNotices notices;
    const std::int64_t cpu0 = bench::CpuMicros();
    const std::int64_t t0 = clock.NowMicros();
    command(port, clock, notices);
    const double wall = static_cast<double>(clock.NowMicros() - t0);
    const double share = 100.0 * static_cast<double>(bench::CpuMicros() - cpu0) / wall;
    const bool met = share < kWaitCpuTargetPercent && !port.Connected();
    std::printf("  %-44s wall %6.0f ms  cpu %5.2f %% (target < %.0f %%)  %s  %s\n", what,
                wall / 1000.0, share, kWaitCpuTargetPercent,
                notices.lastFailure.empty() ? "(no message)" : notices.lastFailure.c_str(),
                met ? "within target" : "OUTSIDE TARGET");
    return met;
}

[[nodiscard]] bool Waits(const std::string& firmwarePath) {
    std::printf("processor share of each bounded wait, the device never answering it:\n");
    const auto read = [](TComPort& port, Clock& clock, Notices& notices) {
        DeviceExchange exchange(port, clock, notices);
        (void)ReadConfiguration(exchange, u"9466");
    };
    const auto write = [](TComPort& port, Clock& clock, Notices& notices) {
        DeviceExchange exchange(port, clock, notices);
        (void)WriteConfiguration(exchange, u"9466", {}, [] { return ConfigImage{}; });
    };
    const auto firmware = [&firmwarePath](TComPort& port, Clock& clock, Notices& notices) {
        NoProgress bar;
        FirmwareUpdate update(port, clock, notices, bar);
        (void)update.Run(firmwarePath, {true, false});
    };
    bool met = true;
    met &= WaitShare("banner wait (no banner)", {"--no-banner"}, read);
    met &= WaitShare("status wait (no status reply)", {"--silent-status"}, read);
    met &=
        WaitShare("transfer status wait (no reply to a write)", {"--write-reply", "none"}, write);
    met &= WaitShare("firmware letter wait (silent after page 0)",
                     {"--firmware-silent-after-page", "0"}, firmware);
    met &= WaitShare("firmware erase wait (8 s erase, then served)",
                     {"--firmware-erase-ms", "8000"}, firmware);
    return met;
}

int Main(int argc, char** argv) {
    int cycles = kDefaultCycles;
    int updates = kDefaultUpdates;
    std::vector<std::string> simOptions;
    bool waits = true;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--no-pacing") {
            simOptions.push_back(arg);
        } else if (arg == "--no-waits") {
            waits = false;
        } else if (arg == "--cycles" && i + 1 < argc) {
            cycles = std::atoi(argv[++i]);
        } else if (arg == "--updates" && i + 1 < argc) {
            updates = std::atoi(argv[++i]);
        } else {
            std::fprintf(stderr,
                         "usage: bench-soak [--cycles N] [--updates N] [--no-pacing] "
                         "[--no-waits]\n");
            return 2;
        }
    }
    bool met = true;
    if (cycles > 0) {
        met &= Cycles(cycles, simOptions);
    }
    if (updates > 0) {
        met &= Updates(updates, simOptions);
    }
    if (waits) {
        const std::string path = (std::filesystem::temp_directory_path() /
                                  ("bench-soak-wait-" + std::to_string(::getpid()) + ".bin"))
                                     .string();
        {
            std::ofstream file(path, std::ios::binary);
            for (int i = 0; i < 2 * kFirmwareRecordSize; ++i) {
                file.put(static_cast<char>(i & 0xFF));
            }
        }
        met &= Waits(path);
        std::filesystem::remove(path);
    }
    return met ? 0 : 3;
}

}  // namespace
}  // namespace zorvik

int main(int argc, char** argv) {
    return zorvik::Main(argc, argv);
}
