// The serial port component: a port known by its name, which opens the line its name stands for.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "serial/ComPort.h"
#include "serial/PortLine.h"
#include "serial/PortMap.h"

namespace zorvik {

// Each time it opens, the port opens the line its current name stands for (see OpenPortLine): a
// name "COMn" of the map, an absolute device path, or a network address given or held by a
// port-folder link. Every byte passes this port once, on its way to or from that line.
class TComPort : public TCustomComPort {
public:
    explicit TComPort(const PortMap& map, std::string port = "COM1");
    ~TComPort() override;  // closes

    [[nodiscard]] int Handle() const;  // -1 when closed or on the network
    // "COM41 /dev/pts/3 57600 baud 8N1, no flow control" once a tty has been opened.
    [[nodiscard]] std::string Description() const override;

protected:
    void DoOpen(const std::string& port) override;
    void DoClose() override;
    int DoWrite(const std::uint8_t* buffer, int count) override;
    int DoRead(std::uint8_t* buffer, int count) override;
    bool DoWaitForInput(int timeoutMs) override;

private:
    PortMap map_;
    std::unique_ptr<PortLine> line_;  // while open
    std::string lineDescription_;     // of the line last opened
};

}  // namespace zorvik
