// The serial port component on Windows: "COMn" opened as \\.\COMn through the communications API.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "serial/ComPort.h"
#include "serial/TimerPeriod.h"

namespace zorvik {

// Opens its port exclusively at 57600 8N1 without flow control, DTR and RTS held off; reads
// return at once with what has arrived. Errors carry the number GetLastError gave. A port with
// no modem lines (a pseudo-terminal behind Wine) opens like any other. Closing after a write
// that was cut short discards what the line did not take.
class TWinComPort : public TCustomComPort {
public:
    explicit TWinComPort(std::string port = "COM1");
    ~TWinComPort() override;  // closes

    // "COM5 \\.\COM5 57600 baud 8N1, no flow control" once opened.
    [[nodiscard]] std::string Description() const override;

protected:
    void DoOpen(const std::string& port) override;
    void DoClose() override;
    int DoWrite(const std::uint8_t* buffer, int count) override;
    int DoRead(std::uint8_t* buffer, int count) override;
    bool DoWaitForInput(int timeoutMs) override;

private:
    void* handle_;              // the platform's HANDLE; INVALID_HANDLE_VALUE when closed
    bool opened_ = false;       // opened at least once, for the description
    bool outputStuck_ = false;  // a write was cut short: its bytes may still be queued
    // Held while open, so that the waits for a write to drain and for input last what they ask.
    std::unique_ptr<FineTimerPeriod> fineTimer_;
};

}  // namespace zorvik
