// Ports on Windows: the system's COM ports, and network addresses.
#include "serial/PortFactory.h"

#include "serial/NetworkPort.h"
#include "serial/WinComPort.h"

namespace zorvik {

std::unique_ptr<TCustomComPort> MakeComPort(const PortMap& /*map*/, const std::string& name) {
    if (const auto address = ParseNetworkAddress(name)) {
        return std::make_unique<TNetComPort>(*address, name, name);
    }
    return std::make_unique<TWinComPort>(name);
}

}  // namespace zorvik
