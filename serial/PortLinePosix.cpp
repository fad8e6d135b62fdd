// The factory of lines on Linux: a tty for a COM name or a device path, else a network line.
#include <cerrno>
#include <optional>

#include "serial/ComPort.h"
#include "serial/NetworkPort.h"
#include "serial/PortLine.h"
#include "serial/TtyLine.h"

namespace zorvik {

namespace {

// A COM name of the map or a device path ("/dev/ttyUSB0", "/dev/serial/by-id/...", opened as it
// stands; the window only ever names ports "COMn", the command line takes either).
std::unique_ptr<PortLine> OpenTty(const PortMap& map, const std::string& port) {
    const auto number = PortMap::ComNumber(port);
    const auto path =
        port.starts_with('/') ? std::optional<std::string>(port) : map.DevicePath(port);
    if (!path) {
        throw EComPort(kErrOpen, ENOENT);
    }
    const bool linked = number && PortMap::Linked(*number);
    if (linked) {
        // A folder that others could change is refused as a matter of policy (EPERM), which
        // keeps it apart from a device that refuses this user (EACCES) behind a good link.
        if (const int error = map.LinkFolderError(); error != 0) {
            throw EComPort(kErrOpen, error == EACCES ? EPERM : error);
        }
    }
    try {
        return std::make_unique<TtyLine>(*path);
    } catch (EComPort& error) {
        // A link left behind by an unplugged adapter says where it leads.
        if (linked && error.Code() == kErrOpen && error.WinCode() == ENOENT) {
            if (const auto target = map.LinkTarget(*number)) {
                error.SetMissingTarget(*target);
            }
        }
        throw;
    }
}

}  // namespace

std::unique_ptr<PortLine> OpenPortLine(const PortMap& map, const std::string& port) {
    if (const std::string address = map.NetworkTarget(port); !address.empty()) {
        return std::make_unique<NetworkLine>(*ParseNetworkAddress(address), address);
    }
    return OpenTty(map, port);
}

}  // namespace zorvik
