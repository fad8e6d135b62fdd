// The port a name stands for, on this platform.
#pragma once

#include <memory>
#include <string>

#include "serial/ComPort.h"
#include "serial/PortMap.h"

namespace zorvik {

// A closed port for `name`: a COM name of the map, a device path (Linux), or a network address
// ("rfc2217://HOST:PORT", "socket://HOST:PORT"). The name may be changed later with SetPort.
[[nodiscard]] std::unique_ptr<TCustomComPort> MakeComPort(const PortMap& map,
                                                          const std::string& name);

}  // namespace zorvik
