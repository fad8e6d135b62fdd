// Text from outside as a terminal or a message shows it.
#include "config/PrintableText.h"

#include <gtest/gtest.h>

namespace zorvik::testing {
namespace {

TEST(PrintableText, EscapesWhatWouldActOnATerminalAndKeepsTheRest) {
    using namespace std::string_literals;
    const std::pair<std::string, std::string> cases[] = {
        {"plain text, 100%", "plain text, 100%"},
        {"Błędne Hasło", "Błędne Hasło"},                      // UTF-8 stays
        {"\x1B]0;owned\x07title", "\\x1B]0;owned\\x07title"},  // a title change
        {"a\0b"s, "a\\x00b"},                                  // a NUL cuts nothing
        {"row\r\n\tid\x7F", "row\\r\\n\\tid\\x7F"},            // CR, LF, tab, DEL
        {"\xC2\x9B"
         "31m",
         "\\xC2\\x9B31m"},  // C1 CSI as UTF-8
        {"\x9B"
         "31m \xFF \xC3",
         "\\x9B31m \\xFF \\xC3"},                                 // not UTF-8
        {"\xED\xA0\x80 \xC0\xAF", "\\xED\\xA0\\x80 \\xC0\\xAF"},  // surrogate, overlong
        {"back\\slash", "back\\slash"},
    };
    for (const auto& [text, shown] : cases) {
        EXPECT_EQ(PrintableText(text), shown);
        EXPECT_EQ(PrintableText(PrintableText(text)), shown) << "escaping twice changes nothing";
    }
    EXPECT_EQ(PrintableText("two\nlines\r", true), "two\nlines\\r");
}

}  // namespace
}  // namespace zorvik::testing
