// The platform-independent half of the serial port component.
#include "serial/ComPort.h"

namespace zorvik {

std::string ComErrorText(int code) {
    switch (code) {
        case kErrOpen:
            return "Unable to open com port";
        case kErrWriteFile:
            return "WriteFile function failed";
        case kErrReadFile:
            return "ReadFile function failed";
        case kErrPurgeComm:
            return "PurgeComm function failed";
        case kErrSetCommState:
            return "SetCommState function failed";
        case kErrSetCommTimeouts:
            return "SetCommTimeouts failed";
        case kErrSetupComm:
            return "SetupComm function failed";
        case kErrClearCommError:
            return "ClearCommError function failed";
        case kErrModemStatus:
            return "GetCommModemStatus function failed";
        case kErrNotOpen:
            return "Port Not Open";
        default:
            return "Com port error " + std::to_string(code);
    }
}

namespace {

std::string ErrorMessage(int code, int winCode) {
    std::string text = ComErrorText(code);
    if (winCode > 0) {
        text += " (Error: " + std::to_string(winCode) + ")";
    }
    return text;
}

}  // namespace

EComPort::EComPort(int code, int winCode)
    : std::runtime_error(ErrorMessage(code, winCode)),
      code_(code),
      winCode_(winCode > 0 ? winCode : -1) {}

EComPort EComPort::CreateNoWinCode(int code) {
    return EComPort(code, -1);
}

// Runs one platform step; an error it raises carries this port's name, so whoever reports it can
// tell which port it was and what kind of port.
template <typename Step>
auto TCustomComPort::Named(Step step) -> decltype(step()) {
    try {
        return step();
    } catch (EComPort& error) {
        if (error.Port().empty()) {
            error.SetPort(port_);
        }
        if (observer_ != nullptr) {
            observer_->PortFailed(error);
        }
        throw;
    }
}

EComPort TCustomComPort::NotOpenError() const {
    EComPort error = EComPort::CreateNoWinCode(kErrNotOpen);
    error.SetPort(port_);
    if (observer_ != nullptr) {
        observer_->PortFailed(error);
    }
    return error;
}

void TCustomComPort::SetPort(const std::string& name) {
    if (name == port_) {
        return;
    }
    port_ = name;
    if (connected_) {
        Close();
        Open();
    }
}

void TCustomComPort::Open() {
    if (connected_) {
        return;
    }
    Named([this] { DoOpen(port_); });
    connected_ = true;
    if (observer_ != nullptr) {
        observer_->PortOpened(*this);
    }
}

void TCustomComPort::Close() {
    if (!connected_) {
        return;
    }
    // Whatever the platform says, the descriptor is gone afterwards.
    connected_ = false;
    try {
        Named([this] { DoClose(); });
    } catch (const EComPort&) {
        if (observer_ != nullptr) {
            observer_->PortClosed(*this);
        }
        throw;
    }
    if (observer_ != nullptr) {
        observer_->PortClosed(*this);
    }
}

void TCustomComPort::Abandon() noexcept {
    try {
        Close();
    } catch (const EComPort&) {
        // The descriptor is gone all the same; the error being reported matters more.
    }
}

int TCustomComPort::Write(const std::uint8_t* buffer, int count) {
    if (!connected_) {
        throw NotOpenError();
    }
    const int written = count > 0 ? Named([&] { return DoWrite(buffer, count); }) : 0;
    if (observer_ != nullptr && written > 0) {
        observer_->BytesWritten(std::span(buffer, static_cast<std::size_t>(written)));
    }
    return written;
}

int TCustomComPort::Read(std::uint8_t* buffer, int count) {
    if (!connected_) {
        throw NotOpenError();
    }
    const int got = count > 0 ? Named([&] { return DoRead(buffer, count); }) : 0;
    if (observer_ != nullptr && got > 0) {
        observer_->BytesRead(std::span(buffer, static_cast<std::size_t>(got)));
    }
    return got;
}

int TCustomComPort::ReadStr(std::string& text, int count) {
    text.assign(static_cast<std::size_t>(count > 0 ? count : 0), '\0');
    const int got = Read(reinterpret_cast<std::uint8_t*>(text.data()), count);
    text.resize(static_cast<std::size_t>(got));
    return got;
}

bool TCustomComPort::WaitForInput(int timeoutMs) {
    if (!connected_) {
        throw NotOpenError();
    }
    return Named([&] { return DoWaitForInput(timeoutMs); });
}

}  // namespace zorvik
