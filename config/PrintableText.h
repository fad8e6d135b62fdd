// Text that came from outside (a file, a device, a command line), made safe to show on a terminal
// or in a message: nothing in it can move the cursor, recolour the terminal or cut the message.
#pragma once

#include <string>
#include <string_view>

namespace zorvik {

// `text` with each control character (C0, DEL, and C1 as UTF-8), and each byte that is not part
// of valid UTF-8, written as an escape: "\n", "\r", "\t", or "\xNN". Printable ASCII and valid
// UTF-8 pass unchanged, and so does a backslash, so escaping twice changes nothing more. With
// `keepNewlines`, a line feed stays one (for a message of several lines).
[[nodiscard]] std::string PrintableText(std::string_view text, bool keepNewlines = false);

}  // namespace zorvik
