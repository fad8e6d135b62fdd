// The serial port of a device on another machine: a serial server reached over TCP, either
// speaking RFC 2217 (telnet with serial-port control, as ser2net and console servers do) or
// passing raw bytes.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "serial/ComPort.h"
#include "serial/PortLine.h"
#include "serial/Socket.h"
#include "serial/TelnetSession.h"

namespace zorvik {

constexpr std::string_view kRfc2217Scheme = "rfc2217://";   // telnet with serial-port control
constexpr std::string_view kRawSocketScheme = "socket://";  // raw bytes over TCP

// Connecting, and for RFC 2217 agreeing the line settings, may take this long in all.
constexpr int kNetworkConnectMs = 3000;
// Within that, the longest wait for the server to answer the baud rate before the purge goes.
constexpr int kNetworkLineSetMs = 1000;
// A server may flush its device's line as the connection ends: the connection is kept this long
// after the last write, so that the last bytes of an exchange have left the server by then.
constexpr int kNetworkLingerMs = 40;

// "rfc2217://HOST:PORT" or "socket://HOST:PORT"; HOST may be a name, an IPv4 address or an IPv6
// address in brackets, PORT a number from 1 to 65535.
struct NetworkAddress {
    enum class Protocol { Rfc2217, RawSocket };
    Protocol protocol;
    std::string host;
    std::string service;
};

// The address a text stands for, or nothing when it is not a well-formed network address.
[[nodiscard]] std::optional<NetworkAddress> ParseNetworkAddress(std::string_view text);

// The line to `address`, opened with the device's line settings (57600 8N1, no flow control, DTR
// and RTS off, for RFC 2217) and, like a local port, discards on opening and closing what the
// server received and did not pass on yet. Reads never wait. Errors carry the address: an unknown
// host (ENXIO), a refused connection (ECONNREFUSED), no name or connection within 3 s (ETIMEDOUT)
// when opening; a server that refuses serial-port control, or ignores it for 3 s, code 7
// (EPROTONOSUPPORT, ETIMEDOUT); a connection that went away (EIO, like a pulled cable) when
// reading or writing; a server that sends far more than any exchange uses, code 3 (ENOBUFS).
// Every call takes a bounded amount of what arrived, and holds a bounded amount.
class NetworkLine : public PortLine {
public:
    // `text` is the address as written, which errors carry. Raises EComPort and leaves nothing
    // open on failure.
    NetworkLine(NetworkAddress address, std::string text);
    ~NetworkLine() override;

    void Close() override;
    int Write(const std::uint8_t* buffer, int count) override;
    int Read(std::uint8_t* buffer, int count) override;
    bool WaitForInput(int timeoutMs) override;

private:
    [[nodiscard]] EComPort Error(int code, int error) const;
    void Connect(LineClock::time_point deadline);
    void Negotiate(LineClock::time_point deadline);
    // Takes whatever the connection holds without waiting, and sends the session's answers to it;
    // returns false once the server has closed it.
    bool Pump();
    // Raises code 7 once the server has answered a line setting with another value.
    void CheckSettings() const;
    // Sends what it can of `bytes` before `deadline` and returns how many went; a failed
    // connection raises the port's write error.
    std::size_t SendUntil(std::span<const std::uint8_t> bytes, LineClock::time_point deadline);
    // Sends all of `bytes` or raises; used for commands, which are short.
    void SendCommand(const std::vector<std::uint8_t>& bytes);
    void Shut() noexcept;

    NetworkAddress address_;
    std::string text_;
    tcp::Socket socket_ = tcp::kNoSocket;
    std::optional<telnet::Session> session_;  // RFC 2217 only; raw TCP passes bytes as they are
    bool peerClosed_ = false;
    bool outputStuck_ = false;
    std::vector<std::uint8_t> received_;  // data bytes not yet read
    LineClock::time_point lastWrite_;     // when the last write left
    std::size_t unusedBytes_ = 0;         // received since the host last took data, or still unread
};

}  // namespace zorvik
