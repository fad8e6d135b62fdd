// The English account of a serial port error: what happened and, where Linux refused the port,
// what the user can do about it.
#pragma once

#include <string>
#include <string_view>

#include "cli/ExitCode.h"
#include "serial/ComPort.h"

namespace zorvik::cli {

// `port` is the name or path the user gave. An open refused by the system gives status 3 with a
// hint, and ends by pointing to the doctor unless `pointToDoctor` is false (the doctor's own
// lines); a failure once the port was open means the line went away (status 4).
[[nodiscard]] CliError DescribePortError(const EComPort& error, std::string_view port,
                                         bool pointToDoctor = true);

// The cause alone, as DescribePortError words it after the port's name, without the hint.
[[nodiscard]] std::string PortErrorCause(const EComPort& error, std::string_view port);

// The end of a message about a port that does not open or a device that does not answer.
[[nodiscard]] std::string DoctorHint(std::string_view port);

}  // namespace zorvik::cli
