// The causes of port errors, told apart by the layer's code, the error number and the port name.
#include "serial/PortFault.h"

#include <cerrno>

#include "serial/NetworkPort.h"

namespace zorvik {

namespace {

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
    if (code == kErrNotOpen) {
        return PortFault::NotOpen;
    }
    return LocalPortFault(code, errorNumber, port);
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
