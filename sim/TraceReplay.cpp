// Playing back the device's side of a byte trace.
#include "sim/TraceReplay.h"

#include <cstdio>
#include <span>

#include "config/ConfigImage.h"
#include "config/Crc8.h"

namespace zorvik {

namespace {

// A close and the next open come within microseconds; a flush this soon after an opening that
// was taken as part of the close's flush is that opening's own.
constexpr std::int64_t kMergeWindowMicros = 50'000;
constexpr int kMismatchesLogged = 10;      // then the replay stops telling
constexpr std::uint8_t kMaskedFill = '0';  // sent for a masked byte: a digit, as a PIN holds

}  // namespace

// The device's bytes of `event` as the replay sends them. Masked bytes (the SIM PIN, a block's
// checksum) are taken from the block the host last wrote, which the device would give back, or
// else made digits; a whole block then gets a checksum that holds, or one that does not, as the
// trace says the traced one did.
std::vector<std::uint8_t> TraceReplay::DeviceBytesToSend(const TraceEvent& event) const {
    std::vector<std::uint8_t> bytes;
    bytes.reserve(event.bytes.size());
    bool masked = false;
    // The block is the last 257 bytes of what the host read at once.
    const std::size_t blockAt = event.bytes.size() >= static_cast<std::size_t>(kBlockSize)
                                    ? event.bytes.size() - kBlockSize
                                    : 0;
    for (std::size_t i = 0; i < event.bytes.size(); ++i) {
        const TraceByte byte = event.bytes[i];
        if (byte != kMaskedByte) {
            bytes.push_back(static_cast<std::uint8_t>(byte));
            continue;
        }
        masked = true;
        const std::size_t inBlock = i - blockAt;
        bytes.push_back(i >= blockAt && inBlock < hostBlock_.size() ? hostBlock_[inBlock]
                                                                    : kMaskedFill);
    }
    // The verdict, when the trace has one, follows the block.
    std::optional<bool> held;
    if (next_ + 1 < events_.size() &&
        events_[next_ + 1].kind == TraceEvent::Kind::ChecksumVerdict &&
        !events_[next_ + 1].bytes.empty()) {
        held = events_[next_ + 1].bytes[0] == 1;
    }
    if (masked && held && bytes.size() >= static_cast<std::size_t>(kBlockSize)) {
        const auto block = bytes.end() - kBlockSize;
        const std::uint8_t checksum =
            ComputeImageChecksum(std::span<const std::uint8_t, kImageSize>(&*block, kImageSize));
        block[kImageSize] = *held ? checksum : static_cast<std::uint8_t>(~checksum);
    }
    return bytes;
}

namespace {

std::string HexByte(int byte) {
    char text[4];
    std::snprintf(text, sizeof text, "%02X", byte & 0xFF);
    return text;
}

// The events of the port on which the device answered first; the other ports' events are left
// out, since the replay stands for that one device only.
std::vector<TraceEvent> DevicePortEvents(std::vector<TraceEvent> events) {
    std::optional<std::string> devicePort;
    std::string current;
    for (const TraceEvent& event : events) {
        if (event.kind == TraceEvent::Kind::Opened) {
            current = event.port;
        } else if (event.kind == TraceEvent::Kind::DeviceBytes) {
            devicePort = current;
            break;
        }
    }
    if (!devicePort) {
        return events;
    }
    std::vector<TraceEvent> kept;
    current = *devicePort;
    for (TraceEvent& event : events) {
        if (event.kind == TraceEvent::Kind::Opened) {
            current = event.port;
        }
        if (event.kind == TraceEvent::Kind::Section || current == *devicePort) {
            kept.push_back(std::move(event));
        }
    }
    return kept;
}

}  // namespace

TraceReplay::TraceReplay(std::vector<TraceEvent> events)
    : events_(DevicePortEvents(std::move(events))) {}

void TraceReplay::HostFlushed(std::int64_t nowUs) {
    if (Finished() && !events_.empty()) {
        next_ = 0;
        flushes_ = 0;
        received_.clear();
        prevKind_ = TraceEvent::Kind::Section;
        log_.emplace_back("replay starts again from the beginning of the trace");
    }
    if (mergedOpenAt_ && nowUs - *mergedOpenAt_ <= kMergeWindowMicros) {
        // The opening's own flush: the host opened only now.
        offset_ = nowUs - prevAt_;
        mergedOpenAt_.reset();
        return;
    }
    mergedOpenAt_.reset();
    ++flushes_;
    lastFlushAt_ = nowUs;
    Advance(nowUs);
}

void TraceReplay::Receive(const std::uint8_t* data, std::size_t size, std::int64_t nowUs) {
    received_.insert(received_.end(), data, data + size);
    receivedAt_ = nowUs;
    Advance(nowUs);
}

std::vector<std::uint8_t> TraceReplay::TakeOutput(std::int64_t nowUs) {
    Advance(nowUs);
    std::vector<std::uint8_t> bytes;
    bytes.swap(output_);
    return bytes;
}

std::optional<std::int64_t> TraceReplay::NextOutputAt(std::int64_t nowUs) {
    Advance(nowUs);
    if (!output_.empty()) {
        return nowUs;
    }
    if (Finished() || events_[next_].kind != TraceEvent::Kind::DeviceBytes) {
        return std::nullopt;
    }
    return offset_ + (prevAt_ + events_[next_].atMicros) / 2;
}

std::vector<std::string> TraceReplay::TakeLog() {
    std::vector<std::string> lines;
    lines.swap(log_);
    return lines;
}

void TraceReplay::Consumed(std::size_t index) {
    prevKind_ = events_[index].kind;
    if (prevKind_ != TraceEvent::Kind::Section) {
        prevAt_ = events_[index].atMicros;
    } else {
        prevAt_ = 0;
    }
    next_ = index + 1;
    if (Finished()) {
        log_.emplace_back("replay finished; the next opening of the port plays it again");
    }
}

void TraceReplay::KeepHostBlock(const TraceEvent& event) {
    // A block the host sends goes out as the operation byte, the 257 bytes and a trailer.
    if (event.bytes.size() < static_cast<std::size_t>(kBlockSize) + 1) {
        return;
    }
    hostBlock_.assign(received_.begin() + 1, received_.begin() + 1 + kBlockSize);
}

void TraceReplay::CompareHostBytes(const TraceEvent& event) {
    for (std::size_t i = 0; i < event.bytes.size(); ++i) {
        const TraceByte traced = event.bytes[i];
        const std::uint8_t got = received_[i];
        if (traced == kMaskedByte || traced == got) {
            continue;
        }
        if (++mismatches_ <= kMismatchesLogged) {
            log_.push_back("host sent " + HexByte(got) + " where the trace shows " +
                           HexByte(traced) + " (byte " + std::to_string(i) + " of the write at " +
                           std::to_string(event.atMicros / 1000) + " ms)");
        }
        return;
    }
}

void TraceReplay::Advance(std::int64_t nowUs) {
    while (!Finished() && !lineLost_) {
        const TraceEvent& event = events_[next_];
        switch (event.kind) {
            case TraceEvent::Kind::Section:
                Consumed(next_);
                break;
            case TraceEvent::Kind::ChecksumVerdict:
                // Taken with the block before it; passes like a step.
                next_ = next_ + 1;
                if (Finished()) {
                    log_.emplace_back(
                        "replay finished; the next opening of the port plays it again");
                }
                break;
            case TraceEvent::Kind::Opened:
            case TraceEvent::Kind::Closed:
                if (flushes_ > 0) {
                    --flushes_;
                    Sync(lastFlushAt_, event.atMicros);
                } else if (event.kind == TraceEvent::Kind::Opened &&
                           prevKind_ == TraceEvent::Kind::Closed) {
                    // Taken as part of the close's flush until a flush of its own comes.
                    mergedOpenAt_ = nowUs;
                } else {
                    return;
                }
                Consumed(next_);
                break;
            case TraceEvent::Kind::HostBytes:
                if (received_.size() < event.bytes.size()) {
                    return;
                }
                CompareHostBytes(event);
                KeepHostBlock(event);
                received_.erase(received_.begin(), received_.begin() + static_cast<std::ptrdiff_t>(
                                                                           event.bytes.size()));
                Sync(receivedAt_, event.atMicros);
                Consumed(next_);
                break;
            case TraceEvent::Kind::DeviceBytes: {
                if (nowUs < offset_ + (prevAt_ + event.atMicros) / 2) {
                    return;
                }
                const std::vector<std::uint8_t> bytes = DeviceBytesToSend(event);
                output_.insert(output_.end(), bytes.begin(), bytes.end());
                Consumed(next_);
                break;
            }
            case TraceEvent::Kind::LineLost:
                lineLost_ = true;
                Consumed(next_);
                return;
        }
    }
}

}  // namespace zorvik
