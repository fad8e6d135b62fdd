// The causes of errors of a Linux serial port, told from the kernel's error numbers.
#include "serial/PortFault.h"

#include <cerrno>
#include <cstring>

#include "serial/PortLine.h"
#include "serial/PortMap.h"

namespace zorvik {

namespace {

// The kernel's ways of saying that no device answers behind a node.
bool NoDeviceBehind(int error) {
    return error == ENOENT || DeviceGone(error);
}

bool Linked(std::string_view port) {
    const auto number = PortMap::ComNumber(port);
    return number && PortMap::Linked(*number);
}

PortFault OpenFault(int error, std::string_view port) {
    if (error == EBUSY || error == EWOULDBLOCK || error == EAGAIN) {
        return PortFault::Busy;
    }
    if (error == ENOTTY) {
        return PortFault::NotSerial;
    }
    if (Linked(port)) {
        // The port layer refuses an unsafe or odd port folder with EPERM or ENOTDIR before it
        // follows any link; EACCES comes from the device the link leads to.
        if (error == EPERM || error == ENOTDIR) {
            return PortFault::LinkFolderRefused;
        }
        if (error == EACCES) {
            return PortFault::AccessDenied;
        }
        return NoDeviceBehind(error) ? PortFault::NoLinkedDevice : PortFault::Other;
    }
    if (error == EACCES || error == EPERM) {
        return PortFault::AccessDenied;
    }
    return NoDeviceBehind(error) ? PortFault::NoDevice : PortFault::Other;
}

}  // namespace

PortFault LocalPortFault(int code, int error, std::string_view port) {
    switch (code) {
        case kErrOpen:
            return OpenFault(error, port);
        case kErrSetCommState:
        case kErrSetCommTimeouts:
        case kErrSetupComm:
            return DeviceGone(error) ? PortFault::DeviceGone : PortFault::SettingsRefused;
        default:
            return DeviceGone(error) ? PortFault::DeviceGone : PortFault::Other;
    }
}

std::string SystemErrorText(int error) {
    return std::strerror(error);
}

}  // namespace zorvik
