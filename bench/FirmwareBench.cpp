// bench-firmware: a whole firmware update (61680 bytes, programmed and verified) against
// zorvik-sim on a pty, with the host's share of the time, its processor time and its reply
// latency to the device's request letters.
//
// Usage: bench-firmware [--paced]
//   By default the simulator sends without line pacing, so what is left is the protocol's own
//   floor (the verification pauses) and the host. --paced runs it at 57600 baud instead.
#include <stdlib.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "words/NoticeWords.h"
#include "bench/BenchSupport.h"
#include "device/FirmwareUpdate.h"
#include "serial/PortLine.h"

namespace zorvik {
namespace {

using bench::CpuMicros;
using bench::Percentile;
using bench::ReadText;
using bench::WallMicros;

constexpr int kRecords = 240;      // a full flash
constexpr int kRecordBytes = 257;  // page and byte 256
// What the simulated device itself takes per record while programming: 1 ms before "y", 2 ms
// writing the page before "s", 1 ms before "c".
constexpr double kDevicePacingMicros = 4000;
constexpr double kVerifyPauseMicros = 52 * 1000;  // the host's 52 pauses of 1 ms per page
// Bytes on the line per record while programming, one after the other: "y", 256 page bytes,
// "s", byte 256, "c", the continuation byte. In verification the page crosses the line during
// the host's 52 ms pause and adds nothing.
constexpr int kProgrammingLineBytes = 261;

class SilentNotices : public Notices {
public:
    void Notify(const Notice& notice, PortObserver* /*trace*/) override {
        std::fprintf(stderr, "message: %s\n", std::string(WordsOf(notice).text).c_str());
    }
};

// The real port, timing the host's side of each request letter: from the moment the wait on
// the port ends with the letter there to the first byte of the answer (reply), and to the
// moment the host listens again (the whole answer).
class TimedPort : public TComPort {
public:
    using TComPort::TComPort;

    std::vector<double> replies;
    double answeringMicros = 0;

protected:
    bool DoWaitForInput(int timeoutMs) override {
        const bool ready = TComPort::DoWaitForInput(timeoutMs);
        wokeAt_ = WallMicros();
        return ready;
    }
    int DoRead(std::uint8_t* buffer, int count) override {
        const std::int64_t now = WallMicros();
        if (answering_) {
            answering_ = false;
            answeringMicros += static_cast<double>(now - letterAt_);
        }
        const int got = TComPort::DoRead(buffer, count);
        if (got == 1 && (buffer[0] == 'y' || buffer[0] == 's' || buffer[0] == 'c')) {
            // A letter found without a wait had arrived by the time the read began.
            letterAt_ = std::max(wokeAt_, lastReadAt_);
            awaitingReply_ = true;
            answering_ = true;
        }
        lastReadAt_ = now;
        return got;
    }
    int DoWrite(const std::uint8_t* buffer, int count) override {
        if (awaitingReply_) {
            awaitingReply_ = false;
            replies.push_back(static_cast<double>(WallMicros() - letterAt_));
        }
        return TComPort::DoWrite(buffer, count);
    }

private:
    std::int64_t wokeAt_ = 0;
    std::int64_t lastReadAt_ = 0;
    std::int64_t letterAt_ = 0;
    bool awaitingReply_ = false;
    bool answering_ = false;
};

// Notes when each phase's bar appears and disappears.
class PhaseTimes : public FirmwareProgress {
public:
    void ShowBar() override { shown.push_back(WallMicros()); }
    void HideBar() override { hidden.push_back(WallMicros()); }
    void SetMaximum(int) override {}
    void SetPosition(int) override {}
    void Advance(int) override {}

    std::vector<std::int64_t> shown;
    std::vector<std::int64_t> hidden;
};

int RunBench(bool paced) {
    char pattern[] = "/tmp/zorvik-bench-fw-XXXXXX";
    if (mkdtemp(pattern) == nullptr) {
        std::perror("mkdtemp");
        return 1;
    }
    const std::string root = pattern;
    const std::string firmware = root + "/firmware.bin";
    const std::string stored = root + "/stored.bin";
    const std::string latency = root + "/latency.txt";

    const std::string file =
        bench::FirmwareBytes(static_cast<std::size_t>(kRecords) * kRecordBytes);
    std::ofstream(firmware, std::ios::binary) << file;

    int status = 0;
    {
        std::vector<std::string> options = {"--firmware-out", stored, "--latency-report", latency};
        if (!paced) {
            options.push_back("--no-pacing");
        }
        testing::SimProcess sim(ZORVIK_SIM_PROGRAM, options);
        if (sim.Name().empty()) {
            std::fprintf(stderr, "the simulator did not start\n");
            return 1;
        }
        const PortMap map = sim.Map();
        TimedPort port(map, sim.Name());
        SystemClock clock;
        SilentNotices notices;
        PhaseTimes phases;
        FirmwareUpdate update(port, clock, notices, phases);

        const std::int64_t cpuStart = CpuMicros();
        const std::int64_t start = WallMicros();
        const FirmwareOutcome outcome = update.Run(firmware, {true, true});
        const std::int64_t wall = WallMicros() - start;
        const std::int64_t cpu = CpuMicros() - cpuStart;

        const std::vector<double> replies = bench::ReadLatencyReport(latency);
        const bool sameContent = ReadText(stored) == file;
        if (outcome != FirmwareOutcome::Done || !sameContent || phases.shown.size() != 2 ||
            phases.hidden.size() != 2) {
            std::fprintf(stderr, "the update did not succeed\n");
            status = 1;
        }

        const double floorMicros = kRecords * kVerifyPauseMicros;
        std::printf("firmware update of %d records (%zu bytes), verified, with reset%s\n", kRecords,
                    file.size(), paced ? ", line paced at 57600 baud" : "");
        std::printf("  total wall time            %10.3f s\n", static_cast<double>(wall) / 1e6);
        std::printf("  protocol floor (240 x 52 ms)%9.3f s  (plus two banner waits of >= 250 ms)\n",
                    floorMicros / 1e6);
        if (phases.shown.size() == 2 && phases.hidden.size() == 2) {
            const double programming = static_cast<double>(phases.hidden[0] - phases.shown[0]);
            const double verification = static_cast<double>(phases.hidden[1] - phases.shown[1]);
            const double lineMicros = paced ? kProgrammingLineBytes * kLineByteMicros : 0;
            std::printf("  programming phase          %10.3f s\n", programming / 1e6);
            std::printf("  verification phase         %10.3f s\n", verification / 1e6);
            std::printf(
                "  host time per record, programming  %8.3f ms above the device's %.1f ms%s\n",
                (programming / kRecords - kDevicePacingMicros - lineMicros) / 1000,
                (kDevicePacingMicros + lineMicros) / 1000, paced ? " (pacing and line)" : "");
            std::printf("  host time per record, verification %8.3f ms above the 52 ms pauses\n",
                        (verification / kRecords - kVerifyPauseMicros) / 1000);
        }
        std::printf("  CPU time                   %10.3f s  (%.2f %% of the wall time)\n",
                    static_cast<double>(cpu) / 1e6,
                    100.0 * static_cast<double>(cpu) / static_cast<double>(wall));
        std::printf(
            "  simulator's reply latency over %zu letters: median %.0f us, 99th percentile %.0f "
            "us, "
            "maximum %.0f us\n",
            replies.size(), Percentile(replies, 0.5), Percentile(replies, 0.99),
            Percentile(replies, 1.0));
        std::printf(
            "  in-process reply latency over %zu letters: median %.0f us, 99th percentile "
            "%.0f us, maximum %.0f us\n",
            port.replies.size(), Percentile(port.replies, 0.5), Percentile(port.replies, 0.99),
            Percentile(port.replies, 1.0));
        std::printf("  host busy answering per record %8.3f ms (letter seen to listening again)\n",
                    port.answeringMicros / kRecords / 1000);
        if (!paced) {
            const double lineTime = kRecords * kProgrammingLineBytes * kLineByteMicros;
            std::printf(
                "  on a 57600-baud line (10 bits a byte) the same update would take about "
                "%.3f s (+%.3f s of programming bytes on the line; each read-back page "
                "crosses during its 52 ms pause)\n",
                (static_cast<double>(wall) + lineTime) / 1e6, lineTime / 1e6);
        }
    }
    std::error_code ignored;
    std::filesystem::remove_all(root, ignored);
    return status;
}

}  // namespace
}  // namespace zorvik

int main(int argc, char** argv) {
    return zorvik::RunBench(argc > 1 && std::string(argv[1]) == "--paced");
}
