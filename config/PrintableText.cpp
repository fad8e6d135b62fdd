// Escaping text from outside for a terminal or a message.
#include "config/PrintableText.h"

#include <cstdint>
#include <cstdio>

namespace zorvik {

namespace {

// The length of the valid UTF-8 sequence at the start of `text` that is no control character,
// or 0.
std::size_t PrintableSequence(std::string_view text) {
    const auto byte = [&text](std::size_t i) { return static_cast<std::uint8_t>(text[i]); };
    const std::uint8_t lead = byte(0);
    std::size_t length = 0;
    std::uint32_t code = 0;
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
        code = lead & 0x1Fu;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        code = lead & 0x0Fu;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        code = lead & 0x07u;
    } else {
        return 0;
    }
    if (text.size() < length) {
        return 0;
    }
    for (std::size_t i = 1; i < length; ++i) {
        if ((byte(i) & 0xC0) != 0x80) {
            return 0;
        }
        code = (code << 6) | (byte(i) & 0x3Fu);
    }
    const std::uint32_t least[] = {0, 0, 0x80, 0x800, 0x10000};
    const bool valid =
        code >= least[length] && code <= 0x10FFFF && (code < 0xD800 || code > 0xDFFF);
    const bool control = code >= 0x80 && code <= 0x9F;  // C1: CSI (0x9B) starts an escape
    return valid && !control ? length : 0;
}

}  // namespace

std::string PrintableText(std::string_view text, bool keepNewlines) {
    std::string shown;
    shown.reserve(text.size());
    while (!text.empty()) {
        const auto c = static_cast<std::uint8_t>(text.front());
        std::size_t taken = 1;
        if (c >= 0x20 && c < 0x7F) {
            shown += static_cast<char>(c);
        } else if (c == '\n' && keepNewlines) {
            shown += '\n';
        } else if (c == '\n') {
            shown += "\\n";
        } else if (c == '\r') {
            shown += "\\r";
        } else if (c == '\t') {
            shown += "\\t";
        } else if (const std::size_t length = c >= 0x80 ? PrintableSequence(text) : 0; length > 0) {
            shown.append(text.substr(0, length));
            taken = length;
        } else {
            char escape[5];
            std::snprintf(escape, sizeof escape, "\\x%02X", static_cast<unsigned>(c));
            shown += escape;
        }
        text.remove_prefix(taken);
    }
    return shown;
}

}  // namespace zorvik
