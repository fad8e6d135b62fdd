// Escaping text from outside for a terminal or a message.
#include "config/PrintableText.h"

#include <cstdint>
#include <cstdio>

#include "config/Utf8.h"

namespace zorvik {

namespace {

// The length of the valid UTF-8 sequence at the start of `text` that is no control character,
// or 0.
std::size_t PrintableSequence(std::string_view text) {
    const Utf8Sequence sequence = Utf8SequenceAt(text);
    // C1 is valid UTF-8, yet its CSI (0x9B) starts an escape as ESC [ does.
    const bool control = sequence.code >= 0x80 && sequence.code <= 0x9F;
    return control ? 0 : sequence.length;
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
