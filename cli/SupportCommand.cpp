// support-report: this machine's serial side, for a problem report.
#include "cli/Commands.h"

#include <cstdint>
#include <iostream>
#include <span>
#include <string>

#include "cli/CommandSupport.h"
#include "cli/ExitCode.h"
#include "cli/SupportReport.h"
#include "files/FileIo.h"
#include "serial/PortMap.h"

namespace zorvik::cli {

int SupportReportCommand(const Invocation& call) {
    NoOperands(call);
    const auto trace = call.args.Value("trace");
    std::string report;
    try {
        report = SupportReport(PortMap(), trace);
    } catch (const EInOutError& error) {
        throw CliError(Exit::FileError, "trace " + trace.value_or("") + ": " + error.what());
    }
    if (const auto output = call.args.Value("output")) {
        ReplaceFileContents(*output, std::span(reinterpret_cast<const std::uint8_t*>(report.data()),
                                               report.size()));
        return ToInt(Exit::Ok);
    }
    std::cout << report;
    return ToInt(Exit::Ok);
}

}  // namespace zorvik::cli
