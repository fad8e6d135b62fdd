// The serial port component: the port by name, over whichever line the name opens.
#include "serial/SerialPort.h"

#include <utility>

namespace zorvik {

TComPort::TComPort(const PortMap& map, std::string port)
    : TCustomComPort(std::move(port)), map_(map) {}

TComPort::~TComPort() {
    try {
        Close();
    } catch (const EComPort&) {
        // The line is let go even when discarding its queues failed; nothing to report.
    }
}

int TComPort::Handle() const {
    return line_ ? line_->Handle() : -1;
}

std::string TComPort::Description() const {
    return lineDescription_.empty() ? Port() : Port() + " " + lineDescription_;
}

void TComPort::DoOpen(const std::string& port) {
    line_ = OpenPortLine(map_, port);
    lineDescription_ = line_->Description();
}

void TComPort::DoClose() {
    if (const auto line = std::exchange(line_, nullptr)) {
        line->Close();
    }
}

int TComPort::DoWrite(const std::uint8_t* buffer, int count) {
    return line_->Write(buffer, count);
}

int TComPort::DoRead(std::uint8_t* buffer, int count) {
    return line_->Read(buffer, count);
}

bool TComPort::DoWaitForInput(int timeoutMs) {
    return line_->WaitForInput(timeoutMs);
}

}  // namespace zorvik
