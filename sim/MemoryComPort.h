// The host's end of an in-memory serial line to a DeviceModel, with time from a VirtualClock.
#pragma once

#include <cstdint>
#include <deque>
#include <functional>
#include <string>
#include <vector>

#include "serial/ComPort.h"
#include "sim/DeviceModel.h"
#include "sim/VirtualClock.h"

namespace zorvik {

// Reads never advance time; WaitForInput advances the clock to the device's next byte or by the
// timeout, so a host that waits on the port instead of sleeping runs at virtual speed too.
class MemoryComPort : public TCustomComPort {
public:
    // `port` is both the name the port starts with and the name under which `device` is present.
    MemoryComPort(DeviceModel& device, VirtualClock& clock, std::string port = "COM1");

    // Every event on the line in time order: opens, closes, the host's writes (one event per
    // Write) and the device's bytes as the host reads them (one event per Read that got any).
    std::vector<WireEvent> wire;
    // Called as each event is recorded.
    std::function<void(const WireEvent&)> onWire;

    // The next Open raises EComPort code 1 with that errno, and the port stays closed.
    void FailNextOpen(int errnoValue);
    // After `count` more successful Writes, every Write raises EComPort code 2 with that errno,
    // until the port is opened again.
    void FailWritesAfter(int count, int errnoValue);
    // The same for Read and ReadStr, with code 3.
    void FailReadsAfter(int count, int errnoValue);

    // Another port that exists: with a device behind it, or a silent line when `device` is null.
    // Opening a name that was never added raises code 1 with errno 2 (no such file).
    void AddPort(const std::string& name, DeviceModel* device = nullptr);
    [[nodiscard]] bool HasPort(const std::string& name) const;

    // The bytes of the wire log, flattened per direction.
    [[nodiscard]] std::vector<std::uint8_t> HostBytes() const;
    [[nodiscard]] std::vector<std::uint8_t> DeviceBytes() const;

protected:
    void DoOpen(const std::string& port) override;
    void DoClose() override;
    int DoWrite(const std::uint8_t* buffer, int count) override;
    int DoRead(std::uint8_t* buffer, int count) override;
    bool DoWaitForInput(int timeoutMs) override;

private:
    struct Line {
        std::string name;
        DeviceModel* device;
    };

    void Record(WireEvent::Kind kind, std::vector<std::uint8_t> bytes);
    void Pull();

    VirtualClock& clock_;
    std::vector<Line> lines_;
    DeviceModel* device_ = nullptr;  // behind the open port; null for a silent line
    std::string openName_;
    std::deque<std::uint8_t> received_;

    int failOpenErrno_ = 0;
    int writesLeft_ = -1;  // successful Writes before failing; -1 for never
    int writeErrno_ = 0;
    int readsLeft_ = -1;
    int readErrno_ = 0;
};

}  // namespace zorvik
