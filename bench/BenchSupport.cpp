// What the timing benches share: counted messages, clocks, statistics and zorvik-sim on a pty.
#include "bench/BenchSupport.h"

#include "words/NoticeWords.h"
#include "config/ConfigImage.h"
#include "device/ConfigCommands.h"
#include "device/DeviceExchange.h"

#include <sys/resource.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <thread>

namespace zorvik::bench {

void CountingNotices::Notify(const Notice& notice, PortObserver* /*trace*/) {
    const NoticeWords words = WordsOf(notice);
    if (words.icon == NoticeIcon::Error) {
        ++failures;
        lastFailure = words.text;
    }
}

void FloorClock::Sleep(int ms) {
    requestedMicros_ += std::int64_t{ms > 0 ? ms : 0} * 1000;
    inner_.Sleep(ms);
}

std::int64_t FloorClock::NowMicros() {
    return inner_.NowMicros();
}

SimLink::SimLink(const std::string& program, const std::vector<std::string>& options)
    : sim_(program, options), map_(sim_.Map()) {
    if (!sim_.Name().empty()) {
        port_.emplace(map_, sim_.Name());
    }
}

ChildRun RunChild(const std::vector<std::string>& args, const std::string& errorLog) {
    std::vector<std::string> copy = args;
    std::vector<char*> argv;
    for (std::string& arg : copy) {
        argv.push_back(arg.data());
    }
    argv.push_back(nullptr);
    std::fflush(nullptr);  // nothing buffered here may be written twice
    const std::int64_t start = WallMicros();
    const pid_t pid = ::fork();
    if (pid == 0) {
        // A child that cannot silence itself would mix its output into the figures: it ends.
        if (std::freopen("/dev/null", "w", stdout) == nullptr ||
            std::freopen(errorLog.empty() ? "/dev/null" : errorLog.c_str(), "w", stderr) ==
                nullptr) {
            ::_exit(126);
        }
        ::setenv("ZORVIK_HISTORY", "off", 1);  // a benchmark's devices are no one's history
        ::execv(argv[0], argv.data());
        ::_exit(127);
    }
    int status = 0;
    rusage usage{};
    ::wait4(pid, &status, 0, &usage);
    ChildRun run;
    run.wallMicros = WallMicros() - start;
    run.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    run.cpuMicros = bench::Micros(usage.ru_utime) + bench::Micros(usage.ru_stime);
    run.residentKiB = usage.ru_maxrss;
    return run;
}

std::int64_t WallMicros() {
    timespec ts{};
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return std::int64_t{ts.tv_sec} * 1'000'000 + ts.tv_nsec / 1000;
}

std::int64_t Micros(const timeval& time) {
    return std::int64_t{time.tv_sec} * 1'000'000 + time.tv_usec;
}

std::int64_t CpuMicros() {
    rusage usage{};
    ::getrusage(RUSAGE_SELF, &usage);
    return Micros(usage.ru_utime) + Micros(usage.ru_stime);
}

double Percentile(std::vector<double> values, double fraction) {
    if (values.empty()) {
        return 0;
    }
    std::sort(values.begin(), values.end());
    return values[static_cast<std::size_t>(fraction * static_cast<double>(values.size() - 1))];
}

long ResidentKiB() {
    std::ifstream statm("/proc/self/statm");
    long size = 0;
    long resident = 0;
    statm >> size >> resident;
    return resident * (::sysconf(_SC_PAGESIZE) / 1024);
}

std::string ReadText(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(file), {});
}

std::string FirmwareBytes(std::size_t size) {
    std::string bytes(size, '\0');
    for (std::size_t i = 0; i < size; ++i) {
        bytes[i] = static_cast<char>((i * 7 + 13) & 0xFF);
    }
    return bytes;
}

std::vector<double> ReadLatencyReport(const std::string& path) {
    for (int i = 0; i < 100 && ReadText(path).empty(); ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    std::vector<double> latencies;
    std::istringstream lines(ReadText(path));
    std::string letter;
    double micros = 0;
    while (lines >> letter >> micros) {
        latencies.push_back(micros);
    }
    return latencies;
}

std::optional<Floors> MeasureFloors(TComPort& port, const std::string& imagePath) {
    FloorClock clock;
    CountingNotices notices;
    DeviceExchange exchange(port, clock, notices);
    const ReadResult read = ReadConfiguration(exchange, u"9466");
    Floors floors;
    floors.readMs = static_cast<double>(clock.RequestedMicros()) / 1000;
    if (!read.image) {
        return std::nullopt;
    }
    const std::int64_t writeStart = clock.RequestedMicros();
    (void)WriteConfiguration(exchange, u"9466", {}, [&read] { return *read.image; });
    floors.writeMs = static_cast<double>(clock.RequestedMicros() - writeStart) / 1000;
    std::ofstream(imagePath, std::ios::binary)
        .write(reinterpret_cast<const char*>(read.image->data()), kImageSize);
    return floors;
}

}  // namespace zorvik::bench
