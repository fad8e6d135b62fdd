// Reading UTF-8 sequences.
#include "config/Utf8.h"

namespace zorvik {

Utf8Sequence Utf8SequenceAt(std::string_view text) {
    if (text.empty()) {
        return {};
    }
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
        return {};
    }
    if (text.size() < length) {
        return {};
    }
    for (std::size_t i = 1; i < length; ++i) {
        if ((byte(i) & 0xC0u) != 0x80u) {
            return {};
        }
        code = (code << 6) | (byte(i) & 0x3Fu);
    }
    // Overlong forms, surrogates and codes past Unicode's end are not UTF-8.
    const std::uint32_t least[] = {0, 0, 0x80, 0x800, 0x10000};
    if (code < least[length] || (code >= 0xD800 && code <= 0xDFFF) || code > 0x10FFFF) {
        return {};
    }
    return {length, code};
}

bool IsUtf8(std::string_view text) {
    while (!text.empty()) {
        std::size_t taken = 1;
        if (static_cast<std::uint8_t>(text.front()) >= 0x80) {
            taken = Utf8SequenceAt(text).length;
            if (taken == 0) {
                return false;
            }
        }
        text.remove_prefix(taken);
    }
    return true;
}

bool LooksLikeUtf16(std::string_view text) {
    if (text.size() < 2) {
        return false;
    }
    if (text.starts_with("\xFF\xFE") || text.starts_with("\xFE\xFF")) {
        return true;
    }
    const auto ascii = [](char c) { return c > 0 && static_cast<std::uint8_t>(c) < 0x80; };
    return (ascii(text[0]) && text[1] == '\0') || (text[0] == '\0' && ascii(text[1]));
}

}  // namespace zorvik
