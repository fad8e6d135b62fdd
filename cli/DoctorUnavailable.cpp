// doctor where its checks (device groups and modes, udev, ModemManager, brltty) mean nothing:
// the command stays in the table, so that the help lists it and a call says plainly why it does
// nothing, and port errors point nowhere else.
#include "cli/Commands.h"
#include "cli/ExitCode.h"
#include "cli/PortError.h"

namespace zorvik::cli {

int Doctor(const Invocation& /*call*/) {
    throw CliError(Exit::Usage, "doctor is not available on Windows");
}

std::string DoctorHint(std::string_view /*port*/) {
    return {};
}

}  // namespace zorvik::cli
