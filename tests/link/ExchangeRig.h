// A device model on an in-memory line with scripted dialogs, and one log of everything the user
// and the line see: opens, closes, bytes both ways and message boxes, in the order they happen.
#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "link/DeviceExchange.h"
#include "sim/DeviceModel.h"
#include "sim/MemoryComPort.h"
#include "sim/VirtualClock.h"
#include "tests/support/FakeDialogs.h"

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
    block.insert(block.end(), password.begin(), password.end());
    Bytes repeated;
    for (int pass = 0; pass < 4; ++pass) {
        repeated.insert(repeated.end(), password.begin(), password.end());
        block.push_back(ReferenceCrc8(repeated, 0xA7));
    }
    block.insert(block.end(), 8, 0x00);
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

struct ExchangeRig {
    explicit ExchangeRig(DeviceFaults faults = {})
        : device(faults), port(device, clock), exchange(port, clock, dialogs) {
        port.onWire = [this](const WireEvent& event) {
            switch (event.kind) {
                case WireEvent::Kind::Opened:
                    log.push_back(Opened());
                    break;
                case WireEvent::Kind::Closed:
                    log.push_back(Closed());
                    break;
                case WireEvent::Kind::HostToDevice:
                    log.push_back(Host(event.bytes));
                    break;
                case WireEvent::Kind::DeviceToHost:
                    log.push_back(Device(event.bytes));
                    break;
            }
        };
        dialogs.onMessage = [this](const ShownMessage& message) {
            log.push_back(Shown(message.text, message.caption, message.flags));
        };
    }

    // A line of the test's own (a callback that ran, say) in its place among the others.
    void Note(std::string line) { log.push_back(std::move(line)); }

    DeviceModel device;
    VirtualClock clock;
    MemoryComPort port;
    FakeDialogs dialogs;
    DeviceExchange exchange;
    std::vector<std::string> log;
};

}  // namespace zorvik::testing
