// The text forms' shared grammar.
#include "config/FormGrammar.h"

namespace zorvik {

namespace {

constexpr std::string_view kBlanks = " \t\r";

}  // namespace

std::string_view TrimFormText(std::string_view text) {
    const auto first = text.find_first_not_of(kBlanks);
    if (first == std::string_view::npos) {
        return {};
    }
    const auto last = text.find_last_not_of(kBlanks);
    return text.substr(first, last - first + 1);
}

std::optional<FormLine> FormReader::Next() {
    while (!error_ && !text_.empty()) {
        ++lineNumber_;
        const auto end = text_.find('\n');
        std::string_view line = text_.substr(0, end);
        text_.remove_prefix(end == std::string_view::npos ? text_.size() : end + 1);
        line = TrimFormText(line.substr(0, line.find('#')));
        if (line.empty()) {
            continue;
        }
        const auto equals = line.find('=');
        if (equals == std::string_view::npos) {
            error_ = FormSyntaxError{lineNumber_, "expected \"key = value\""};
            break;
        }
        const std::string_view key = TrimFormText(line.substr(0, equals));
        if (key.empty()) {
            error_ = FormSyntaxError{lineNumber_, "expected a key before \"=\""};
            break;
        }
        return FormLine{lineNumber_, key, TrimFormText(line.substr(equals + 1))};
    }
    return std::nullopt;
}

}  // namespace zorvik
