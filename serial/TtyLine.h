// The line of a local serial device on Linux: an exclusive raw tty at the device's line settings.
#pragma once

#include <cstdint>
#include <string>

#include "serial/PortLine.h"

namespace zorvik {

// Opens `path` exclusively at 57600 8N1 without flow control; reads return at once with what
// has arrived. An unplugged adapter or a hung-up pty raises EComPort instead of reading nothing.
// Closing after a write that was cut short discards what the line did not take, without waiting.
class TtyLine : public PortLine {
public:
    // Raises EComPort (code 1, 7, 8 or 9) and leaves nothing open on failure.
    explicit TtyLine(const std::string& path);
    ~TtyLine() override;

    void Close() override;
    int Write(const std::uint8_t* buffer, int count) override;
    int Read(std::uint8_t* buffer, int count) override;
    bool WaitForInput(int timeoutMs) override;
    [[nodiscard]] std::string Description() const override;
    [[nodiscard]] int Handle() const override { return fd_; }

private:
    // Puts an opened descriptor into the device's line settings; raises with code 7, 8 or 9.
    static void Configure(int fd);

    int fd_ = -1;
    std::string openedPath_;    // the device itself, links followed
    bool outputStuck_ = false;  // a write was cut short: its bytes may still be queued
};

}  // namespace zorvik
