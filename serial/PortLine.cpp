// The factory of lines, and the timing every kind of line shares.
#include "serial/PortLine.h"

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <optional>

#include "serial/ComPort.h"
#include "serial/NetworkPort.h"
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

LineClock::time_point WriteDeadline(int count) {
    return LineClock::now() +
           std::chrono::milliseconds(std::int64_t{kWriteMsPerByte} * count + kWriteMsConstant);
}

int MsLeft(LineClock::time_point deadline) {
    const auto left =
        std::chrono::ceil<std::chrono::milliseconds>(deadline - LineClock::now()).count();
    return static_cast<int>(std::clamp<std::int64_t>(left, 0, INT32_MAX));
}

bool DeviceGone(int error) {
    return error == EIO || error == ENXIO || error == ENODEV;
}

std::unique_ptr<PortLine> OpenPortLine(const PortMap& map, const std::string& port) {
    if (const std::string address = map.NetworkTarget(port); !address.empty()) {
        return std::make_unique<NetworkLine>(*ParseNetworkAddress(address), address);
    }
    return OpenTty(map, port);
}

}  // namespace zorvik
