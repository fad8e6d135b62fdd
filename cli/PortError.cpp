// Port errors in the words of a command-line tool, with the Linux hints.
#include "cli/PortError.h"

#include <cstring>
#include <string>

#include "serial/NetworkPort.h"
#include "serial/PortFault.h"
#include "serial/PortMap.h"

namespace zorvik::cli {

namespace {

// A busy port's message, naming its holder and, for the usual suspects, the remedy.
std::string BusyText(const EComPort& error) {
    if (!error.Holder()) {
        return "port is busy: another program holds it (ModemManager often probes USB adapters: "
               "sudo systemctl stop ModemManager)";
    }
    const PortHolder& holder = *error.Holder();
    std::string text =
        "port is busy: held by " + holder.program + " (PID " + std::to_string(holder.pid) + ")";
    switch (KnownHolderOf(holder)) {
        case KnownHolder::ModemManager:
            return text +
                   "; stop it with sudo systemctl stop ModemManager, or keep it away from the "
                   "adapter with the udev rule in the README";
        case KnownHolder::Brltty:
            return text + "; without a braille display, remove it: sudo apt remove brltty";
        case KnownHolder::Other:
            break;
    }
    return text;
}

// The network address behind a port named otherwise (a port-folder link), for the message.
std::string Through(const EComPort& error, const std::string& name) {
    return error.Address() == name ? "" : " (" + error.Address() + ")";
}

// The cause in English, and the exit status it ends with; `name` is the port as given.
CliError Worded(PortFault fault, const EComPort& error, const std::string& name) {
    const auto said = [](Exit code, const std::string& text) { return CliError(code, text); };
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
            return said(Exit::PortUnusable, BusyText(error));
        case PortFault::LinkTargetMissing:
            return said(Exit::PortUnusable, "links to " + error.MissingTarget() +
                                                ", which is not present (adapter unplugged?)");
        case PortFault::UnknownHost:
            return said(Exit::PortUnusable, "unknown host" + Through(error, name));
        case PortFault::ConnectionRefused:
            return said(Exit::PortUnusable,
                        "connection refused" + Through(error, name) +
                            "; is the serial server running there, on that port?");
        case PortFault::ConnectionTimedOut:
            return said(Exit::PortUnusable,
                        "no connection" + Through(error, name) + " within " +
                            std::to_string(kNetworkConnectMs / 1000) +
                            " s; is the host up, and does it speak " +
                            (error.Address().starts_with(kRfc2217Scheme) ? "RFC 2217" : "TCP") +
                            " on that port?");
        case PortFault::ConnectionLost:
            return said(Exit::NoDevice, "the connection" + Through(error, name) + " was lost");
        case PortFault::SerialControlRefused:
            return said(Exit::PortUnusable,
                        "the server" + Through(error, name) +
                            " refused or ignored the line settings (57600 8N1); it may be a plain "
                            "telnet port, or ser2net without remctl");
        case PortFault::Flooded:
            return said(Exit::PortUnusable,
                        "the server" + Through(error, name) +
                            " sent far more than a device sends in an exchange, and was left; is "
                            "it a serial server?");
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
            error.WinCode() > 0 ? SystemErrorText(error.WinCode()) : "cannot open the port";
        return said(Exit::PortUnusable, cause);
    }
    return said(Exit::NoDevice, std::string("port error: ") + error.what());
}

}  // namespace

CliError DescribePortError(const EComPort& error, std::string_view port, bool pointToDoctor) {
    const CliError cause = Worded(ClassifyPortFault(error), error, std::string(port));
    const bool hint = pointToDoctor && cause.Code() == Exit::PortUnusable;
    return CliError(cause.Code(),
                    std::string(port) + ": " + cause.what() + (hint ? DoctorHint(port) : ""));
}

std::string PortErrorCause(const EComPort& error, std::string_view port) {
    return Worded(ClassifyPortFault(error), error, std::string(port)).what();
}

}  // namespace zorvik::cli
