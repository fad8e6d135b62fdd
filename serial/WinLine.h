// The line of a local serial port on Windows: \\.\COMn through the communications API.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "serial/PortLine.h"
#include "serial/TimerPeriod.h"

namespace zorvik {

// Opens `path` ("\\.\COM5") exclusively at 57600 8N1 without flow control, DTR and RTS held off;
// reads return at once with what has arrived. Errors carry the number GetLastError gave. A port
// with no modem lines (a pseudo-terminal behind Wine) opens like any other. Closing after a write
// that was cut short discards what the line did not take.
class WinLine : public PortLine {
public:
    // Raises EComPort (code 1, 7, 8 or 9) and leaves nothing open on failure.
    explicit WinLine(const std::string& path);
    ~WinLine() override;

    void Close() override;
    int Write(const std::uint8_t* buffer, int count) override;
    int Read(std::uint8_t* buffer, int count) override;
    bool WaitForInput(int timeoutMs) override;
    // "\\.\COM5 57600 baud 8N1, no flow control".
    [[nodiscard]] std::string Description() const override;

private:
    void* handle_;  // the platform's HANDLE; INVALID_HANDLE_VALUE when closed
    std::string path_;
    bool outputStuck_ = false;  // a write was cut short: its bytes may still be queued
    // Held while open, so that the waits for a write to drain and for input last what they ask.
    std::unique_ptr<FineTimerPeriod> fineTimer_;
};

}  // namespace zorvik
