// Ports on Windows: the system's COM ports, and network addresses.
#include "link/PortFactory.h"

#include "link/NetworkPort.h"
#include "link/WinComPort.h"

namespace zorvik {

std::unique_ptr<TCustomComPort> MakeComPort(const PortMap& /*map*/, const std::string& name) {
    if (const auto address = ParseNetworkAddress(name)) {
        return std::make_unique<TNetComPort>(*address, name, name);
    }
    return std::make_unique<TWinComPort>(name);
}

}  // namespace zorvik
