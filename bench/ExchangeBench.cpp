// bench-exchange: how far above the protocol's own pauses the read and write commands run, and
// how much processor time they take, over a real pty against the zorvik-sim program.
#include <stdlib.h>
#include <sys/resource.h>

#include <cstdint>
#include <cstdio>
#include <functional>
#include <optional>
#include <string>

#include "link/Clock.h"
#include "link/ConfigCommands.h"
#include "link/Dialogs.h"
#include "link/PortMap.h"
#include "link/SerialPort.h"
#include "tests/support/SimProcess.h"

namespace zorvik {
namespace {

constexpr int kDefaultRuns = 10;                // runs of each command
constexpr double kOverheadTargetPercent = 2.0;  // of the protocol's floor
constexpr double kCpuTargetPercent = 2.0;       // of the wall time

// Real time, adding up every pause the protocol asks for: the least a run could take.
class FloorClock : public Clock {
public:
    void Sleep(int ms) override {
        requestedMicros_ += std::int64_t{ms > 0 ? ms : 0} * 1000;
        inner_.Sleep(ms);
    }
    [[nodiscard]] std::int64_t NowMicros() override { return inner_.NowMicros(); }
    [[nodiscard]] std::int64_t RequestedMicros() const { return requestedMicros_; }

private:
    SystemClock inner_;
    std::int64_t requestedMicros_ = 0;
};

// No one to click: every message is counted, successes apart.
class QuietDialogs : public Dialogs {
public:
    int MessageBox(const std::string& text, const std::string& /*caption*/, int flags) override {
        if (flags != kMbInformation) {
            ++failures;
            lastFailure = text;
        }
        return kIdOk;
    }
    std::optional<std::string> OpenFileName(const FileDialogOptions& /*options*/) override {
        return std::nullopt;
    }
    std::optional<std::string> SaveFileName(const FileDialogOptions& /*options*/) override {
        return std::nullopt;
    }

    int failures = 0;
    std::string lastFailure;
};

[[nodiscard]] std::int64_t CpuMicros() {
    rusage usage{};
    ::getrusage(RUSAGE_SELF, &usage);
    const auto micros = [](const timeval& t) {
        return std::int64_t{t.tv_sec} * 1'000'000 + t.tv_usec;
    };
    return micros(usage.ru_utime) + micros(usage.ru_stime);
}

struct Figures {
    std::int64_t wallMicros = 0;
    std::int64_t floorMicros = 0;
    std::int64_t cpuMicros = 0;
    int failed = 0;
};

// Runs `command` `runs` times and adds up its time, its floor and its processor time.
[[nodiscard]] Figures Measure(int runs, FloorClock& clock, QuietDialogs& dialogs,
                              const std::function<bool()>& command) {
    Figures figures;
    for (int run = 0; run < runs; ++run) {
        const std::int64_t floorBefore = clock.RequestedMicros();
        const std::int64_t cpuBefore = CpuMicros();
        const std::int64_t start = clock.NowMicros();
        const bool ok = command();
        figures.wallMicros += clock.NowMicros() - start;
        figures.cpuMicros += CpuMicros() - cpuBefore;
        figures.floorMicros += clock.RequestedMicros() - floorBefore;
        if (!ok) {
            ++figures.failed;
            std::fprintf(stderr, "run %d failed: %s\n", run + 1, dialogs.lastFailure.c_str());
        }
    }
    return figures;
}

[[nodiscard]] bool Report(const char* name, int runs, const Figures& f) {
    const double wall = static_cast<double>(f.wallMicros) / 1000.0;
    const double floor = static_cast<double>(f.floorMicros) / 1000.0;
    const double over = wall - floor;
    const double overPercent = floor > 0 ? 100.0 * over / floor : 0.0;
    const double cpuPercent =
        wall > 0 ? 100.0 * static_cast<double>(f.cpuMicros) / 1000.0 / wall : 0.0;
    const bool met =
        f.failed == 0 && overPercent < kOverheadTargetPercent && cpuPercent < kCpuTargetPercent;
    std::printf(
        "%-6s runs %2d  wall %9.2f ms  floor %9.2f ms  overhead %7.2f ms (%5.2f %%)  "
        "cpu %5.2f %% of wall  failed %d  %s\n",
        name, runs, wall, floor, over, overPercent, cpuPercent, f.failed,
        met ? "within target" : "OUTSIDE TARGET");
    std::printf("       per run: wall %7.2f ms  floor %7.2f ms  overhead %5.2f ms\n", wall / runs,
                floor / runs, over / runs);
    return met;
}

int Main(int argc, char** argv) {
    int runs = kDefaultRuns;
    if (argc > 1) {
        runs = std::atoi(argv[1]);
        if (runs <= 0) {
            std::fprintf(stderr, "usage: bench-exchange [runs]\n");
            return 2;
        }
    }
    testing::SimProcess sim(ZORVIK_SIM_PROGRAM);
    if (sim.Name().empty()) {
        std::fprintf(stderr, "bench-exchange: zorvik-sim did not start (%s)\n", ZORVIK_SIM_PROGRAM);
        return 1;
    }
    const PortMap map = sim.Map();
    TComPort port(map, sim.Name());
    FloorClock clock;
    QuietDialogs dialogs;
    DeviceExchange exchange(port, clock, dialogs);

    std::optional<ConfigImage> image;
    const Figures read = Measure(runs, clock, dialogs, [&] {
        ReadResult result = ReadConfiguration(exchange, u"9466");
        if (result.image) {
            image = result.image;
        }
        return result.outcome == ReadOutcome::Read;
    });
    if (!image) {
        std::fprintf(stderr, "bench-exchange: no image could be read\n");
        return 1;
    }
    int round = 0;
    const Figures write = Measure(runs, clock, dialogs, [&] {
        ConfigImage next = *image;
        next[116] = static_cast<std::uint8_t>(1 + round++ % 24);  // a different image each time
        return WriteConfiguration(exchange, u"9466", {}, [&next] { return next; }) ==
               WriteOutcome::Stored;
    });

    std::printf("bench-exchange: %s on %s, real TComPort and real-time clock\n", sim.Name().c_str(),
                "zorvik-sim");
    const bool readMet = Report("read", runs, read);
    const bool writeMet = Report("write", runs, write);
    return readMet && writeMet ? 0 : 3;
}

}  // namespace
}  // namespace zorvik

int main(int argc, char** argv) {
    return zorvik::Main(argc, argv);
}
