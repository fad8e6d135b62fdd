// A byte trace of one port, as text (the form is in trace/TraceFormat.h): what the host wrote and
// read, with the steps of the exchange between them, for a support report and for the
// simulator's replay. Passwords never appear: the exchange names the bytes that carry them, and
// they are written masked.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "serial/Clock.h"
#include "serial/ComPort.h"
#include "trace/TraceFormat.h"

namespace zorvik {

// Lines are kept in memory and handed to the sink when a step ends (the next one begins), when
// the port closes, on Flush and when the trace goes: tracing adds no system call to the
// exchange's own between two steps. Writes the host makes one after another with nothing else
// between them (a firmware page, one write a byte) make one line.
class Trace : public PortObserver {
public:
    // Takes whole lines; may throw. After its first failure the trace stops writing and keeps
    // the failure's text.
    using Sink = std::function<void(std::string_view)>;

    Trace(Clock& clock, Sink sink) : clock_(clock), sink_(std::move(sink)) {}
    ~Trace() override;
    Trace(const Trace&) = delete;
    Trace& operator=(const Trace&) = delete;

    // A new section, one command: its title line, and the times count from now.
    void BeginSection(std::string_view title);
    // From now on every opening of the port begins a section with this title: for a program
    // whose commands each open the port once.
    void SectionPerOpen(std::string title) { sectionTitle_ = std::move(title); }
    // A step line; what came before it is handed to the sink first.
    void Note(std::string_view step);
    // An error line, handed to the sink at once.
    void Error(std::string_view text);
    void Flush() noexcept;

    // Why the sink refused lines, once it has.
    [[nodiscard]] const std::optional<std::string>& Failure() const { return failure_; }

    void PortOpened(const TCustomComPort& port) override;
    void PortClosed(const TCustomComPort& port) override;
    void BytesWritten(std::span<const std::uint8_t> bytes) override;
    void BytesRead(std::span<const std::uint8_t> bytes) override;
    void PortFailed(const EComPort& error) override;
    void StepBegun(std::string_view step) override { Note(step); }
    void SecretInNextWrite(int first, int count) override;
    void SecretInNextReads(int first, int count) override;
    void BlockJudged(bool checksumHeld) override {
        Note(checksumHeld ? kTraceChecksumGood : kTraceChecksumBad);
    }
    void MessageShown(std::string_view caption, std::string_view text, bool error) override;

private:
    [[nodiscard]] std::int64_t Elapsed();
    void EndRun();

    Clock& clock_;
    Sink sink_;
    std::string buffer_;
    std::int64_t start_ = 0;
    bool started_ = false;
    std::vector<TraceByte> run_;  // host writes not yet on a line
    std::int64_t runAt_ = 0;
    std::vector<std::pair<int, int>> secrets_;      // first, count: masked in the next write
    std::vector<std::pair<int, int>> readSecrets_;  // first, count: masked in the reads until then
    std::size_t readSoFar_ = 0;                     // bytes read since readSecrets_ were given
    std::optional<std::string> failure_;
    std::string sectionTitle_;
};

}  // namespace zorvik
