// A host end for driving the device model by hand in tests, byte by byte, on virtual time.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "config/Crc8.h"
#include "sim/DeviceModel.h"
#include "sim/MemoryComPort.h"
#include "sim/VirtualClock.h"

namespace zorvik::testing {

using Bytes = std::vector<std::uint8_t>;

inline Bytes ToBytes(const std::string& text) {
    return Bytes(text.begin(), text.end());
}

// A device on an in-memory line, and the host's few moves, written out as the tests need them.
struct TestLine {
    explicit TestLine(DeviceFaults faults = {}, bool pace = true)
        : device(faults, pace), port(device, clock) {}

    void Write(const Bytes& bytes) {
        (void)port.Write(bytes.data(), static_cast<int>(bytes.size()));
    }
    void Write(std::uint8_t byte) { (void)port.Write(byte); }

    // Sleeps, then reads at most `count` characters.
    std::string Poll(int ms, int count) {
        clock.Sleep(ms);
        std::string text;
        (void)port.ReadStr(text, count);
        return text;
    }

    // The host's Ready banner wait: up to 10 polls of 250 ms, 5 characters each.
    bool WaitReady() {
        for (int attempt = 0; attempt < 10; ++attempt) {
            if (Poll(250, 5) == "Ready") {
                return true;
            }
        }
        return false;
    }

    // The host's status reply wait: up to 100 polls of 25 ms, 1 character each; "O", "R", "E"
    // or empty when nothing of those came.
    std::string WaitStatus() {
        for (int attempt = 0; attempt < 100; ++attempt) {
            const std::string got = Poll(25, 1);
            if (got == "O" || got == "R" || got == "E") {
                return got;
            }
        }
        return "";
    }

    // Open, wait for the banner, command byte 0x03, the block 25 ms later; the status reply.
    std::string Authenticate(const Bytes& block) {
        port.Open();
        if (!WaitReady()) {
            return "no banner";
        }
        Write(0x03);
        clock.Sleep(25);
        Write(block);
        return WaitStatus();
    }

    VirtualClock clock;
    DeviceModel device;
    MemoryComPort port;
};

// The 17-byte authentication block for `password`, optionally changing it to `newPassword`.
inline Bytes AuthBlock(const std::u16string& password, const std::u16string& newPassword = u"") {
    Bytes block(17, 0x00);
    const PasswordBlock current = ComputePasswordBlock(password);
    std::copy(current.begin(), current.end(), block.begin() + 1);
    if (!newPassword.empty()) {
        block[0] = 0x01;
        const PasswordBlock next = ComputePasswordBlock(newPassword);
        std::copy(next.begin(), next.end(), block.begin() + 9);
    }
    return block;
}

// 256 deterministic bytes and their checksum.
inline Bytes SignedBlock(int seed) {
    Bytes block(257);
    for (int i = 0; i < 256; ++i) {
        block[static_cast<std::size_t>(i)] = static_cast<std::uint8_t>((i * 7 + 13 + seed) & 0xFF);
    }
    block[256] = ComputeImageChecksum(std::span<const std::uint8_t, 256>(block.data(), 256));
    return block;
}

}  // namespace zorvik::testing
