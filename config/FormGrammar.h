// The grammar both text forms share, the configuration's and the anti-theft settings': one
// "key = value" a line; "#" starts a comment, at the start of a line or after a value (no value
// holds one); blanks, tabs and a carriage return around a key or a value do not count; blank lines
// are skipped. What the keys and values mean is each form's own.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace zorvik {

struct FormLine {
    int number = 0;  // from 1
    std::string_view key;
    std::string_view value;
};

struct FormSyntaxError {
    int line = 0;
    std::string message;  // "expected \"key = value\"", "expected a key before \"=\""
};

// Reads a form line by line, without copying it: the text must outlive the reader.
class FormReader {
public:
    explicit FormReader(std::string_view text) : text_(text) {}

    // The next line that holds a setting, or nothing at the end of the text or at a line that
    // is not one, which stops the reading: Error() then says where and why.
    [[nodiscard]] std::optional<FormLine> Next();
    [[nodiscard]] const std::optional<FormSyntaxError>& Error() const { return error_; }

private:
    std::string_view text_;
    int lineNumber_ = 0;
    std::optional<FormSyntaxError> error_;
};

// `text` without the blanks, tabs and carriage returns at either end.
[[nodiscard]] std::string_view TrimFormText(std::string_view text);

}  // namespace zorvik
