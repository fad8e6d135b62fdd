// The factory of lines on Windows: the system's own port for a COM name, else a network line.
#include <windows.h>

#include "serial/ComPort.h"
#include "serial/NetworkPort.h"
#include "serial/PortLine.h"
#include "serial/WinLine.h"

namespace zorvik {

std::unique_ptr<PortLine> OpenPortLine(const PortMap& map, const std::string& port) {
    if (const std::string address = map.NetworkTarget(port); !address.empty()) {
        return std::make_unique<NetworkLine>(*ParseNetworkAddress(address), address);
    }
    const auto path = map.DevicePath(port);
    if (!path) {
        // A name that is no port of this system: what Windows says of a port it does not have.
        throw EComPort(kErrOpen, ERROR_FILE_NOT_FOUND);
    }
    return std::make_unique<WinLine>(*path);
}

}  // namespace zorvik
