// The host's end of an in-memory serial line to a DeviceModel, with time from a VirtualClock.
#include "sim/MemoryComPort.h"

#include <algorithm>
#include <cerrno>

namespace zorvik {

MemoryComPort::MemoryComPort(DeviceModel& device, VirtualClock& clock, std::string port)
    : TCustomComPort(port), clock_(clock) {
    lines_.push_back({std::move(port), &device});
}

void MemoryComPort::FailNextOpen(int errnoValue) {
    failOpenErrno_ = errnoValue;
}

void MemoryComPort::FailWritesAfter(int count, int errnoValue) {
    writesLeft_ = std::max(count, 0);
    writeErrno_ = errnoValue;
}

void MemoryComPort::FailReadsAfter(int count, int errnoValue) {
    readsLeft_ = std::max(count, 0);
    readErrno_ = errnoValue;
}

void MemoryComPort::AddPort(const std::string& name, DeviceModel* device) {
    for (Line& line : lines_) {
        if (line.name == name) {
            line.device = device;
            return;
        }
    }
    lines_.push_back({name, device});
}

bool MemoryComPort::HasPort(const std::string& name) const {
    return std::any_of(lines_.begin(), lines_.end(),
                       [&name](const Line& line) { return line.name == name; });
}

std::vector<std::uint8_t> MemoryComPort::HostBytes() const {
    std::vector<std::uint8_t> bytes;
    for (const WireEvent& event : wire) {
        if (event.kind == WireEvent::Kind::HostToDevice) {
            bytes.insert(bytes.end(), event.bytes.begin(), event.bytes.end());
        }
    }
    return bytes;
}

std::vector<std::uint8_t> MemoryComPort::DeviceBytes() const {
    std::vector<std::uint8_t> bytes;
    for (const WireEvent& event : wire) {
        if (event.kind == WireEvent::Kind::DeviceToHost) {
            bytes.insert(bytes.end(), event.bytes.begin(), event.bytes.end());
        }
    }
    return bytes;
}

void MemoryComPort::Record(WireEvent::Kind kind, std::vector<std::uint8_t> bytes) {
    wire.push_back({kind, std::move(bytes), clock_.NowMicros(), openName_});
    if (onWire) {
        onWire(wire.back());
    }
}

void MemoryComPort::DoOpen(const std::string& port) {
    if (failOpenErrno_ != 0) {
        const int code = failOpenErrno_;
        failOpenErrno_ = 0;
        throw EComPort(kErrOpen, code);
    }
    const auto line = std::find_if(lines_.begin(), lines_.end(),
                                   [&port](const Line& each) { return each.name == port; });
    if (line == lines_.end()) {
        throw EComPort(kErrOpen, ENOENT);
    }
    device_ = line->device;
    openName_ = port;
    received_.clear();
    if (writesLeft_ == 0) {
        writesLeft_ = -1;  // a fresh open ends a failure that has begun
    }
    if (readsLeft_ == 0) {
        readsLeft_ = -1;
    }
    if (device_ != nullptr) {
        device_->HostOpened(clock_.NowMicros());
    }
    Record(WireEvent::Kind::Opened, {});
}

void MemoryComPort::DoClose() {
    if (device_ != nullptr) {
        device_->HostClosed(clock_.NowMicros());
    }
    received_.clear();
    Record(WireEvent::Kind::Closed, {});
    device_ = nullptr;
}

int MemoryComPort::DoWrite(const std::uint8_t* buffer, int count) {
    if (writesLeft_ == 0) {
        throw EComPort(kErrWriteFile, writeErrno_);
    }
    if (writesLeft_ > 0) {
        --writesLeft_;
    }
    Record(WireEvent::Kind::HostToDevice, std::vector<std::uint8_t>(buffer, buffer + count));
    if (device_ != nullptr) {
        device_->Receive(buffer, static_cast<std::size_t>(count), clock_.NowMicros());
    }
    return count;
}

void MemoryComPort::Pull() {
    if (device_ != nullptr) {
        const std::vector<std::uint8_t> bytes = device_->TakeOutput(clock_.NowMicros());
        received_.insert(received_.end(), bytes.begin(), bytes.end());
    }
}

int MemoryComPort::DoRead(std::uint8_t* buffer, int count) {
    if (readsLeft_ == 0) {
        throw EComPort(kErrReadFile, readErrno_);
    }
    if (readsLeft_ > 0) {
        --readsLeft_;
    }
    Pull();
    const auto got = std::min(received_.size(), static_cast<std::size_t>(count));
    std::copy_n(received_.begin(), got, buffer);
    received_.erase(received_.begin(), received_.begin() + static_cast<std::ptrdiff_t>(got));
    if (got > 0) {
        Record(WireEvent::Kind::DeviceToHost, std::vector<std::uint8_t>(buffer, buffer + got));
    }
    return static_cast<int>(got);
}

bool MemoryComPort::DoWaitForInput(int timeoutMs) {
    Pull();
    if (!received_.empty()) {
        return true;
    }
    const std::int64_t now = clock_.NowMicros();
    const std::int64_t timeout = std::int64_t{std::max(timeoutMs, 0)} * 1000;
    if (device_ != nullptr) {
        const std::optional<std::int64_t> due = device_->NextOutputAt(now);
        if (due && *due <= now + timeout) {
            clock_.AdvanceMicros(*due - now);
            return true;
        }
    }
    clock_.AdvanceMicros(timeout);
    return false;
}

}  // namespace zorvik
