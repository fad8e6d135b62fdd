// Telling UTF-8 from other bytes, as a table or form file must be before it is read.
#include "config/Utf8.h"

#include <gtest/gtest.h>

namespace zorvik::testing {
namespace {

TEST(Utf8, AcceptsEveryValidSequenceAndRefusesWhatIsNot) {
    const std::pair<std::string_view, bool> cases[] = {
        {"plain ASCII", true},
        {"Zażółć gęślą jaźń", true},
        {"\xC2\x9B", true},  // C1 CSI: escaped when shown, yet valid UTF-8
        {"\xEF\xBF\xBF \xF4\x8F\xBF\xBF", true},
        {"Za\xBF\xF3\xB3\xE6", false},     // Windows-1250
        {"\xC3", false},                   // cut off by the end
        {"\xC0\xAF \xE0\x80\xAF", false},  // overlong
        {"\xED\xA0\x80", false},           // surrogate
        {"\xF4\x90\x80\x80", false},       // past U+10FFFF
        {"\xE2\x82 ", false},              // a following byte missing
    };
    for (const auto& [text, valid] : cases) {
        EXPECT_EQ(IsUtf8(text), valid) << ::testing::PrintToString(text);
    }
}

}  // namespace
}  // namespace zorvik::testing
