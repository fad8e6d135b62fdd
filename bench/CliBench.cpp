// bench-cli: zorvik-cli run as a program against zorvik-sim on a pty. Prints the wall time of
// `read` and `write` against the protocol's floor and the processor time they take, the start-up
// time of `zorvik-cli --version`, and a full firmware flash's host time per record and CPU.
//
// Usage: bench-cli [runs]
#include <signal.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "bench/BenchSupport.h"
#include "device/ConfigCommands.h"

namespace zorvik {
namespace {

constexpr int kDefaultRuns = 5;                 // runs of read and write each
constexpr int kStartupRuns = 50;                // runs of --version
constexpr double kOverheadTargetPercent = 2.0;  // of the protocol's floor
constexpr double kCpuTargetPercent = 2.0;       // of the wall time
constexpr double kStartupTargetMs = 20.0;
constexpr double kStartupRatioTarget = 2.0;            // times the baseline program's start-up
constexpr const char* kBaselineProgram = "/bin/true";  // what starting any program costs here

constexpr int kRecords = 240;                     // a full flash
constexpr int kRecordBytes = 257;                 // page and byte 256
constexpr double kDevicePacingMicros = 4000;      // the simulated device's own time per record
constexpr double kVerifyPauseMicros = 52 * 1000;  // the host's 52 pauses of 1 ms per page
constexpr double kBannerWaitMicros = 250 * 1000;  // one poll: the banner is there by then
constexpr int kFlashAttempts = 3;                 // runs of the flash before it counts as failed

using bench::ChildRun;
using bench::CountingNotices;
using bench::Percentile;
using bench::ReadText;
using bench::RunChild;
using bench::WallMicros;

struct Figures {
    double wallMs = 0;
    double cpuMs = 0;
    int failed = 0;
};

Figures Repeat(int runs, const std::vector<std::string>& args) {
    Figures figures;
    for (int i = 0; i < runs; ++i) {
        const ChildRun run = RunChild(args);
        figures.wallMs += static_cast<double>(run.wallMicros) / 1000 / runs;
        figures.cpuMs += static_cast<double>(run.cpuMicros) / 1000 / runs;
        figures.failed += run.status == 0 ? 0 : 1;
    }
    return figures;
}

bool Report(const char* name, const Figures& f, double floorMs) {
    const double over = f.wallMs - floorMs;
    const double overPercent = 100.0 * over / floorMs;
    const double cpuPercent = 100.0 * f.cpuMs / f.wallMs;
    const bool met =
        f.failed == 0 && overPercent < kOverheadTargetPercent && cpuPercent < kCpuTargetPercent;
    std::printf(
        "%-16s wall %8.2f ms  floor %8.2f ms  overhead %6.2f ms (%5.2f %%)  cpu %6.2f ms "
        "(%5.2f %% of wall)  failed %d  %s\n",
        name, f.wallMs, floorMs, over, overPercent, f.cpuMs, cpuPercent, f.failed,
        met ? "within target" : "OUTSIDE TARGET");
    return met;
}

int Main(int argc, char** argv) {
    const int runs = argc > 1 ? std::atoi(argv[1]) : kDefaultRuns;
    if (runs <= 0) {
        std::fprintf(stderr, "usage: bench-cli [runs]\n");
        return 2;
    }
    char pattern[] = "/tmp/zorvik-bench-cli-XXXXXX";
    if (::mkdtemp(pattern) == nullptr) {
        std::perror("mkdtemp");
        return 1;
    }
    const std::string root = pattern;
    const std::string cli = ZORVIK_CLI_PROGRAM;
    bool met = true;

    // Start-up, beside the least any program takes to start on this machine at this moment.
    std::vector<double> startups;
    std::vector<double> startupCpu;
    std::vector<double> baseline;
    // Each run paired with a baseline run straight after it, so a moment's load weighs on both.
    std::vector<double> ratios;
    for (int i = 0; i < kStartupRuns; ++i) {
        const ChildRun run = RunChild({cli, "--version"});
        startups.push_back(static_cast<double>(run.wallMicros) / 1000);
        startupCpu.push_back(static_cast<double>(run.cpuMicros) / 1000);
        baseline.push_back(static_cast<double>(RunChild({kBaselineProgram}).wallMicros) / 1000);
        ratios.push_back(baseline.back() > 0 ? startups.back() / baseline.back() : 0);
    }
    const double startupMedian = Percentile(startups, 0.5);
    met = met && startupMedian < kStartupTargetMs;
    std::printf(
        "zorvik-cli --version over %d runs: median %.2f ms, 90th percentile %.2f ms, cpu median "
        "%.2f ms  %s\n",
        kStartupRuns, startupMedian, Percentile(startups, 0.9), Percentile(startupCpu, 0.5),
        startupMedian < kStartupTargetMs ? "within target" : "OUTSIDE TARGET");
    std::printf("  %s for comparison: median %.2f ms; zorvik-cli's own share %.2f ms\n",
                kBaselineProgram, Percentile(baseline, 0.5),
                startupMedian - Percentile(baseline, 0.5));
    const double ratio = Percentile(ratios, 0.5);
    met = met && ratio < kStartupRatioTarget;
    std::printf("  ratio to %s, run by run: median %.2f x (target under %.1f x)  %s\n",
                kBaselineProgram, ratio, kStartupRatioTarget,
                ratio < kStartupRatioTarget ? "within target" : "OUTSIDE TARGET");

    // Read and write: the floor from the same commands in this process, then the program.
    {
        bench::SimLink link(ZORVIK_SIM_PROGRAM);
        if (!link.Started()) {
            std::fprintf(stderr, "bench-cli: zorvik-sim did not start\n");
            return 1;
        }
        const std::string image = root + "/image.zvk";
        const std::optional<bench::Floors> floors = bench::MeasureFloors(link.Port(), image);
        if (!floors) {
            std::fprintf(stderr, "bench-cli: no image could be read\n");
            return 1;
        }
        const double readFloor = floors->readMs;
        const double writeFloor = floors->writeMs;

        const std::string device = link.Sim().LinkPath();
        std::printf("read and write over %d runs each, on %s\n", runs, device.c_str());
        met =
            Report("read -o FILE",
                   Repeat(runs, {cli, "read", "-p", device, "-o", root + "/out.zvk"}), readFloor) &&
            met;
        met =
            Report("read --text", Repeat(runs, {cli, "read", "-p", device, "--text"}), readFloor) &&
            met;
        met =
            Report("write --no-verify",
                   Repeat(runs, {cli, "write", "-p", device, image, "--no-verify"}), writeFloor) &&
            met;
        met = Report("write (verified)", Repeat(runs, {cli, "write", "-p", device, image}),
                     writeFloor + readFloor) &&
              met;
    }

    // A full flash, without line pacing so that what is left is the protocol and the host.
    {
        const std::string firmware = root + "/firmware.bin";
        const std::string latency = root + "/latency.txt";
        std::ofstream(firmware, std::ios::binary)
            << bench::FirmwareBytes(static_cast<std::size_t>(kRecords) * kRecordBytes);
        const std::string errors = root + "/flash.log";
        // The read-back is timed (the device's page must cross within the host's 52 ms), so a
        // heavily loaded machine can fail a verification; such a run is repeated.
        ChildRun run;
        std::vector<double> replies;
        int attempt = 0;
        for (; attempt < kFlashAttempts && run.status != 0; ++attempt) {
            std::filesystem::remove(latency);
            testing::SimProcess sim(ZORVIK_SIM_PROGRAM,
                                    {"--no-pacing", "--latency-report", latency});
            run = RunChild({cli, "flash", "-p", sim.LinkPath(), firmware}, errors);
            replies = bench::ReadLatencyReport(latency);
            if (run.status != 0) {
                std::string said = ReadText(errors);
                said = said.substr(said.rfind('\n', said.size() - 2) + 1);  // the last line
                std::printf("  attempt %d failed: %s", attempt + 1, said.c_str());
            }
        }
        double replySum = 0;
        for (const double reply : replies) {
            replySum += reply;
        }
        const double wall = static_cast<double>(run.wallMicros);
        const double floor =
            kRecords * (kVerifyPauseMicros + kDevicePacingMicros) + 2 * kBannerWaitMicros;
        std::printf(
            "flash of %d bytes (%d records), verified, with reset, without line pacing, attempt "
            "%d%s\n",
            kRecords * kRecordBytes, kRecords, attempt, run.status == 0 ? "" : "  FAILED");
        std::printf("  wall %.3f s  floor %.3f s (verification pauses, device pacing, banners)\n",
                    wall / 1e6, floor / 1e6);
        std::printf("  host time per record    %8.3f ms (wall above the floor, per record)\n",
                    (wall - floor) / kRecords / 1000);
        std::printf("  reply time per record   %8.3f ms (the three letters answered, summed)\n",
                    replySum / kRecords / 1000);
        std::printf("  reply latency over %zu letters: median %.0f us, 99th percentile %.0f us\n",
                    replies.size(), Percentile(replies, 0.5), Percentile(replies, 0.99));
        std::printf("  cpu %.3f s (%.2f %% of wall), %.3f ms per record\n",
                    static_cast<double>(run.cpuMicros) / 1e6,
                    100.0 * static_cast<double>(run.cpuMicros) / wall,
                    static_cast<double>(run.cpuMicros) / kRecords / 1000);
        met = met && run.status == 0;
    }

    std::error_code ignored;
    std::filesystem::remove_all(root, ignored);
    return met ? 0 : 3;
}

}  // namespace
}  // namespace zorvik

int main(int argc, char** argv) {
    return zorvik::Main(argc, argv);
}
