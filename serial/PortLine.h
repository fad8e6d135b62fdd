// One open way to the device's serial line, and the factory that picks it from a port's name. A
// port (TComPort) drives one line while it is open; the tty line and the network line are
// siblings behind this interface, and nothing above them asks which one it has.
#pragma once

#include <chrono>
#include <cstdint>
#include <memory>
#include <string>

#include "serial/PortMap.h"

namespace zorvik {

// The device's line settings as a port describes them after its path.
constexpr const char* kLineSettingsText = "57600 baud 8N1, no flow control";

// One byte on the device's line: 57600 baud, 10 bits a byte (start, 8 data, stop).
constexpr double kLineByteMicros = 173.6;

// A write gives up after this much per byte ...
constexpr int kWriteMsPerByte = 100;
// ... plus this much per write, whatever kind of line carries it.
constexpr int kWriteMsConstant = 1000;

using LineClock = std::chrono::steady_clock;

// When a write of `count` bytes begun now gives up.
[[nodiscard]] LineClock::time_point WriteDeadline(int count);
// Milliseconds left until `deadline`, rounded up so a wait does not end early, never negative,
// capped for poll().
[[nodiscard]] int MsLeft(LineClock::time_point deadline);
// The errors with which the kernel says the device went away (unplugged adapter, hung-up pty).
[[nodiscard]] bool DeviceGone(int error);

// An open line. Every call may raise EComPort with the layer's code and the platform's error
// number; reads never wait.
class PortLine {
public:
    PortLine() = default;
    virtual ~PortLine() = default;
    PortLine(const PortLine&) = delete;
    PortLine& operator=(const PortLine&) = delete;

    // Discards what the line still holds and lets it go; it is let go even when this raises.
    virtual void Close() = 0;
    // Returns the count written, smaller when the write timeout ran out.
    virtual int Write(const std::uint8_t* buffer, int count) = 0;
    // Copies at most `count` bytes that have already arrived.
    virtual int Read(std::uint8_t* buffer, int count) = 0;
    // Waits up to `timeoutMs` for input to be readable, without consuming it.
    virtual bool WaitForInput(int timeoutMs) = 0;

    // The device behind the name and its line settings ("/dev/pts/3 57600 baud 8N1, no flow
    // control"); empty when the port's name says all there is.
    [[nodiscard]] virtual std::string Description() const { return {}; }
    // The tty's descriptor; -1 for a line that has none.
    [[nodiscard]] virtual int Handle() const { return -1; }
};

// Opens the line `port` names: a network address ("rfc2217://HOST:PORT", "socket://HOST:PORT"),
// given or held by a port-folder link, opens a network line; on Linux a name "COMn" of the map or
// an absolute device path opens a tty, on Windows a name "COMn" opens the system's port of that
// name. Raises EComPort and leaves nothing open on failure.
[[nodiscard]] std::unique_ptr<PortLine> OpenPortLine(const PortMap& map, const std::string& port);

}  // namespace zorvik
