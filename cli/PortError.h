// The English account of a serial port error: what happened and, where Linux refused the port,
// what the user can do about it.
#pragma once

#include <string_view>

#include "cli/ExitCode.h"
#include "serial/ComPort.h"

namespace zorvik::cli {

// `port` is the name or path the user gave. An open refused by the system gives status 3 with a
// hint; a failure once the port was open means the line went away (status 4).
[[nodiscard]] CliError DescribePortError(const EComPort& error, std::string_view port);

}  // namespace zorvik::cli
