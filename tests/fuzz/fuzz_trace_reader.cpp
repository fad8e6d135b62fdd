// Fuzz target: the byte trace reader that zorvik-sim --replay runs on traces mailed in by users.
// Whatever the text, reading it must not crash, and what it reads must read back the same once
// written out again in the trace's own form.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "trace/TraceFormat.h"

namespace {

std::string Written(const std::vector<zorvik::TraceEvent>& events) {
    using Kind = zorvik::TraceEvent::Kind;
    std::string text;
    for (const zorvik::TraceEvent& event : events) {
        switch (event.kind) {
            case Kind::Section:
                text += zorvik::TraceSectionLine("section");
                break;
            case Kind::Opened:
                text +=
                    zorvik::TraceTextLine(zorvik::kTraceStep, event.atMicros,
                                          std::string(zorvik::kTracePortOpened) + " " + event.port);
                break;
            case Kind::Closed:
                text += zorvik::TraceTextLine(zorvik::kTraceStep, event.atMicros,
                                              zorvik::kTracePortClosed);
                break;
            case Kind::HostBytes:
            case Kind::DeviceBytes:
                if (event.kind == Kind::DeviceBytes) {
                    // Each read its own event again: reads with nothing between are one event.
                    text += zorvik::TraceTextLine(zorvik::kTraceStep, event.atMicros, "read");
                }
                text += zorvik::TraceBytesLine(event.kind == Kind::HostBytes
                                                   ? zorvik::kTraceHostToDevice
                                                   : zorvik::kTraceDeviceToHost,
                                               event.atMicros, event.bytes);
                break;
            case Kind::ChecksumVerdict:
                text += zorvik::TraceTextLine(zorvik::kTraceStep, event.atMicros,
                                              event.bytes.at(0) == 1 ? zorvik::kTraceChecksumGood
                                                                     : zorvik::kTraceChecksumBad);
                break;
            case Kind::LineLost:
                text += zorvik::TraceTextLine(
                    zorvik::kTraceError, event.atMicros,
                    std::string(zorvik::kTracePortError) + "3: ReadFile function failed");
                break;
        }
    }
    return text;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const zorvik::TraceReadResult first = zorvik::ReadTrace(text);
    if (first.error) {
        if (!first.events.empty()) {
            std::abort();  // a refused trace gives nothing to play
        }
        return 0;
    }
    for (const zorvik::TraceEvent& event : first.events) {
        const bool bytes = event.kind == zorvik::TraceEvent::Kind::HostBytes ||
                           event.kind == zorvik::TraceEvent::Kind::DeviceBytes;
        if (bytes == event.bytes.empty() || event.atMicros < 0) {
            std::abort();
        }
    }
    const zorvik::TraceReadResult again = zorvik::ReadTrace(Written(first.events));
    if (again.error || again.events != first.events) {
        std::abort();
    }
    return 0;
}
