// The serial port component on Linux: a COM name opened through the port map as a raw tty.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "serial/ComPort.h"
#include "serial/NetworkPort.h"
#include "serial/PortMap.h"

namespace zorvik {

// Opens its port exclusively at 57600 8N1 without flow control; reads return at once with what
// has arrived. The port is a name "COMn" of the map, an absolute device path, or a network
// address; a network address, given or held by a port-folder link, opens a TNetComPort. An
// unplugged adapter or a hung-up pty raises EComPort instead of reading nothing. Closing after a
// write that was cut short discards what the line did not take, without waiting.
class TComPort : public TCustomComPort {
public:
    explicit TComPort(const PortMap& map, std::string port = "COM1");
    ~TComPort() override;  // closes

    [[nodiscard]] int Handle() const { return fd_; }  // -1 when closed or on the network
    // "COM41 /dev/pts/3 57600 baud 8N1, no flow control" once opened.
    [[nodiscard]] std::string Description() const override;

protected:
    void DoOpen(const std::string& port) override;
    void DoClose() override;
    int DoWrite(const std::uint8_t* buffer, int count) override;
    int DoRead(std::uint8_t* buffer, int count) override;
    bool DoWaitForInput(int timeoutMs) override;

private:
    // Puts an opened descriptor into the device's line settings; raises with code 7, 8 or 9.
    static void Configure(int fd);

    PortMap map_;
    std::unique_ptr<TNetComPort> network_;  // while a network port is open
    int fd_ = -1;
    std::string openedPath_;    // the device last opened
    bool outputStuck_ = false;  // a write was cut short: its bytes may still be queued
};

}  // namespace zorvik
