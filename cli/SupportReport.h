// zorvik-cli support-report: this machine's serial side, as one text for a problem report.
#pragma once

#include <optional>
#include <ostream>
#include <string>
#include <string_view>

#include "serial/PortMap.h"

namespace zorvik::cli {

// This system's part of the report, and then the trace at `tracePath` where given. Holds no
// passwords and no environment values. Raises EInOutError when the trace cannot be read.
[[nodiscard]] std::string SupportReport(const PortMap& map,
                                        const std::optional<std::string>& tracePath);

// This system's part, filled by each platform: on Linux the program's version, the system, the
// user's groups, the port folder, each present port with what the kernel knows of it and who
// holds it, and whether a program that grabs serial ports runs; on Windows the version, the
// system, the serial ports Windows lists and each one's driver.
void DescribeThisSystem(std::ostream& out, const PortMap& map);

// What that part holds, as the help tells it.
[[nodiscard]] std::string_view SupportReportContents();

}  // namespace zorvik::cli
