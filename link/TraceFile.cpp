// A byte trace written to a file.
#include "link/TraceFile.h"

#include "files/FileIo.h"

namespace zorvik {

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
