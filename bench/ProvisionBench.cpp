// bench-provision: zorvik-cli provision over 16 simulated devices on 16 ptys at line-rate pacing,
// against one device's verified `write`. Prints both wall times, their ratio against the target,
// and the processor share per device.
//
// Usage: bench-provision [runs]
#include <unistd.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "bench/BenchSupport.h"
#include "tests/support/SimProcess.h"

namespace zorvik {
namespace {

constexpr int kDefaultRuns = 3;
constexpr int kDevices = 16;
constexpr double kWallTargetRatio = 1.3;  // of one device's verified write

using bench::ChildRun;
using bench::RunChild;

int Main(int argc, char** argv) {
    const int runs = argc > 1 ? std::atoi(argv[1]) : kDefaultRuns;
    if (runs <= 0) {
        std::fprintf(stderr, "usage: bench-provision [runs]\n");
        return 2;
    }
    char pattern[] = "/tmp/zorvik-bench-provision-XXXXXX";
    if (::mkdtemp(pattern) == nullptr) {
        std::perror("mkdtemp");
        return 1;
    }
    const std::string root = pattern;
    const std::string cli = ZORVIK_CLI_PROGRAM;
    const std::string errors = root + "/errors.log";

    std::vector<std::unique_ptr<testing::SimProcess>> sims;
    for (int i = 0; i < kDevices; ++i) {
        sims.push_back(std::make_unique<testing::SimProcess>(ZORVIK_SIM_PROGRAM));
        if (sims.back()->Name().empty()) {
            std::fprintf(stderr, "bench-provision: zorvik-sim %d did not start\n", i + 1);
            return 1;
        }
    }
    const std::string form = root + "/site.txt";
    std::ofstream(form) << "report.enabled = yes\nreport.interval_hours = 24\n";
    const std::string table = root + "/table.csv";
    {
        std::ofstream out(table);
        out << "id,phone.1.in_use,phone.1.number\n";
        for (int i = 0; i < kDevices; ++i) {
            out << "device-" << i + 1 << ",yes,+486000000" << 10 + i << "\n";
        }
    }

    std::vector<double> single;
    std::vector<double> batch;
    std::vector<double> batchCpu;
    int failed = 0;
    for (int run = 0; run < runs; ++run) {
        const ChildRun one = RunChild({cli, "write", "-p", sims[0]->LinkPath(), form}, errors);
        failed += one.status == 0 ? 0 : 1;
        single.push_back(static_cast<double>(one.wallMicros) / 1000);

        std::vector<std::string> args = {cli,        "provision",         form, "--devices", table,
                                         "--report", root + "/report.csv"};
        for (const auto& sim : sims) {
            args.push_back("-p");
            args.push_back(sim->LinkPath());
        }
        const ChildRun all = RunChild(args, errors);
        failed += all.status == 0 ? 0 : 1;
        if (all.status != 0) {
            // Only the devices that failed, as progress reported them.
            std::printf("  run %d: provision ended with status %d\n", run + 1, all.status);
            const std::string said = bench::ReadText(errors);
            for (std::size_t at = 0; at < said.size();) {
                const std::size_t end = std::min(said.find('\n', at), said.size());
                const std::string line = said.substr(at, end - at);
                if (line.find(" failed: ") != std::string::npos) {
                    std::printf("    %s\n", line.c_str());
                }
                at = end + 1;
            }
        }
        batch.push_back(static_cast<double>(all.wallMicros) / 1000);
        batchCpu.push_back(static_cast<double>(all.cpuMicros) / 1000);
    }

    const double singleMs = bench::Percentile(single, 0.5);
    const double batchMs = bench::Percentile(batch, 0.5);
    const double cpuMs = bench::Percentile(batchCpu, 0.5);
    const double ratio = batchMs / singleMs;
    const bool met = failed == 0 && ratio <= kWallTargetRatio;
    std::printf("over %d runs each, medians, line-rate pacing:\n", runs);
    std::printf("  one device, write (verified)      %8.1f ms\n", singleMs);
    std::printf(
        "  %d devices, provision             %8.1f ms  (%.2f x one device; target %.1f x)"
        "  %s\n",
        kDevices, batchMs, ratio, kWallTargetRatio, met ? "within target" : "OUTSIDE TARGET");
    std::printf(
        "  cpu of provision                  %8.1f ms  (%.2f %% of wall; %.3f %% per device,"
        " %.2f ms per device)\n",
        cpuMs, 100.0 * cpuMs / batchMs, 100.0 * cpuMs / batchMs / kDevices, cpuMs / kDevices);
    std::printf("  failed runs %d\n", failed);

    std::error_code ignored;
    std::filesystem::remove_all(root, ignored);
    return met ? 0 : 3;
}

}  // namespace
}  // namespace zorvik

int main(int argc, char** argv) {
    return zorvik::Main(argc, argv);
}
