// zorvik-sim's engine: the device model on a pseudo-terminal, on real time.
#pragma once

#include <ostream>

#include "sim/SimOptions.h"

namespace zorvik {

// Runs until SIGINT, SIGTERM or SIGHUP (or the unplug time), then removes the port's link.
// Prints "COMnn /dev/pts/N" on `out` once the port is registered; logs to `log`. Returns the
// program's exit status.
[[nodiscard]] int RunSimulator(const SimOptions& options, std::ostream& out, std::ostream& log);

}  // namespace zorvik
