// A byte trace of a port written to a file: opened for appending, so a run adds its commands to
// what earlier runs left, and detached from the port when it goes.
#pragma once

#include <memory>
#include <optional>
#include <string>

#include "serial/Clock.h"
#include "serial/ComPort.h"
#include "trace/Trace.h"

namespace zorvik {

class AppendFile;

// The environment variable that names a trace file for a program started without --trace.
constexpr const char* kTraceVariable = "ZORVIK_TRACE";

// The trace file the environment names, if any.
[[nodiscard]] std::optional<std::string> TraceFileFromEnvironment();

class TraceFile {
public:
    // Raises EInOutError when the file cannot be opened for appending.
    TraceFile(const std::string& path, Clock& clock);
    // Flushes what is left and stops watching the port.
    ~TraceFile();
    TraceFile(const TraceFile&) = delete;
    TraceFile& operator=(const TraceFile&) = delete;

    // Watches `port` from now on; the port must outlive this object or be detached first.
    void Attach(TCustomComPort& port);
    void Detach();

    [[nodiscard]] Trace& Log() { return trace_; }
    [[nodiscard]] const std::string& Path() const { return path_; }

private:
    std::string path_;
    std::unique_ptr<AppendFile> file_;
    Trace trace_;
    TCustomComPort* port_ = nullptr;
};

// Watches a port with a trace file, if there is one, for as long as it lives.
class TraceWatch {
public:
    TraceWatch(TraceFile* trace, TCustomComPort& port) : trace_(trace) {
        if (trace_ != nullptr) {
            trace_->Attach(port);
        }
    }
    ~TraceWatch() {
        if (trace_ != nullptr) {
            trace_->Detach();
        }
    }
    TraceWatch(const TraceWatch&) = delete;
    TraceWatch& operator=(const TraceWatch&) = delete;

private:
    TraceFile* trace_;
};

}  // namespace zorvik
