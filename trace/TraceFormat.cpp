// Writing and reading the lines of a byte trace.
#include "trace/TraceFormat.h"

#include <charconv>
#include <cstdio>
#include <sstream>
#include <utility>

#include "serial/ComPort.h"

namespace zorvik {

namespace {

constexpr char kHexDigits[] = "0123456789ABCDEF";
constexpr std::string_view kMaskedHex = "**";
constexpr std::string_view kAsciiOpen = "  |";
constexpr char kAsciiClose = '|';
constexpr std::int64_t kMicrosPerMs = 1000;
constexpr int kFractionDigits = 3;   // microseconds
constexpr int kMaxWholeDigits = 12;  // about 30 years of milliseconds: no overflow below

std::string Stamp(std::int64_t atMicros) {
    const std::int64_t clamped = atMicros < 0 ? 0 : atMicros;
    char text[40];
    std::snprintf(text, sizeof text, "%6lld.%03lld", static_cast<long long>(clamped / kMicrosPerMs),
                  static_cast<long long>(clamped % kMicrosPerMs));
    return text;
}

int HexValue(char c) {
    if (c >= '0' && c <= '9') {
        return c - '0';
    }
    if (c >= 'A' && c <= 'F') {
        return c - 'A' + 10;
    }
    if (c >= 'a' && c <= 'f') {
        return c - 'a' + 10;
    }
    return -1;
}

// "123.456" as microseconds; nothing when it is not such a number.
std::optional<std::int64_t> ParseStamp(std::string_view text) {
    const auto point = text.find('.');
    if (point == std::string_view::npos || point == 0 || point > kMaxWholeDigits ||
        text.size() - point - 1 != kFractionDigits) {
        return std::nullopt;
    }
    std::int64_t whole = 0;
    std::int64_t fraction = 0;
    const char* begin = text.data();
    const auto [wholeEnd, wholeError] = std::from_chars(begin, begin + point, whole);
    const auto [fractionEnd, fractionError] =
        std::from_chars(begin + point + 1, begin + text.size(), fraction);
    if (wholeError != std::errc() || wholeEnd != begin + point || fractionError != std::errc() ||
        fractionEnd != begin + text.size() || text[point + 1] == '-' || text[0] == '-') {
        return std::nullopt;
    }
    return whole * kMicrosPerMs + fraction;
}

// The HEX part of a bytes line; nothing when a token is not two hex digits or "**".
std::optional<std::vector<TraceByte>> ParseHex(std::string_view text) {
    std::vector<TraceByte> bytes;
    std::size_t at = 0;
    while (at < text.size()) {
        if (!bytes.empty()) {
            if (text[at] != ' ') {
                return std::nullopt;
            }
            ++at;
        }
        if (text.size() - at < 2) {
            return std::nullopt;
        }
        const std::string_view token = text.substr(at, 2);
        if (token == kMaskedHex) {
            bytes.push_back(kMaskedByte);
        } else {
            const int high = HexValue(token[0]);
            const int low = HexValue(token[1]);
            if (high < 0 || low < 0) {
                return std::nullopt;
            }
            bytes.push_back(static_cast<TraceByte>(high * 16 + low));
        }
        at += 2;
    }
    if (bytes.empty()) {
        return std::nullopt;
    }
    return bytes;
}

// The port layer's code in "port error CODE: TEXT", or nothing.
std::optional<int> PortErrorCode(std::string_view text) {
    if (!text.starts_with(kTracePortError)) {
        return std::nullopt;
    }
    text.remove_prefix(kTracePortError.size());
    int code = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), code);
    if (error != std::errc() || end == text.data() || end == text.data() + text.size() ||
        *end != ':') {
        return std::nullopt;
    }
    return code;
}

// `text` and a line end: one event, one line, since a line end inside the text would start a
// line of another kind.
void AppendOnOneLine(std::string& line, std::string_view text) {
    for (const char c : text) {
        line += c == '\n' || c == '\r' ? ' ' : c;
    }
    line += '\n';
}

}  // namespace

std::string TraceBytesLine(char direction, std::int64_t atMicros,
                           std::span<const TraceByte> bytes) {
    std::string hex;
    std::string ascii;
    hex.reserve(bytes.size() * 3);
    ascii.reserve(bytes.size());
    for (const TraceByte byte : bytes) {
        if (!hex.empty()) {
            hex += ' ';
        }
        if (byte == kMaskedByte) {
            hex += kMaskedHex;
            ascii += '*';
            continue;
        }
        hex += kHexDigits[(byte >> 4) & 0x0F];
        hex += kHexDigits[byte & 0x0F];
        ascii += byte >= 0x20 && byte <= 0x7E ? static_cast<char>(byte) : '.';
    }
    std::string line = Stamp(atMicros);
    line += ' ';
    line += direction;
    line += ' ';
    line += hex;
    line += kAsciiOpen;
    line += ascii;
    line += kAsciiClose;
    line += '\n';
    return line;
}

std::string TraceTextLine(char kind, std::int64_t atMicros, std::string_view text) {
    std::string line = Stamp(atMicros);
    line += ' ';
    line += kind;
    line += ' ';
    AppendOnOneLine(line, text);
    return line;
}

std::string TraceSectionLine(std::string_view title) {
    std::string line(1, kTraceSection);
    line += ' ';
    AppendOnOneLine(line, title);
    return line;
}

std::optional<TraceReader::Read> TraceReader::ReadEvent() {
    std::string text;
    while (!error_ && std::getline(*in_, text)) {
        ++number_;
        const auto fail = [&](const std::string& what) {
            error_ = "line " + std::to_string(number_) + ": " + what;
        };
        std::string_view line = text;
        if (!line.empty() && line.back() == '\r') {
            line.remove_suffix(1);  // a trace that went through a mail program
        }
        if (line.find_first_not_of(' ') == std::string_view::npos) {
            continue;
        }
        const bool followsDeviceBytes = std::exchange(afterDeviceBytes_, false);
        if (line.front() == kTraceSection) {
            return Read{{TraceEvent::Kind::Section, 0, {}, {}}};
        }
        const auto stampBegin = line.find_first_not_of(' ');
        const auto stampEnd = line.find(' ', stampBegin);
        if (stampEnd == std::string_view::npos || line.size() < stampEnd + 3 ||
            line[stampEnd + 2] != ' ') {
            fail("not a trace line");
            break;
        }
        const auto at = ParseStamp(line.substr(stampBegin, stampEnd - stampBegin));
        if (!at) {
            fail("bad time");
            break;
        }
        const char kind = line[stampEnd + 1];
        const std::string_view rest = line.substr(stampEnd + 3);
        switch (kind) {
            case kTraceHostToDevice:
            case kTraceDeviceToHost: {
                const auto ascii = rest.find(kAsciiOpen);
                auto bytes = ParseHex(rest.substr(0, ascii));
                if (!bytes) {
                    fail("bad bytes");
                    break;
                }
                const bool host = kind == kTraceHostToDevice;
                afterDeviceBytes_ = !host;
                return Read{{host ? TraceEvent::Kind::HostBytes : TraceEvent::Kind::DeviceBytes,
                             *at,
                             std::move(*bytes),
                             {}},
                            !host && followsDeviceBytes};
            }
            case kTraceStep:
                if (rest.starts_with(kTracePortOpened)) {
                    std::string_view name = rest.substr(kTracePortOpened.size());
                    if (name.starts_with(' ')) {
                        name.remove_prefix(1);
                    }
                    name = name.substr(0, name.find_first_of(" \t\r"));
                    return Read{{TraceEvent::Kind::Opened, *at, {}, std::string(name)}};
                }
                if (rest == kTracePortClosed) {
                    return Read{{TraceEvent::Kind::Closed, *at, {}, {}}};
                }
                if ((rest == kTraceChecksumGood || rest == kTraceChecksumBad) &&
                    followsDeviceBytes) {
                    const TraceByte held = rest == kTraceChecksumGood ? 1 : 0;
                    return Read{{TraceEvent::Kind::ChecksumVerdict, *at, {held}, {}}};
                }
                break;
            case kTraceError:
                if (const auto code = PortErrorCode(rest); code && LineLostCode(*code)) {
                    return Read{{TraceEvent::Kind::LineLost, *at, {}, {}}};
                }
                break;
            default:
                fail("unknown kind of line");
                break;
        }
    }
    return std::nullopt;
}

std::optional<TraceEvent> TraceReader::Next() {
    std::optional<Read> read = std::exchange(pending_, std::nullopt);
    if (!read) {
        read = ReadEvent();
    }
    if (!read) {
        return std::nullopt;
    }
    if (read->event.kind == TraceEvent::Kind::DeviceBytes) {
        // Reads straight after the bytes before: there by then as well, so one burst.
        while ((pending_ = ReadEvent()) && pending_->followsDeviceBytes) {
            std::vector<TraceByte>& burst = read->event.bytes;
            burst.insert(burst.end(), pending_->event.bytes.begin(), pending_->event.bytes.end());
        }
    }
    return std::move(read->event);
}

void TraceReader::Rewind() {
    in_->clear();
    in_->seekg(0);
    number_ = 0;
    afterDeviceBytes_ = false;
    pending_.reset();
    error_.reset();
}

TraceReadResult ReadTrace(std::string_view text) {
    TraceReader reader(std::make_unique<std::istringstream>(std::string(text)));
    TraceReadResult result;
    while (auto event = reader.Next()) {
        result.events.push_back(std::move(*event));
    }
    if (reader.Error()) {
        result.events.clear();
        result.error = reader.Error();
    }
    return result;
}

}  // namespace zorvik
