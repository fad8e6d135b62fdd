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
#include "device/ConfigCommands.h"
#include "tests/support/Ser2net.h"
#include "trace/TraceFile.h"

namespace zorvik {
namespace {

using bench::CountingNotices;
using bench::CpuMicros;
using bench::FloorClock;

constexpr int kDefaultRuns = 10;                       // runs of each command
constexpr double kOverheadTargetPercent = 2.0;         // of the protocol's floor, on a pty
constexpr double kNetworkOverheadTargetPercent = 5.0;  // the same over RFC 2217 on loopback
constexpr double kCpuTargetPercent = 2.0;              // of the wall time

struct Figures {
    std::int64_t wallMicros = 0;
    std::int64_t floorMicros = 0;
    std::int64_t cpuMicros = 0;
    int failed = 0;
};

// Runs `command` `runs` times and adds up its time, its floor and its processor time.
[[nodiscard]] Figures Measure(int runs, FloorClock& clock, CountingNotices& notices,
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
            std::fprintf(stderr, "run %d failed: %s\n", run + 1, notices.lastFailure.c_str());
        }
    }
    return figures;
}

[[nodiscard]] bool Report(const char* name, int runs, const Figures& f, double overheadTarget) {
    const double wall = static_cast<double>(f.wallMicros) / 1000.0;
    const double floor = static_cast<double>(f.floorMicros) / 1000.0;
    const double over = wall - floor;
    const double overPercent = floor > 0 ? 100.0 * over / floor : 0.0;
    const double cpuPercent =
        wall > 0 ? 100.0 * static_cast<double>(f.cpuMicros) / 1000.0 / wall : 0.0;
    const bool met =
        f.failed == 0 && overPercent < overheadTarget && cpuPercent < kCpuTargetPercent;
    std::printf(
        "%-6s runs %2d  wall %9.2f ms  floor %9.2f ms  overhead %7.2f ms (%5.2f %%)  "
        "cpu %5.2f %% of wall  failed %d  %s\n",
        name, runs, wall, floor, over, overPercent, cpuPercent, f.failed,
        met ? "within target" : "OUTSIDE TARGET");
    std::printf("       per run: wall %7.2f ms  floor %7.2f ms  overhead %5.2f ms\n", wall / runs,
                floor / runs, over / runs);
    return met;
}

// Reads and then writes `runs` times on `port` and prints the figures under `title`; with
// `tracePath`, every exchange is traced to that file.
[[nodiscard]] bool RunCommands(TCustomComPort& port, int runs, const std::string& title,
                               double overheadTarget, const std::optional<std::string>& tracePath) {
    FloorClock clock;
    CountingNotices notices;
    DeviceExchange exchange(port, clock, notices);
    std::unique_ptr<TraceFile> trace;
    if (tracePath) {
        trace = std::make_unique<TraceFile>(*tracePath, clock);
        trace->Attach(port);
        trace->Log().SectionPerOpen("bench-exchange");
    }

    std::optional<ConfigImage> image;
    const Figures read = Measure(runs, clock, notices, [&] {
        ReadResult result = ReadConfiguration(exchange, u"9466");
        if (result.image) {
            image = result.image;
        }
        return result.outcome == ReadOutcome::Read;
    });
    if (!image) {
        std::fprintf(stderr, "bench-exchange: no image could be read (%s)\n", title.c_str());
        return false;
    }
    int round = 0;
    const Figures write = Measure(runs, clock, notices, [&] {
        ConfigImage next = *image;
        next[116] = static_cast<std::uint8_t>(1 + round++ % 24);  // a different image each time
        return WriteConfiguration(exchange, u"9466", {}, [&next] { return next; }) ==
               WriteOutcome::Stored;
    });

    std::printf("bench-exchange: %s, %s\n", title.c_str(),
                tracePath ? ("traced to " + *tracePath).c_str() : "not traced");
    const bool readMet = Report("read", runs, read, overheadTarget);
    const bool writeMet = Report("write", runs, write, overheadTarget);
    return readMet && writeMet;
}

int Main(int argc, char** argv) {
    int runs = kDefaultRuns;
    bool network = false;
    std::optional<std::string> tracePath;  // trace every exchange to this file
    for (int i = 1; i < argc; ++i) {
        if (std::string(argv[i]) == "--rfc2217") {
            network = true;
        } else if (std::string(argv[i]) == "--trace" && i + 1 < argc) {
            tracePath = argv[++i];
        } else if ((runs = std::atoi(argv[i])) <= 0) {
            std::fprintf(stderr, "usage: bench-exchange [runs] [--rfc2217] [--trace FILE]\n");
            return 2;
        }
    }
    bench::SimLink link(ZORVIK_SIM_PROGRAM);
    if (!link.Started()) {
        std::fprintf(stderr, "bench-exchange: zorvik-sim did not start (%s)\n", ZORVIK_SIM_PROGRAM);
        return 1;
    }
    bool met = RunCommands(link.Port(), runs,
                           link.Sim().Name() + " on zorvik-sim, real TComPort and real-time clock",
                           kOverheadTargetPercent, tracePath);
    if (!network) {
        return met ? 0 : 3;
    }

    // The same device behind ser2net on the loopback interface, reached over RFC 2217.
    testing::SimProcess sim(ZORVIK_SIM_PROGRAM);
    if (sim.Name().empty()) {
        std::fprintf(stderr, "bench-exchange: zorvik-sim did not start (%s)\n", ZORVIK_SIM_PROGRAM);
        return 1;
    }
    testing::Ser2net server(sim.PtyPath(), testing::Ser2net::Protocol::Rfc2217);
    if (server.Address().empty()) {
        std::fprintf(stderr, "bench-exchange: ser2net did not start: %s\n", server.Log().c_str());
        return 1;
    }
    const PortMap map;
    TComPort port(map, server.Address());
    met = RunCommands(port, runs, server.Address() + " (ser2net on loopback, zorvik-sim behind it)",
                      kNetworkOverheadTargetPercent, tracePath) &&
          met;
    return met ? 0 : 3;
}

}  // namespace
}  // namespace zorvik

int main(int argc, char** argv) {
    return zorvik::Main(argc, argv);
}
