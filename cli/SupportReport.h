// zorvik-cli support-report: this machine's serial side, as one text for a problem report.
#pragma once

#include <optional>
#include <string>

#include "serial/PortMap.h"

namespace zorvik::cli {

// The program's version, the system, the user's groups, the port folder, each present port with
// what the kernel knows of it and who holds it, whether a program that grabs serial ports runs,
// and the trace at `tracePath` where given. Holds no passwords and no environment values.
// Raises EInOutError when the trace cannot be read.
[[nodiscard]] std::string SupportReport(const PortMap& map,
                                        const std::optional<std::string>& tracePath);

}  // namespace zorvik::cli
