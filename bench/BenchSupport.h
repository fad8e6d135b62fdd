// What the timing benches share: counted messages, clocks, statistics and zorvik-sim on a pty.
#pragma once

#include <sys/time.h>

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "device/Notice.h"
#include "serial/Clock.h"
#include "serial/PortMap.h"
#include "serial/SerialPort.h"
#include "tests/support/SimProcess.h"

namespace zorvik::bench {

// No one to click: every message is counted, successes apart, and the last failure kept so that
// a failed run can say why.
class CountingNotices : public Notices {
public:
    void Notify(const Notice& notice, PortObserver* trace) override;

    int failures = 0;
    std::string lastFailure;
};

// Real time, adding up every pause the protocol asks for: the least a command could take.
class FloorClock : public Clock {
public:
    void Sleep(int ms) override;
    [[nodiscard]] std::int64_t NowMicros() override;
    [[nodiscard]] std::int64_t RequestedMicros() const { return requestedMicros_; }

private:
    SystemClock inner_;
    std::int64_t requestedMicros_ = 0;
};

// The least a read and a write of the configuration take: the pauses the protocol asks for, added
// up while this process runs both against `port`. The image read goes to `imagePath`, for a program
// to write back. Empty when no image could be read.
struct Floors {
    double readMs = 0;
    double writeMs = 0;
};
[[nodiscard]] std::optional<Floors> MeasureFloors(TComPort& port, const std::string& imagePath);

// zorvik-sim on a pty and the host's real port to it; the port exists only once the program is up.
class SimLink {
public:
    explicit SimLink(const std::string& program, const std::vector<std::string>& options = {});

    [[nodiscard]] bool Started() const { return port_.has_value(); }
    [[nodiscard]] const testing::SimProcess& Sim() const { return sim_; }
    [[nodiscard]] TComPort& Port() { return *port_; }

private:
    testing::SimProcess sim_;
    PortMap map_;
    std::optional<TComPort> port_;
};

// One run of another program: how it ended, and the wall and processor time it took.
struct ChildRun {
    int status = -1;  // its exit status, or -1 when a signal ended it
    std::int64_t wallMicros = 0;
    std::int64_t cpuMicros = 0;
    long residentKiB = 0;  // its largest resident memory
};

// Runs the program `args[0]` with its output thrown away (standard error into `errorLog` when
// given), timing it and taking its processor time.
[[nodiscard]] ChildRun RunChild(const std::vector<std::string>& args,
                                const std::string& errorLog = {});

// Monotonic wall-clock time in microseconds; only differences mean anything.
[[nodiscard]] std::int64_t WallMicros();
// The processor time, user and system, this process has taken so far.
[[nodiscard]] std::int64_t CpuMicros();
[[nodiscard]] std::int64_t Micros(const timeval& time);

// The value below which `fraction` of `values` lie (the nearest lower rank), or 0 when empty.
[[nodiscard]] double Percentile(std::vector<double> values, double fraction);

// This process's resident memory.
[[nodiscard]] long ResidentKiB();

// The whole file, or nothing when it cannot be read.
[[nodiscard]] std::string ReadText(const std::string& path);
// The firmware bytes the benches send, `size` of them, in a pattern no page repeats exactly.
[[nodiscard]] std::string FirmwareBytes(std::size_t size);
// The latencies in microseconds that zorvik-sim's --latency-report lists. The simulator may write
// the file a little after the host is done, so this waits up to 5 s for it to appear.
[[nodiscard]] std::vector<double> ReadLatencyReport(const std::string& path);

}  // namespace zorvik::bench
