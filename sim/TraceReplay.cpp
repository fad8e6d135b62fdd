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
    if (lookahead_ && lookahead_->kind == TraceEvent::Kind::ChecksumVerdict &&
        !lookahead_->bytes.empty()) {
        held = lookahead_->bytes[0] == 1;
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

// A trace already in memory, as a source.
class EventList final : public TraceEventSource {
public:
    explicit EventList(std::vector<TraceEvent> events) : events_(std::move(events)) {}
    std::optional<TraceEvent> Next() override {
        if (at_ == events_.size()) {
            return std::nullopt;
        }
        return events_[at_++];
    }
    void Rewind() override { at_ = 0; }

private:
    std::vector<TraceEvent> events_;
    std::size_t at_ = 0;
};

}  // namespace

TraceReplay::TraceReplay(std::vector<TraceEvent> events)
    : TraceReplay(std::make_unique<EventList>(std::move(events))) {}

// Of a port search, only the port on which the device answered first is played, since the
// replay stands for that one device; the other ports' events are left out.
TraceReplay::TraceReplay(std::unique_ptr<TraceEventSource> source) : source_(std::move(source)) {
    std::string port;
    while (const auto event = source_->Next()) {
        empty_ = false;
        if (event->kind == TraceEvent::Kind::Opened) {
            port = event->port;
        } else if (event->kind == TraceEvent::Kind::DeviceBytes) {
            devicePort_ = port;
            break;
        }
    }
    Restart();
}

std::optional<TraceEvent> TraceReplay::Fetch() {
    while (auto event = source_->Next()) {
        if (event->kind == TraceEvent::Kind::Opened) {
            fetchPort_ = event->port;
        }
        if (!devicePort_ || event->kind == TraceEvent::Kind::Section ||
            fetchPort_ == *devicePort_) {
            return event;
        }
    }
    return std::nullopt;
}

void TraceReplay::Restart() {
    source_->Rewind();
    fetchPort_ = devicePort_.value_or(std::string());
    current_ = Fetch();
    lookahead_ = current_ ? Fetch() : std::nullopt;
}

void TraceReplay::Step(bool played) {
    if (played) {
        prevKind_ = current_->kind;
        prevAt_ = prevKind_ != TraceEvent::Kind::Section ? current_->atMicros : 0;
    }
    current_ = std::move(lookahead_);
    lookahead_ = current_ ? Fetch() : std::nullopt;
    if (Finished()) {
        log_.emplace_back("replay finished; the next opening of the port plays it again");
    }
}

void TraceReplay::HostFlushed(std::int64_t nowUs) {
    if (Finished() && !empty_) {
        Restart();
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
    if (Finished() || current_->kind != TraceEvent::Kind::DeviceBytes) {
        return std::nullopt;
    }
    return offset_ + (prevAt_ + current_->atMicros) / 2;
}

std::vector<std::string> TraceReplay::TakeLog() {
    std::vector<std::string> lines;
    lines.swap(log_);
    return lines;
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
        const TraceEvent& event = *current_;
        switch (event.kind) {
            case TraceEvent::Kind::Section:
                Step(true);
                break;
            case TraceEvent::Kind::ChecksumVerdict:
                // Taken with the block before it; passes like a step.
                Step(false);
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
                Step(true);
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
                Step(true);
                break;
            case TraceEvent::Kind::DeviceBytes: {
                if (nowUs < offset_ + (prevAt_ + event.atMicros) / 2) {
                    return;
                }
                const std::vector<std::uint8_t> bytes = DeviceBytesToSend(event);
                output_.insert(output_.end(), bytes.begin(), bytes.end());
                Step(true);
                break;
            }
            case TraceEvent::Kind::LineLost:
                lineLost_ = true;
                Step(true);
                return;
        }
    }
}

}  // namespace zorvik
