// bench-exchange: how far above the protocol's own pauses the read and write commands run, and
// how much processor time they take, over a real pty against the zorvik-sim program.
#include <stdlib.h>

#include <cstdint>
#include <cstdio>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "bench/BenchSupport.h"
#include "link/ConfigCommands.h"
#include "link/TraceFile.h"

namespace zorvik {
namespace {

using bench::CountingDialogs;
using bench::CpuMicros;
using bench::FloorClock;

constexpr int kDefaultRuns = 10;                // runs of each command
constexpr double kOverheadTargetPercent = 2.0;  // of the protocol's floor
constexpr double kCpuTargetPercent = 2.0;       // of the wall time

struct Figures {
    std::int64_t wallMicros = 0;
    std::int64_t floorMicros = 0;
    std::int64_t cpuMicros = 0;
    int failed = 0;
};

// Runs `command` `runs` times and adds up its time, its floor and its processor time.
[[nodiscard]] Figures Measure(int runs, FloorClock& clock, CountingDialogs& dialogs,
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
    std::optional<std::string> tracePath;  // trace every exchange to this file
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--trace" && i + 1 < argc) {
            tracePath = argv[++i];
            continue;
        }
        runs = std::atoi(argv[i]);
        if (runs <= 0) {
            std::fprintf(stderr, "usage: bench-exchange [runs] [--trace FILE]\n");
            return 2;
        }
    }
    bench::SimLink link(ZORVIK_SIM_PROGRAM);
    if (!link.Started()) {
        std::fprintf(stderr, "bench-exchange: zorvik-sim did not start (%s)\n", ZORVIK_SIM_PROGRAM);
        return 1;
    }
    FloorClock clock;
    CountingDialogs dialogs;
    DeviceExchange exchange(link.Port(), clock, dialogs);
    std::unique_ptr<TraceFile> trace;
    if (tracePath) {
        trace = std::make_unique<TraceFile>(*tracePath, clock);
        trace->Attach(link.Port());
        trace->Log().SectionPerOpen("bench-exchange");
    }

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

    std::printf("bench-exchange: %s on %s, real TComPort and real-time clock, %s\n",
                link.Sim().Name().c_str(), "zorvik-sim",
                tracePath ? ("traced to " + *tracePath).c_str() : "not traced");
    const bool readMet = Report("read", runs, read);
    const bool writeMet = Report("write", runs, write);
    return readMet && writeMet ? 0 : 3;
}

}  // namespace
}  // namespace zorvik

int main(int argc, char** argv) {
    return zorvik::Main(argc, argv);
}
