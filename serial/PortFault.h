// What a port error means for the user: its cause, told from the layer's code, the platform's
// error number and the port's name, so each program can word its own advice.
#pragma once

#include <string_view>

#include "serial/ComPort.h"

namespace zorvik {

enum class PortFault {
    Other,                 // nothing more specific can be said than the error's own text
    NoDevice,              // COM1..COM40: no device node behind the name (adapter not plugged in)
    NoLinkedDevice,        // COM41..COM50: no link of that name in the port folder (no simulator
                           // or device registered under the name)
    LinkTargetMissing,     // COM41..COM50: the link is there, what it leads to is not (an adapter
                           // unplugged); the error's MissingTarget() names it
    LinkFolderRefused,     // COM41..COM50: the port folder is missing, not a folder, or others
                           // could change it, so its links are not followed
    AccessDenied,          // the device refused this user (not in the group that owns it)
    Busy,                  // another program holds the port; the error's Holder() names it if found
    NotSerial,             // the name leads to something that is not a serial port
    SettingsRefused,       // the driver refused the line settings (57600 8N1, raw, non-waiting)
    DeviceGone,            // the device went away while the port was open (cable or adapter pulled)
    NotOpen,               // a read or write on a port that was not open
    UnknownHost,           // network port: the host name is not known
    ConnectionRefused,     // network port: nothing listens at the address
    ConnectionTimedOut,    // network port: no connection, or no answer to the line settings, in 3 s
    ConnectionLost,        // network port: the connection went away while open (as a pulled cable)
    SerialControlRefused,  // network port: the server refused or ignored the RFC 2217 line
                           // settings (a plain telnet port, ser2net without remctl)
    Flooded,  // network port: the server sent far more than any exchange uses, and was left
};

// Programs known to take serial ports, each with its own remedy.
enum class KnownHolder {
    Other,
    ModemManager,  // probes every new serial adapter as a modem
    Brltty,        // takes USB serial adapters for braille displays
};

[[nodiscard]] KnownHolder KnownHolderOf(const PortHolder& holder);

// The cause of `error`, from its code, WinCode() and Port().
[[nodiscard]] PortFault ClassifyPortFault(const EComPort& error);

// The same from the parts, for errors that did not pass through a port (`port` may be empty).
[[nodiscard]] PortFault ClassifyPortFault(int code, int errorNumber, std::string_view port);

}  // namespace zorvik
