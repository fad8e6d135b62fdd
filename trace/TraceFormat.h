// The text form of a byte trace, written by Trace and read back by the simulator's replay. The
// form is stable: traces mailed in by users are replayed by later versions.
//
//   # TITLE                        a section: one command; the times below count from its start
//   MS > HEX  |ASCII|              bytes the host wrote to the device
//   MS < HEX  |ASCII|              bytes the host read from the device
//   MS = STEP                      a step of the exchange begins
//   MS ! ERROR                     an error: the port layer's code and text, or a failure message
//
// MS is milliseconds since the section began, with three decimals (microseconds), right-aligned
// in ten places. HEX is the bytes as two upper-case digits each, one space apart; a masked byte
// (a password or its digest) is "**". ASCII repeats them: printable characters as they are,
// other bytes as ".", masked bytes as "*". Two steps have fixed words because the replay
// follows them: "port opened NAME [DEVICE SETTINGS]" and "port closed". A port error reads
// "port error CODE: TEXT".
#pragma once

#include <cstdint>
#include <istream>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace zorvik {

constexpr char kTraceSection = '#';
constexpr char kTraceHostToDevice = '>';
constexpr char kTraceDeviceToHost = '<';
constexpr char kTraceStep = '=';
constexpr char kTraceError = '!';

constexpr std::string_view kTracePortOpened = "port opened";
constexpr std::string_view kTracePortClosed = "port closed";
constexpr std::string_view kTracePortError = "port error ";
// After a block read from the device: whether its checksum held. The block's secrets (the SIM PIN,
// the checksum) are masked, so the replay makes a block that ends the same way from these words.
constexpr std::string_view kTraceChecksumGood = "block checksum good";
constexpr std::string_view kTraceChecksumBad = "block checksum bad";

// A traced byte: 0 to 255, or kMaskedByte where the trace hides it.
using TraceByte = std::int16_t;
constexpr TraceByte kMaskedByte = -1;

// One line of the form, with its line end.
[[nodiscard]] std::string TraceBytesLine(char direction, std::int64_t atMicros,
                                         std::span<const TraceByte> bytes);
[[nodiscard]] std::string TraceTextLine(char kind, std::int64_t atMicros, std::string_view text);
[[nodiscard]] std::string TraceSectionLine(std::string_view title);

// What the replay needs of a trace, in order.
struct TraceEvent {
    enum class Kind {
        Section,          // a new command: the times start again
        Opened,           // the host opened the port
        Closed,           // the host closed the port
        HostBytes,        // the host wrote `bytes`
        DeviceBytes,      // the host read `bytes` (a block's secrets masked)
        LineLost,         // a read or write failed: the line went away
        ChecksumVerdict,  // right after a block's DeviceBytes: `bytes` is {1} when its checksum
                          // held, {0} when it did not
    };
    Kind kind;
    std::int64_t atMicros = 0;
    std::vector<TraceByte> bytes;
    std::string port;  // Opened: the port's name ("COM41")

    bool operator==(const TraceEvent&) const = default;
};

struct TraceReadResult {
    std::vector<TraceEvent> events;
    std::optional<std::string> error;  // "line N: what is wrong"; events are empty then
};

// Events one at a time, from the start again on Rewind.
class TraceEventSource {
public:
    virtual ~TraceEventSource() = default;
    // The next event; nothing at the end.
    [[nodiscard]] virtual std::optional<TraceEvent> Next() = 0;
    virtual void Rewind() = 0;
};

// Reads a trace one event at a time, holding no more of it than one event and one line, so a
// trace of any length is played in little memory. Reading stops at the first line in error.
class TraceReader final : public TraceEventSource {
public:
    explicit TraceReader(std::unique_ptr<std::istream> in) : in_(std::move(in)) {}

    [[nodiscard]] std::optional<TraceEvent> Next() override;
    void Rewind() override;
    // "line N: what is wrong", once a line in error has been reached.
    [[nodiscard]] const std::optional<std::string>& Error() const { return error_; }

private:
    struct Read {
        TraceEvent event;
        bool followsDeviceBytes = false;  // a read of the device's bytes straight after another
    };
    [[nodiscard]] std::optional<Read> ReadEvent();

    std::unique_ptr<std::istream> in_;
    std::size_t number_ = 0;
    bool afterDeviceBytes_ = false;
    std::optional<Read> pending_;  // read ahead while gathering a burst
    std::optional<std::string> error_;
};

// Reads a whole trace. Step and error lines other than those the replay follows are skipped;
// a line that fits none of the forms is an error. Reads of the device's bytes with no other line
// between them are one event at the first one's time: the host took part of what had arrived and
// then the rest (as a wait for the banner drops what came after it), so a replay must have sent
// them all by the first read.
[[nodiscard]] TraceReadResult ReadTrace(std::string_view text);

}  // namespace zorvik
