// Firmware files, a progress display that remembers what it showed, and a hand-scripted device
// line on virtual time, for the firmware update tests.
#pragma once

#include <algorithm>
#include <cstdint>
#include <deque>
#include <functional>
#include <string>
#include <vector>

#include "device/FirmwareUpdate.h"
#include "serial/ComPort.h"
#include "sim/VirtualClock.h"
#include "tests/support/TempFolder.h"

namespace zorvik::testing {

using Bytes = std::vector<std::uint8_t>;

// `records` records of 257 deterministic bytes; `seed` makes files tell apart.
inline Bytes FirmwareImage(int records, int seed = 0) {
    Bytes bytes(static_cast<std::size_t>(records) * 257);
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        bytes[i] = static_cast<std::uint8_t>((i * 7 + 13 + static_cast<std::size_t>(seed)) & 0xFF);
    }
    return bytes;
}

// Remembers the bar's state and what each phase showed.
class RecordingProgress : public FirmwareProgress {
public:
    struct Phase {
        int maximum = 0;
        int finalPosition = 0;
    };

    void ShowBar() override {
        visible = true;
        phases.push_back({maximum, position});
        ++shows;
    }
    void HideBar() override {
        visible = false;
        if (!phases.empty()) {
            phases.back().finalPosition = position;
        }
        if (onHide) {
            onHide();
        }
    }
    void SetMaximum(int value) override { maximum = value; }
    void SetPosition(int value) override { position = value; }
    void Advance(int step) override { position = std::min(position + step, maximum); }
    void KeepPainted() override { ++paints; }

    bool visible = false;
    int maximum = 0;
    int position = 0;
    int shows = 0;
    int paints = 0;
    std::vector<Phase> phases;
    std::function<void()> onHide;
};

// A line whose far end is a script: the test says what arrives when, and how the "device"
// answers each byte the host writes. Counts the host's reads and waits.
class ScriptedPort : public TCustomComPort {
public:
    explicit ScriptedPort(VirtualClock& clock) : TCustomComPort("COM1"), clock_(clock) {}

    // `text` arrives at the host `afterMs` from now.
    void Arrive(double afterMs, const std::string& text) {
        const std::int64_t at = clock_.NowMicros() + static_cast<std::int64_t>(afterMs * 1000);
        for (const char c : text) {
            pending_.push_back({at, static_cast<std::uint8_t>(c)});
        }
        std::stable_sort(pending_.begin(), pending_.end(),
                         [](const Arrival& a, const Arrival& b) { return a.at < b.at; });
    }

    // Runs on every open, and for every byte the host writes.
    std::function<void(ScriptedPort&)> onOpen;
    std::function<void(ScriptedPort&, std::uint8_t)> onByte;

    Bytes written;
    int reads = 0;
    std::vector<int> waits;  // each WaitForInput's bound, in ms
    std::vector<std::int64_t> writeTimes;

protected:
    void DoOpen(const std::string& /*port*/) override {
        pending_.clear();
        if (onOpen) {
            onOpen(*this);
        }
    }
    void DoClose() override { pending_.clear(); }
    int DoWrite(const std::uint8_t* buffer, int count) override {
        for (int i = 0; i < count; ++i) {
            written.push_back(buffer[i]);
            writeTimes.push_back(clock_.NowMicros());
            if (onByte) {
                onByte(*this, buffer[i]);
            }
        }
        return count;
    }
    int DoRead(std::uint8_t* buffer, int count) override {
        ++reads;
        int got = 0;
        while (got < count && !pending_.empty() && pending_.front().at <= clock_.NowMicros()) {
            buffer[got++] = pending_.front().byte;
            pending_.pop_front();
        }
        return got;
    }
    bool DoWaitForInput(int timeoutMs) override {
        waits.push_back(timeoutMs);
        const std::int64_t now = clock_.NowMicros();
        const std::int64_t until = now + std::int64_t{timeoutMs} * 1000;
        if (!pending_.empty() && pending_.front().at <= until) {
            clock_.AdvanceMicros(pending_.front().at - now);
            return true;
        }
        clock_.AdvanceMicros(until - now);
        return false;
    }

private:
    struct Arrival {
        std::int64_t at;
        std::uint8_t byte;
    };

    VirtualClock& clock_;
    std::deque<Arrival> pending_;
};

}  // namespace zorvik::testing
