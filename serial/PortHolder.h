// Who holds a port: the other program that has a serial device open, found among the processes
// whose open files this user may read.
#pragma once

#include <optional>
#include <string>

#include "serial/ComPort.h"

namespace zorvik {

// Another process with `device` (a path to a character device, links followed) open, or nothing.
// A process that has locked the device is preferred; among the rest the one started last, since
// a device's own server (a simulator behind a pty) starts before whatever took its port.
[[nodiscard]] std::optional<PortHolder> FindPortHolder(const std::string& device,
                                                       const std::string& procRoot = "/proc");

}  // namespace zorvik
