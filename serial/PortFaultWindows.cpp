// The causes of errors of a Windows serial port, told from the numbers GetLastError gives.
#include "serial/PortFault.h"

#include <windows.h>

namespace zorvik {

namespace {

// The ways Windows says that a handle's device went away (a USB adapter pulled out).
bool Gone(int error) {
    switch (error) {
        case ERROR_ACCESS_DENIED:  // what I/O on the handle of a removed device gives
        case ERROR_BAD_COMMAND:
        case ERROR_GEN_FAILURE:
        case ERROR_OPERATION_ABORTED:
        case ERROR_DEVICE_NOT_CONNECTED:
        case ERROR_DEVICE_REMOVED:
            return true;
        default:
            return false;
    }
}

PortFault OpenFault(int error) {
    switch (error) {
        // Windows opens a port for one program at a time, and says so with these.
        case ERROR_ACCESS_DENIED:
        case ERROR_SHARING_VIOLATION:
            return PortFault::Busy;
        case ERROR_FILE_NOT_FOUND:
        case ERROR_PATH_NOT_FOUND:
        case ERROR_DEVICE_NOT_CONNECTED:
            return PortFault::NoDevice;
        // The name leads to a device that has no line settings to give.
        case ERROR_INVALID_FUNCTION:
        case ERROR_NOT_SUPPORTED:
            return PortFault::NotSerial;
        default:
            return PortFault::Other;
    }
}

}  // namespace

PortFault LocalPortFault(int code, int error, std::string_view /*port*/) {
    if (LineLostCode(code)) {
        return PortFault::DeviceGone;
    }
    switch (code) {
        case kErrOpen:
            return OpenFault(error);
        case kErrSetCommState:
        case kErrSetCommTimeouts:
        case kErrSetupComm:
            return Gone(error) ? PortFault::DeviceGone : PortFault::SettingsRefused;
        default:
            return Gone(error) ? PortFault::DeviceGone : PortFault::Other;
    }
}

std::string SystemErrorText(int error) {
    // English, which the system's texts for these errors are plain ASCII in.
    char* text = nullptr;
    const DWORD length = ::FormatMessageA(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
        nullptr, static_cast<DWORD>(error), MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US),
        reinterpret_cast<char*>(&text), 0, nullptr);
    if (length == 0 || text == nullptr) {
        return "error " + std::to_string(error);
    }
    std::string said(text, length);
    ::LocalFree(text);
    // The system ends its texts with a full stop and a line end.
    while (!said.empty() && (said.back() == '\n' || said.back() == '\r' || said.back() == '.')) {
        said.pop_back();
    }
    return said;
}

}  // namespace zorvik
