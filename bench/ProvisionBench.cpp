// bench-provision: zorvik-cli provision over many simulated devices, each on its own pty, at
// line-rate pacing and with the banner on the devices' own clock, against one device's verified
// `write`. Prints both wall times, their ratio against the target, and the processor time and
// resident memory per device. With --rfc2217 every device is reached through a ser2net server of
// its own on a free loopback port.
//
// Usage: bench-provision [--rfc2217] [devices] [runs]     (16 devices, 3 runs by default)
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
#include "tests/support/Ser2net.h"
#include "tests/support/SimProcess.h"

namespace zorvik {
namespace {

constexpr int kDefaultRuns = 3;
constexpr int kDefaultDevices = 16;
constexpr int kMostDevices = 256;          // ptys, processes and threads one machine spares
constexpr double kWallTargetRatio = 1.25;  // of one device's verified write

using bench::ChildRun;
using bench::RunChild;

int Main(int argc, char** argv) {
    std::vector<std::string> args(argv + 1, argv + argc);
    const bool network = !args.empty() && args[0] == "--rfc2217";
    if (network) {
        args.erase(args.begin());
    }
    const int devices = !args.empty() ? std::atoi(args[0].c_str()) : kDefaultDevices;
    const int runs = args.size() > 1 ? std::atoi(args[1].c_str()) : kDefaultRuns;
    if (runs <= 0 || devices <= 0 || devices > kMostDevices || args.size() > 2) {
        std::fprintf(stderr, "usage: bench-provision [--rfc2217] [devices] [runs]\n");
        return 2;
    }
    if (network && testing::Ser2net::Program().empty()) {
        std::printf("bench-provision --rfc2217: skipped, ser2net is not installed\n");
        return 0;
    }
    char pattern[] = "/tmp/zorvik-bench-provision-XXXXXX";
    if (::mkdtemp(pattern) == nullptr) {
        std::perror("mkdtemp");
        return 1;
    }
    const std::string root = pattern;
    // A sanitizer build scans every thread's memory for leaks as the program ends, a fixed cost
    // that grows with the threads and is no part of the command's work: the leak tests keep it.
    const char* sanitizer = std::getenv("ASAN_OPTIONS");
    const std::string noLeakScan =
        (sanitizer != nullptr && *sanitizer != '\0' ? std::string(sanitizer) + ":" : "") +
        "detect_leaks=0";
    ::setenv("ASAN_OPTIONS", noLeakScan.c_str(), 1);
    const std::string cli = ZORVIK_CLI_PROGRAM;
    const std::string errors = root + "/errors.log";

    std::vector<std::unique_ptr<testing::SimProcess>> sims;
    std::vector<std::unique_ptr<testing::Ser2net>> servers;
    std::vector<std::string> ports;  // how zorvik-cli reaches each device
    for (int i = 0; i < devices; ++i) {
        sims.push_back(std::make_unique<testing::SimProcess>(
            ZORVIK_SIM_PROGRAM, std::vector<std::string>{"--banner-free-running"}));
        if (sims.back()->Name().empty()) {
            std::fprintf(stderr, "bench-provision: zorvik-sim %d did not start\n", i + 1);
            return 1;
        }
        if (!network) {
            ports.push_back(sims.back()->LinkPath());
            continue;
        }
        servers.push_back(std::make_unique<testing::Ser2net>(sims.back()->PtyPath(),
                                                             testing::Ser2net::Protocol::Rfc2217));
        if (servers.back()->Address().empty()) {
            std::fprintf(stderr, "bench-provision: ser2net %d did not start: %s\n", i + 1,
                         servers.back()->Log().c_str());
            return 1;
        }
        ports.push_back(servers.back()->Address());
    }
    const std::string form = root + "/site.txt";
    std::ofstream(form) << "report.enabled = yes\nreport.interval_hours = 24\n";
    const std::string table = root + "/table.csv";
    {
        std::ofstream out(table);
        out << "id,phone.1.in_use,phone.1.number\n";
        for (int i = 0; i < devices; ++i) {
            out << "device-" << i + 1 << ",yes,+486000000" << 10 + i << "\n";
        }
    }

    std::vector<double> single;
    std::vector<double> batch;
    std::vector<double> batchCpu;
    std::vector<double> singleKiB;
    std::vector<double> batchKiB;
    int failed = 0;
    for (int run = 0; run < runs; ++run) {
        const ChildRun one = RunChild({cli, "write", "-p", ports[0], form}, errors);
        failed += one.status == 0 ? 0 : 1;
        if (one.status != 0) {
            std::printf("  run %d: write ended with status %d: %s", run + 1, one.status,
                        bench::ReadText(errors).c_str());
        }
        single.push_back(static_cast<double>(one.wallMicros) / 1000);
        singleKiB.push_back(static_cast<double>(one.residentKiB));
        std::filesystem::remove(root + "/report.csv");

        std::vector<std::string> args = {cli,        "provision",         form, "--devices", table,
                                         "--report", root + "/report.csv"};
        for (const std::string& port : ports) {
            args.push_back("-p");
            args.push_back(port);
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
        batchKiB.push_back(static_cast<double>(all.residentKiB));
    }

    const double singleMs = bench::Percentile(single, 0.5);
    const double batchMs = bench::Percentile(batch, 0.5);
    const double cpuMs = bench::Percentile(batchCpu, 0.5);
    const double oneKiB = bench::Percentile(singleKiB, 0.5);
    const double allKiB = bench::Percentile(batchKiB, 0.5);
    const double ratio = batchMs / singleMs;
    const bool met = failed == 0 && ratio <= kWallTargetRatio;
    std::printf(
        "over %d runs each, medians, line-rate pacing, free-running banners%s,"
        " no leak scan at exit:\n",
        runs, network ? ", through ser2net (RFC 2217, one server a device)" : ", on ptys");
    std::printf("  one device, write (verified)      %8.1f ms  %8.0f KiB resident\n", singleMs,
                oneKiB);
    std::printf("  %d devices, provision %*s%8.1f ms  (%.2f x one device; target %.2f x)  %s\n",
                devices, 12 - static_cast<int>(std::to_string(devices).size()), "", batchMs, ratio,
                kWallTargetRatio, met ? "within target" : "OUTSIDE TARGET");
    std::printf(
        "  cpu of provision                  %8.1f ms  (%.2f %% of wall; %.3f %% per device,"
        " %.2f ms per device)\n",
        cpuMs, 100.0 * cpuMs / batchMs, 100.0 * cpuMs / batchMs / devices, cpuMs / devices);
    std::printf("  resident memory of provision      %8.0f KiB (%.0f KiB per device above one)\n",
                allKiB, (allKiB - oneKiB) / std::max(devices - 1, 1));
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
