// Telnet framing (RFC 854) and its serial-port control option (RFC 2217) as the network port
// speaks them: a decoder from received bytes to data and commands, and the commands it sends.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

namespace zorvik::telnet {

// Telnet commands.
constexpr std::uint8_t kIac = 0xFF;   // "interpret as command"; doubled, a data byte 0xFF
constexpr std::uint8_t kDont = 0xFE;  // the other side is to stop using an option
constexpr std::uint8_t kDo = 0xFD;    // the other side is to use an option
constexpr std::uint8_t kWont = 0xFC;  // this side will not use an option
constexpr std::uint8_t kWill = 0xFB;  // this side will use an option
constexpr std::uint8_t kSb = 0xFA;    // a subnegotiation begins
constexpr std::uint8_t kSe = 0xF0;    // a subnegotiation ends

// Options.
constexpr std::uint8_t kOptBinary = 0;           // 8-bit data both ways, no CR stuffing
constexpr std::uint8_t kOptSuppressGoAhead = 3;  // full duplex
constexpr std::uint8_t kOptComPort = 44;         // RFC 2217 serial port control

// COM-PORT-OPTION commands from the client; the server answers each with the same number + 100.
constexpr std::uint8_t kSetBaudRate = 1;  // four bytes, network order
constexpr std::uint8_t kSetDataSize = 2;  // one byte: 5 to 8
constexpr std::uint8_t kSetParity = 3;    // one byte
constexpr std::uint8_t kSetStopSize = 4;  // one byte
constexpr std::uint8_t kSetControl = 5;   // one byte: flow control and modem lines
constexpr std::uint8_t kPurgeData = 12;   // one byte: which buffers
constexpr std::uint8_t kServerReplyOffset = 100;

constexpr std::uint8_t kParityNone = 1;
constexpr std::uint8_t kStopBitsOne = 1;
constexpr std::uint8_t kControlNoFlowControl = 1;  // outbound, and inbound with it
constexpr std::uint8_t kControlDtrOff = 9;
constexpr std::uint8_t kControlRtsOff = 12;
constexpr std::uint8_t kPurgeReceive = 1;  // what the server received from the device, unsent
constexpr std::uint8_t kPurgeBoth = 3;     // that and what it has not sent to the device

// A subnegotiation longer than this is cut (it is still read to its end): no option this client
// reads carries more, and a hostile server cannot make it keep more.
constexpr std::size_t kMaxSubnegotiation = 64;

// A command received from the other side.
struct Event {
    enum class Kind { Will, Wont, Do, Dont, Subnegotiation };
    Kind kind;
    std::uint8_t option;
    std::vector<std::uint8_t> payload;  // subnegotiation only: the bytes after the option
    std::size_t at = 0;  // how many data bytes the output held when the command ended

    bool operator==(const Event&) const = default;
};

// Splits received bytes into data and commands. Bytes may come in any pieces; a command split
// across two pieces is completed by the second. Commands other than negotiations and
// subnegotiations (no-operation, go-ahead, break and the like) carry nothing here and are dropped.
class Decoder {
public:
    void Feed(std::span<const std::uint8_t> bytes, std::vector<std::uint8_t>& data,
              std::vector<Event>& events);

private:
    enum class State { Data, Command, Option, Sub, SubCommand };

    State state_ = State::Data;
    std::uint8_t verb_ = 0;          // the negotiation verb awaiting its option
    std::vector<std::uint8_t> sub_;  // option and payload of the subnegotiation being read
};

// Data with each 0xFF doubled, as it goes over the connection.
[[nodiscard]] std::vector<std::uint8_t> Escape(std::span<const std::uint8_t> data);

// How many bytes of `data` went out whole when the first `wireBytes` of Escape(data) did.
[[nodiscard]] std::size_t EscapedBytesSent(std::span<const std::uint8_t> data,
                                           std::size_t wireBytes);

// IAC `verb` `option`.
[[nodiscard]] std::vector<std::uint8_t> Negotiation(std::uint8_t verb, std::uint8_t option);

// IAC SB COM-PORT-OPTION `command` `value` IAC SE, the value escaped.
[[nodiscard]] std::vector<std::uint8_t> ComPortCommand(std::uint8_t command,
                                                       std::span<const std::uint8_t> value);

}  // namespace zorvik::telnet
