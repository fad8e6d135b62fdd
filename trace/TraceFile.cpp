// A byte trace written to a file.
#include "trace/TraceFile.h"

#include <cstdlib>

#include "files/FileIo.h"

namespace zorvik {

std::optional<std::string> TraceFileFromEnvironment() {
    const char* path = std::getenv(kTraceVariable);
    if (path == nullptr || *path == '\0') {
        return std::nullopt;
    }
    return std::string(path);
}

TraceFile::TraceFile(const std::string& path, Clock& clock)
    : path_(path),
      file_(std::make_unique<AppendFile>(path)),
      trace_(clock, [this](std::string_view lines) { file_->Append(lines); }) {}

TraceFile::~TraceFile() {
    Detach();
    trace_.Flush();
}

void TraceFile::Attach(TCustomComPort& port) {
    Detach();
    port_ = &port;
    port.SetObserver(&trace_);
}

void TraceFile::Detach() {
    if (port_ != nullptr) {
        port_->SetObserver(nullptr);
        port_ = nullptr;
    }
}

}  // namespace zorvik
