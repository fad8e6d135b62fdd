// Playing back the device's side of a byte trace.
#include "sim/TraceReplay.h"

#include <cstdio>

namespace zorvik {

namespace {

// A close and the next open come within microseconds; a flush this soon after an opening that
// was taken as part of the close's flush is that opening's own.
constexpr std::int64_t kMergeWindowMicros = 50'000;
constexpr int kMismatchesLogged = 10;  // then the replay stops telling

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
                received_.erase(received_.begin(), received_.begin() + static_cast<std::ptrdiff_t>(
                                                                           event.bytes.size()));
                Sync(receivedAt_, event.atMicros);
                Consumed(next_);
                break;
            case TraceEvent::Kind::DeviceBytes:
                if (nowUs < offset_ + (prevAt_ + event.atMicros) / 2) {
                    return;
                }
                output_.insert(output_.end(), event.bytes.begin(), event.bytes.end());
                Consumed(next_);
                break;
            case TraceEvent::Kind::LineLost:
                lineLost_ = true;
                Consumed(next_);
                return;
        }
    }
}

}  // namespace zorvik
