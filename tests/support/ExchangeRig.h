// A device model on an in-memory line with recorded notices, and one log of everything the user
// and the line see: opens, closes, bytes both ways and notices (or a window's message boxes), in
// the order they happen.
#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "device/DeviceExchange.h"
#include "sim/DeviceModel.h"
#include "sim/MemoryComPort.h"
#include "sim/VirtualClock.h"
#include "tests/support/FakeDialogs.h"
#include "tests/support/FakeNotices.h"

namespace zorvik::testing {

using Bytes = std::vector<std::uint8_t>;

inline Bytes ToBytes(const std::string& text) {
    return Bytes(text.begin(), text.end());
}

inline std::string Hex(const Bytes& bytes) {
    static constexpr char kDigits[] = "0123456789ABCDEF";
    std::string text;
    for (const std::uint8_t byte : bytes) {
        if (!text.empty()) {
            text += ' ';
        }
        text += kDigits[byte >> 4];
        text += kDigits[byte & 0x0F];
    }
    return text;
}

// CRC-8, most significant bit first, register from 0, no final XOR: written out here again so the
// tests do not take the product's own routine on trust.
inline std::uint8_t ReferenceCrc8(const Bytes& data, std::uint8_t polynomial) {
    std::uint8_t crc = 0;
    for (const std::uint8_t byte : data) {
        crc ^= byte;
        for (int bit = 0; bit < 8; ++bit) {
            crc = (crc & 0x80) != 0 ? static_cast<std::uint8_t>((crc << 1) ^ polynomial)
                                    : static_cast<std::uint8_t>(crc << 1);
        }
    }
    return crc;
}

// The 17-byte authentication block of an ordinary exchange with a password of ASCII characters:
// 0x00, the four characters, the digest of the characters taken 1 to 4 times, eight zeros.
inline Bytes ReferenceAuthBlock(const std::string& password) {
    Bytes block = {0x00};
    for (const char c : password) {
        block.push_back(static_cast<std::uint8_t>(c));
    }
    Bytes repeated;
    for (int pass = 0; pass < 4; ++pass) {
        repeated.insert(repeated.end(), password.begin(), password.end());
        block.push_back(ReferenceCrc8(repeated, 0xA7));
    }
    block.insert(block.end(), 8, 0x00);
    return block;
}

// The password block of an ASCII password: its four characters, then the digest of the
// characters taken 1 to 4 times.
inline Bytes ReferencePasswordBlock(const std::string& password) {
    Bytes block(password.begin(), password.end());
    Bytes repeated;
    for (int pass = 0; pass < 4; ++pass) {
        repeated.insert(repeated.end(), password.begin(), password.end());
        block.push_back(ReferenceCrc8(repeated, 0xA7));
    }
    return block;
}

// The block of a password change: 0x01, then the current and the new password's blocks.
inline Bytes ReferenceChangeBlock(const std::string& current, const std::string& next) {
    Bytes block = {0x01};
    for (const std::string& password : {current, next}) {
        const Bytes part = ReferencePasswordBlock(password);
        block.insert(block.end(), part.begin(), part.end());
    }
    return block;
}

// One line of the log each; a test builds its expectation from the same functions.
inline std::string Opened() {
    return "open";
}
inline std::string Closed() {
    return "close";
}
inline std::string Host(const Bytes& bytes) {
    return "host " + Hex(bytes);
}
inline std::string Device(const Bytes& bytes) {
    return "device " + Hex(bytes);
}
inline std::string Device(const std::string& text) {
    return Device(ToBytes(text));
}
inline std::string Shown(const std::string& text, const std::string& caption, int flags) {
    return "message [" + caption + "] " + text + " /" + std::to_string(flags);
}

// `head` followed by `tail`: an expected log built from its common start.
inline std::vector<std::string> Then(std::vector<std::string> head,
                                     const std::vector<std::string>& tail) {
    head.insert(head.end(), tail.begin(), tail.end());
    return head;
}

// Whether the log names the port on each open and close ("open COM4"), for tests with more
// than one port.
enum class PortNames { Left, Logged };

// Puts every event on `port` into `log`, in order.
inline void LogLine(MemoryComPort& port, std::vector<std::string>& log, PortNames names) {
    port.onWire = [&log, names](const WireEvent& event) {
        const std::string suffix = names == PortNames::Logged ? " " + event.port : "";
        switch (event.kind) {
            case WireEvent::Kind::Opened:
                log.push_back(Opened() + suffix);
                break;
            case WireEvent::Kind::Closed:
                log.push_back(Closed() + suffix);
                break;
            case WireEvent::Kind::HostToDevice:
                log.push_back(Host(event.bytes));
                break;
            case WireEvent::Kind::DeviceToHost:
                log.push_back(Device(event.bytes));
                break;
        }
    };
}

// Puts every event on `port` and every message `dialogs` shows into `log`, in order.
inline void LogLineAndMessages(MemoryComPort& port, MessageScript& dialogs,
                               std::vector<std::string>& log, PortNames names = PortNames::Left) {
    LogLine(port, log, names);
    dialogs.onMessage = [&log](const ShownMessage& message) {
        log.push_back(Shown(message.text, message.caption, message.flags));
    };
}

// The same with every notice a command tells.
inline void LogLineAndNotices(MemoryComPort& port, FakeNotices& notices,
                              std::vector<std::string>& log, PortNames names = PortNames::Left) {
    LogLine(port, log, names);
    notices.onNotice = [&log](const Notice& notice) { log.push_back(Told(notice)); };
}

struct ExchangeRig {
    explicit ExchangeRig(DeviceFaults faults = {})
        : device(faults), port(device, clock), exchange(port, clock, notices) {
        LogLineAndNotices(port, notices, log);
    }

    // A line of the test's own (a callback that ran, say) in its place among the others.
    void Note(std::string line) { log.push_back(std::move(line)); }

    DeviceModel device;
    VirtualClock clock;
    MemoryComPort port;
    FakeNotices notices;
    DeviceExchange exchange;
    std::vector<std::string> log;
};

}  // namespace zorvik::testing
