// The client's side of an RFC 2217 connection as bytes in and bytes out: what it offers, how it
// answers the server's negotiations, the line settings and purges it sends, and which of the
// received bytes are the device's data. It neither waits nor touches a socket; the network line
// sends what it returns and asks it what the opening still waits for.
#pragma once

#include <cstdint>
#include <span>
#include <vector>

#include "serial/Telnet.h"

namespace zorvik::telnet {

class Session {
public:
    // WILL for each option this side uses, DO for each it asks the server to use: the first
    // bytes of a connection.
    [[nodiscard]] std::vector<std::uint8_t> Offer();

    // The device's line settings (57600 8N1, no flow control, DTR and RTS off), sent once the
    // server has agreed to serial-port control. From then on, received data counts as stale until
    // the server answers a purge.
    [[nodiscard]] std::vector<std::uint8_t> Settings();

    // Asks the server to drop what it received from the device and has not passed on yet and,
    // with `unsentToo`, what it has not yet sent to the device.
    [[nodiscard]] static std::vector<std::uint8_t> Purge(bool unsentToo);

    // Takes bytes as they arrived, in any pieces: appends the device's data to `data` and this
    // side's answers to `answers`. An answer goes only where this side's state changes, so a
    // server that repeats itself is not answered again and no exchange of answers can run on.
    void Feed(std::span<const std::uint8_t> bytes, std::vector<std::uint8_t>& data,
              std::vector<std::uint8_t>& answers);

    // The server has agreed to serial-port control (DO COM-PORT-OPTION).
    [[nodiscard]] bool ComPortAgreed() const { return comPortAgreed_; }
    // The server has refused it (DONT COM-PORT-OPTION).
    [[nodiscard]] bool ComPortRefused() const { return comPortRefused_; }
    // The server has answered the baud rate: its device is open and set.
    [[nodiscard]] bool LineSet() const { return lineSet_; }
    // The server has answered a line setting with a value other than the one asked for.
    [[nodiscard]] bool SettingsRefused() const { return settingsRefused_; }

private:
    void Answer(const Event& event, std::vector<std::uint8_t>& answers);
    void Settled(std::span<const std::uint8_t> reply);

    Decoder decoder_;
    std::vector<std::uint8_t> willSent_;  // options this side has offered
    std::vector<std::uint8_t> doSent_;    // options this side has asked the server to use
    bool comPortAgreed_ = false;
    bool comPortRefused_ = false;
    bool purged_ = true;  // no purge answer is awaited; data passes
    bool lineSet_ = false;
    bool settingsRefused_ = false;
};

}  // namespace zorvik::telnet
