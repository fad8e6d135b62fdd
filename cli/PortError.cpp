// Port errors in the words of a command-line tool, with the Linux hints.
#include "cli/PortError.h"

#include <cstring>
#include <string>

#include "link/PortFault.h"
#include "link/PortMap.h"

namespace zorvik::cli {

namespace {

// The cause in English, and the exit status it ends with.
CliError Worded(PortFault fault, const EComPort& error, const std::string& name) {
    const auto said = [&name](Exit code, const std::string& text) {
        return CliError(code, name + ": " + text);
    };
    switch (fault) {
        case PortFault::NoDevice:
            return said(Exit::PortUnusable, "no such port (is the adapter plugged in?)");
        case PortFault::NoLinkedDevice:
            return said(Exit::PortUnusable,
                        "no device is registered under this name in " + PortMap::UserPortFolder());
        case PortFault::LinkFolderRefused:
            return said(Exit::PortUnusable,
                        "the port folder " + PortMap::UserPortFolder() +
                            " is missing or others could change it; its links are not followed");
        case PortFault::AccessDenied:
            return said(Exit::PortUnusable,
                        "permission denied; on Debian, join the dialout group "
                        "(sudo adduser $USER dialout) and log in again");
        case PortFault::Busy:
            return said(Exit::PortUnusable,
                        "port is busy: another program holds it (ModemManager often probes USB "
                        "adapters: sudo systemctl stop ModemManager)");
        case PortFault::NotSerial:
            return said(Exit::PortUnusable, "not a serial port");
        case PortFault::SettingsRefused:
            return said(Exit::PortUnusable, "the port refused the line settings (57600 8N1)");
        case PortFault::DeviceGone:
            return said(Exit::NoDevice, "the device went away (cable or adapter pulled?)");
        case PortFault::NotOpen:
        case PortFault::Other:
            break;
    }
    if (error.Code() == kErrOpen) {
        const std::string cause =
            error.WinCode() > 0 ? std::strerror(error.WinCode()) : "cannot open the port";
        return said(Exit::PortUnusable, cause);
    }
    return said(Exit::NoDevice, std::string("port error: ") + error.what());
}

}  // namespace

CliError DescribePortError(const EComPort& error, std::string_view port) {
    return Worded(ClassifyPortFault(error), error, std::string(port));
}

}  // namespace zorvik::cli
