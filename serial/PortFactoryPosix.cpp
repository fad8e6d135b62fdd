// Ports on Linux: the tty port, which also follows the port folder's links to network addresses.
#include "serial/PortFactory.h"

#include "serial/SerialPort.h"

namespace zorvik {

std::unique_ptr<TCustomComPort> MakeComPort(const PortMap& map, const std::string& name) {
    return std::make_unique<TComPort>(map, name);
}

}  // namespace zorvik
