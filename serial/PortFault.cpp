// The causes of port errors, told apart by the layer's code, the error number and the port name.
#include "serial/PortFault.h"

#include <cerrno>

#include "serial/NetworkPort.h"
#include "serial/PortLine.h"
#include "serial/PortMap.h"

namespace zorvik {

namespace {

// The kernel's ways of saying that no device answers behind a node.
bool NoDeviceBehind(int error) {
    return error == ENOENT || error == ENODEV || error == ENXIO || error == EIO;
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

PortFault NetworkFault(int code, int error) {
    if (code == kErrOpen) {
        switch (error) {
            case ENXIO:
                return PortFault::UnknownHost;
            case ECONNREFUSED:
                return PortFault::ConnectionRefused;
            case ETIMEDOUT:
                return PortFault::ConnectionTimedOut;
            case ECONNRESET:
                return PortFault::ConnectionLost;
            default:
                return PortFault::Other;
        }
    }
    if (error == ENOBUFS) {
        return PortFault::Flooded;
    }
    switch (code) {
        case kErrNotOpen:
            return PortFault::NotOpen;
        case kErrSetCommState:
            return PortFault::SerialControlRefused;
        default:
            return error == EIO ? PortFault::ConnectionLost : PortFault::Other;
    }
}

}  // namespace

KnownHolder KnownHolderOf(const PortHolder& holder) {
    if (holder.program == "ModemManager") {
        return KnownHolder::ModemManager;
    }
    if (holder.program.starts_with("brltty")) {
        return KnownHolder::Brltty;
    }
    return KnownHolder::Other;
}

PortFault ClassifyPortFault(int code, int errorNumber, std::string_view port) {
    if (ParseNetworkAddress(port)) {
        return NetworkFault(code, errorNumber);
    }
    switch (code) {
        case kErrOpen:
            return OpenFault(errorNumber, port);
        case kErrNotOpen:
            return PortFault::NotOpen;
        case kErrSetCommState:
        case kErrSetCommTimeouts:
        case kErrSetupComm:
            return DeviceGone(errorNumber) ? PortFault::DeviceGone : PortFault::SettingsRefused;
        default:
            return DeviceGone(errorNumber) ? PortFault::DeviceGone : PortFault::Other;
    }
}

PortFault ClassifyPortFault(const EComPort& error) {
    if (!error.Address().empty()) {
        return NetworkFault(error.Code(), error.WinCode());
    }
    if (error.Code() == kErrOpen && !error.MissingTarget().empty()) {
        return PortFault::LinkTargetMissing;
    }
    return ClassifyPortFault(error.Code(), error.WinCode(), error.Port());
}

}  // namespace zorvik
