// bench-wine: zorvik-cli.exe and the window zorvik-gsm.exe under Wine against zorvik-sim on a pty
// linked as COM41 of a Wine prefix, beside zorvik-cli on Linux in the same run. Prints, for read
// and write, the time from opening the port to closing it (taken from each run's byte trace, so
// neither Wine's start-up nor the window's is in it) against the protocol's floor; then the exe's
// size and its start-up beside a trivial Windows program's under Wine. The window is driven by
// gsm-driver.exe as a user would: the port chosen, "Oczytaj", "Zapisz", each success box answered.
//
// Usage: WINEPREFIX=... bench-wine [runs]
// The prefix shows the window on Wine's null display driver (as scripts/wine-tests sets it) or on
// $DISPLAY.
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "bench/BenchSupport.h"
#include "device/ConfigCommands.h"

namespace zorvik {
namespace {

constexpr int kDefaultRuns = 5;
constexpr int kStartupRuns = 10;
constexpr double kOverheadTargetPercent = 3.0;  // of the protocol's floor, under Wine
constexpr const char* kWine = "/usr/lib/wine/wine64";
constexpr const char* kWinePort = "COM41";
constexpr const char* kWindowPort = "Port Komunikacyjny=COM41";

using bench::Percentile;
using bench::RunChild;

// The milliseconds from "port opened" to "port closed" in each section of a trace.
std::vector<double> PortSpans(const std::string& path) {
    std::vector<double> spans;
    std::ifstream in(path);
    double opened = -1;
    for (std::string line; std::getline(in, line);) {
        std::istringstream fields(line);
        double ms = 0;
        char kind = 0;
        std::string rest;
        if (!(fields >> ms >> kind) || kind != '=') {
            continue;
        }
        std::getline(fields >> std::ws, rest);
        if (rest.starts_with("port opened")) {
            opened = ms;
        } else if (rest.starts_with("port closed") && opened >= 0) {
            spans.push_back(ms - opened);
            opened = -1;
        }
    }
    return spans;
}

// Runs `args`, which trace to `trace`, `runs` times with a fresh trace, and gives the median span
// of the port's use for each section of the trace: one for a command of the command line, one for
// each command the window ran, in their order.
std::vector<double> MedianSpans(const std::vector<std::string>& args, const std::string& trace,
                                int runs, int& failed) {
    std::vector<std::vector<double>> sections;
    for (int i = 0; i < runs; ++i) {
        std::remove(trace.c_str());
        failed += RunChild(args).status == 0 ? 0 : 1;
        const std::vector<double> spans = PortSpans(trace);
        sections.resize(std::max(sections.size(), spans.size()));
        for (std::size_t section = 0; section < spans.size(); ++section) {
            sections[section].push_back(spans[section]);
        }
    }
    std::vector<double> medians;
    for (const std::vector<double>& spans : sections) {
        medians.push_back(Percentile(spans, 0.5));
    }
    return medians;
}

// The only section's median, or 0 when no run traced one.
double MedianSpan(const std::vector<std::string>& args, const std::string& trace, int runs,
                  int& failed) {
    const std::vector<double> medians = MedianSpans(args, trace, runs, failed);
    return medians.empty() ? 0 : medians.front();
}

double Over(double ms, double floorMs) {
    return 100.0 * (ms - floorMs) / floorMs;
}

void Report(const char* name, double linuxMs, double wineMs, double windowMs, double floorMs,
            bool& met) {
    const double wineOver = Over(wineMs, floorMs);
    met = met && wineOver < kOverheadTargetPercent;
    std::printf(
        "%-6s floor %7.2f ms  Linux %7.2f ms (%5.2f %%)  Wine %7.2f ms (%5.2f %%) %s  "
        "window %7.2f ms (%5.2f %%)\n",
        name, floorMs, linuxMs, Over(linuxMs, floorMs), wineMs, wineOver,
        wineOver < kOverheadTargetPercent ? "within target " : "OUTSIDE TARGET", windowMs,
        Over(windowMs, floorMs));
}

int Main(int argc, char** argv) {
    const int runs = argc > 1 ? std::atoi(argv[1]) : kDefaultRuns;
    const char* prefix = std::getenv("WINEPREFIX");
    if (runs <= 0 || prefix == nullptr) {
        std::fprintf(stderr, "usage: WINEPREFIX=... bench-wine [runs]\n");
        return 2;
    }
    ::setenv("WINEDEBUG", "-all", 1);
    char pattern[] = "/tmp/zorvik-bench-wine-XXXXXX";
    if (::mkdtemp(pattern) == nullptr) {
        std::perror("mkdtemp");
        return 1;
    }
    const std::string root = pattern;
    const std::string exe = ZORVIK_WINDOWS_CLI;
    bool met = true;

    bench::SimLink link(ZORVIK_SIM_PROGRAM);
    if (!link.Started()) {
        std::fprintf(stderr, "bench-wine: zorvik-sim did not start\n");
        return 1;
    }
    const std::string comLink = std::string(prefix) + "/dosdevices/com41";
    ::unlink(comLink.c_str());
    if (::symlink(link.Sim().PtyPath().c_str(), comLink.c_str()) != 0) {
        std::perror(comLink.c_str());
        return 1;
    }
    // The window's selector lists the ports Windows lists.
    (void)RunChild({kWine, "reg", "add", "HKLM\\HARDWARE\\DEVICEMAP\\SERIALCOMM", "/v",
                    "ZorvikBench", "/d", kWinePort, "/f"});
    const std::string image = root + "/image.zvk";
    const std::optional<bench::Floors> floors = bench::MeasureFloors(link.Port(), image);
    if (!floors) {
        std::fprintf(stderr, "bench-wine: no image could be read\n");
        return 1;
    }
    link.Port().Close();
    const double readFloor = floors->readMs;
    const double writeFloor = floors->writeMs;

    const std::string device = link.Sim().LinkPath();
    const std::string trace = root + "/trace";
    int failed = 0;
    // One run of the window reads, then writes what it read back.
    std::vector<double> window =
        MedianSpans({kWine, ZORVIK_GSM_DRIVER, ZORVIK_WINDOWS_GSM, "--trace", trace, "--",
                     std::string("choose:") + kWindowPort, "click:Oczytaj", "box", "click:Zapisz",
                     "box", "close", "box:yes", "end"},
                    trace, runs, failed);
    window.resize(2);
    std::printf("port open to close, median of %d runs each\n", runs);
    Report("read",
           MedianSpan({ZORVIK_CLI_PROGRAM, "read", "-p", device, "--text", "--trace", trace}, trace,
                      runs, failed),
           MedianSpan({kWine, exe, "read", "-p", kWinePort, "--text", "--trace", trace}, trace,
                      runs, failed),
           window[0], readFloor, met);
    Report(
        "write",
        MedianSpan(
            {ZORVIK_CLI_PROGRAM, "write", "-p", device, image, "--no-verify", "--trace", trace},
            trace, runs, failed),
        MedianSpan({kWine, exe, "write", "-p", kWinePort, image, "--no-verify", "--trace", trace},
                   trace, runs, failed),
        window[1], writeFloor, met);
    ::unlink(comLink.c_str());

    struct stat info {};
    const long size = ::stat(exe.c_str(), &info) == 0 ? static_cast<long>(info.st_size) : -1;
    std::vector<double> ratios;
    std::vector<double> own;
    std::vector<double> trivial;
    for (int i = 0; i < kStartupRuns; ++i) {
        own.push_back(static_cast<double>(RunChild({kWine, exe, "--version"}).wallMicros) / 1000);
        trivial.push_back(
            static_cast<double>(RunChild({kWine, ZORVIK_TRIVIAL_WINDOWS_PROGRAM}).wallMicros) /
            1000);
        ratios.push_back(trivial.back() > 0 ? own.back() / trivial.back() : 0);
    }
    std::printf(
        "zorvik-cli.exe: %ld bytes; start-up under Wine median %.1f ms, a trivial "
        "Windows program %.1f ms, ratio run by run %.2f x\n",
        size, Percentile(own, 0.5), Percentile(trivial, 0.5), Percentile(ratios, 0.5));
    if (failed > 0) {
        std::printf("%d runs failed\n", failed);
    }
    std::error_code ignored;
    std::filesystem::remove_all(root, ignored);
    return met && failed == 0 ? 0 : 1;
}

}  // namespace
}  // namespace zorvik

int main(int argc, char** argv) {
    return zorvik::Main(argc, argv);
}
