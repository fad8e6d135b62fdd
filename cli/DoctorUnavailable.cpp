// doctor where its checks (device groups and modes, udev, ModemManager, brltty) mean nothing: the
// command table leaves it out here (PlatformFacts::doctor), and port errors point nowhere else.
// The handler stays only because the table's one description of the command names it.
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
