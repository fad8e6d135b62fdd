// Telling UTF-8 text from other bytes.
#include "cli/Utf8.h"

#include <cstdint>

namespace zorvik::cli {

bool IsUtf8(std::string_view text) {
    std::size_t at = 0;
    while (at < text.size()) {
        const auto lead = static_cast<unsigned char>(text[at]);
        int more = 0;
        std::uint32_t code = 0;
        if (lead < 0x80) {
            ++at;
            continue;
        }
        if (lead >= 0xC2 && lead <= 0xDF) {
            more = 1;
            code = lead & 0x1Fu;
        } else if (lead >= 0xE0 && lead <= 0xEF) {
            more = 2;
            code = lead & 0x0Fu;
        } else if (lead >= 0xF0 && lead <= 0xF4) {
            more = 3;
            code = lead & 0x07u;
        } else {
            return false;
        }
        if (at + static_cast<std::size_t>(more) >= text.size()) {
            return false;
        }
        for (int i = 1; i <= more; ++i) {
            const auto next = static_cast<unsigned char>(text[at + static_cast<std::size_t>(i)]);
            if ((next & 0xC0u) != 0x80u) {
                return false;
            }
            code = (code << 6) | (next & 0x3Fu);
        }
        // Overlong forms, surrogates and codes past Unicode's end are not UTF-8.
        const std::uint32_t least[] = {0, 0x80, 0x800, 0x10000};
        if (code < least[more] || (code >= 0xD800 && code <= 0xDFFF) || code > 0x10FFFF) {
            return false;
        }
        at += static_cast<std::size_t>(more) + 1;
    }
    return true;
}

}  // namespace zorvik::cli
