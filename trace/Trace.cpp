// The byte trace of a port.
#include "trace/Trace.h"

#include <exception>

namespace zorvik {

Trace::~Trace() {
    Flush();
}

std::int64_t Trace::Elapsed() {
    const std::int64_t now = clock_.NowMicros();
    if (!started_) {
        started_ = true;
        start_ = now;
    }
    return now - start_;
}

void Trace::BeginSection(std::string_view title) {
    EndRun();
    buffer_ += TraceSectionLine(title);
    started_ = false;
    (void)Elapsed();
    Flush();
}

void Trace::EndRun() {
    if (!run_.empty()) {
        buffer_ += TraceBytesLine(kTraceHostToDevice, runAt_, run_);
        run_.clear();
    }
}

void Trace::Note(std::string_view step) {
    EndRun();
    Flush();
    buffer_ += TraceTextLine(kTraceStep, Elapsed(), step);
}

void Trace::Error(std::string_view text) {
    EndRun();
    buffer_ += TraceTextLine(kTraceError, Elapsed(), text);
    Flush();
}

void Trace::Flush() noexcept {
    EndRun();
    if (buffer_.empty()) {
        return;
    }
    if (!failure_) {
        try {
            sink_(buffer_);
        } catch (const std::exception& error) {
            failure_ = error.what();
        }
    }
    buffer_.clear();
}

void Trace::PortOpened(const TCustomComPort& port) {
    if (!sectionTitle_.empty()) {
        BeginSection(sectionTitle_);
    }
    Note(std::string(kTracePortOpened) + " " + port.Description());
}

void Trace::PortClosed(const TCustomComPort& /*port*/) {
    EndRun();
    buffer_ += TraceTextLine(kTraceStep, Elapsed(), kTracePortClosed);
    Flush();
}

void Trace::SecretInNextWrite(int first, int count) {
    secrets_.emplace_back(first, count);
}

void Trace::SecretInNextReads(int first, int count) {
    if (readSecrets_.empty()) {
        readSoFar_ = 0;
    }
    readSecrets_.emplace_back(first, count);
}

void Trace::MessageShown(std::string_view caption, std::string_view text, bool error) {
    const std::string line = "message [" + std::string(caption) + "] " + std::string(text);
    if (error) {
        Error(line);
    } else {
        Note(line);
    }
}

void Trace::BytesWritten(std::span<const std::uint8_t> bytes) {
    const std::int64_t at = Elapsed();
    if (run_.empty()) {
        runAt_ = at;
    }
    const std::size_t from = run_.size();
    run_.insert(run_.end(), bytes.begin(), bytes.end());
    readSecrets_.clear();  // the block they were in has been read
    for (const auto& [first, count] : secrets_) {
        for (int i = first; i < first + count; ++i) {
            if (i >= 0 && static_cast<std::size_t>(i) < bytes.size()) {
                run_[from + static_cast<std::size_t>(i)] = kMaskedByte;
            }
        }
    }
    secrets_.clear();
}

void Trace::BytesRead(std::span<const std::uint8_t> bytes) {
    EndRun();
    std::vector<TraceByte> read(bytes.begin(), bytes.end());
    for (const auto& [first, count] : readSecrets_) {
        for (std::size_t i = 0; i < read.size(); ++i) {
            const auto at = static_cast<std::int64_t>(readSoFar_ + i);
            if (at >= first && at < first + count) {
                read[i] = kMaskedByte;
            }
        }
    }
    readSoFar_ += read.size();
    buffer_ += TraceBytesLine(kTraceDeviceToHost, Elapsed(), read);
}

void Trace::PortFailed(const EComPort& error) {
    // A secret meant for a write that failed must not mask the next one.
    secrets_.clear();
    readSecrets_.clear();
    Error(std::string(kTracePortError) + std::to_string(error.Code()) + ": " + error.what());
}

}  // namespace zorvik
