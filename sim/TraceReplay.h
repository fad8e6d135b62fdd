// The device's side of a byte trace, played back: zorvik-sim --replay. It waits for as many host
// bytes as the trace shows (their content may be masked), then sends what the device sent.
//
// A trace gives the time at which the host read each burst from the device, not when the device
// sent it: the device sent it at some point after the event before. The replay sends it half way
// between the two, in the trace's time counted from the last point at which it saw the host
// (its bytes complete, or its opening or closing of the port). A host that polls at the same
// pace as the traced one then reads each burst in the same poll, and so ends as it did.
//
// The host's opening and closing of the port reach the replay only as flushes of its input; a
// close and an open in quick succession may come as one. Of a trace that opened several ports (a
// port search) only the port on which the device answered is played.
#pragma once

#include <cstdint>
#include <deque>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "trace/TraceFormat.h"

namespace zorvik {

class TraceReplay {
public:
    // Reads the source once to find the device's port, then plays it from the start.
    explicit TraceReplay(std::unique_ptr<TraceEventSource> source);
    explicit TraceReplay(std::vector<TraceEvent> events);

    // The host opened or closed the port at `nowUs`. Once the trace has been played to its end,
    // the next one starts it again.
    void HostFlushed(std::int64_t nowUs);
    // Bytes the host wrote, arriving at `nowUs`.
    void Receive(const std::uint8_t* data, std::size_t size, std::int64_t nowUs);
    // The device's bytes due by `nowUs`, in order; they are removed.
    [[nodiscard]] std::vector<std::uint8_t> TakeOutput(std::int64_t nowUs);
    // When the next bytes are due, if they wait only for time.
    [[nodiscard]] std::optional<std::int64_t> NextOutputAt(std::int64_t nowUs);

    // The trace has been played to its end.
    [[nodiscard]] bool Finished() const { return !current_; }
    // The traced line went away here: the cable is to be pulled now.
    [[nodiscard]] bool LineLost() const { return lineLost_; }
    // What happened worth telling (where the host strayed from the trace); taking clears them.
    [[nodiscard]] std::vector<std::string> TakeLog();

private:
    void Advance(std::int64_t nowUs);
    void Sync(std::int64_t replayUs, std::int64_t traceUs) { offset_ = replayUs - traceUs; }
    // The next event of the device's port, or nothing at the end.
    [[nodiscard]] std::optional<TraceEvent> Fetch();
    // Steps to the next event; `played` marks the one left as the last played.
    void Step(bool played);
    void Restart();
    void CompareHostBytes(const TraceEvent& event);
    // Keeps the block a host write carries, for a device block read back with secrets masked.
    void KeepHostBlock(const TraceEvent& event);
    [[nodiscard]] std::vector<std::uint8_t> DeviceBytesToSend(const TraceEvent& event) const;

    std::unique_ptr<TraceEventSource> source_;
    std::optional<std::string> devicePort_;  // of a port search, the port the device answered on
    std::string fetchPort_;                  // the port the source is on
    bool empty_ = true;
    std::optional<TraceEvent> current_;    // the event to play next
    std::optional<TraceEvent> lookahead_;  // and the one after it
    std::int64_t offset_ = 0;  // replay time minus trace time at the last point of contact
    std::int64_t prevAt_ = 0;  // trace time of the event played last
    TraceEvent::Kind prevKind_ = TraceEvent::Kind::Section;
    int flushes_ = 0;  // flushes seen and not yet matched with an opening or closing
    std::int64_t lastFlushAt_ = 0;
    std::optional<std::int64_t> mergedOpenAt_;  // an opening taken as part of the last flush
    std::deque<std::uint8_t> received_;         // host bytes not yet matched with the trace
    std::int64_t receivedAt_ = 0;
    std::vector<std::uint8_t> output_;
    std::vector<std::uint8_t> hostBlock_;  // the 257 bytes of the host's last block
    bool lineLost_ = false;
    int mismatches_ = 0;
    std::vector<std::string> log_;
};

}  // namespace zorvik
