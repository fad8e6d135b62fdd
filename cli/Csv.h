// Comma- or semicolon-separated tables as spreadsheets write them: the provisioning table read,
// report lines written.
#pragma once

#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace zorvik::cli {

// A table that cannot be read, and the line where that shows.
class CsvError : public std::runtime_error {
public:
    CsvError(int line, const std::string& message)
        : std::runtime_error("line " + std::to_string(line) + ": " + message), line_(line) {}
    [[nodiscard]] int Line() const { return line_; }

private:
    int line_;
};

struct CsvRecord {
    int line = 0;  // where the record starts, 1 for the first line
    std::vector<std::string> fields;
};

constexpr char kComma = ',';
constexpr char kSemicolon = ';';  // what a spreadsheet in a Polish (or German...) locale writes

// The separator of a table: the one of comma and semicolon that its first line (its header)
// holds more often outside quotes; a comma when neither is there.
[[nodiscard]] char CsvSeparatorOf(std::string_view text);

// The records of `text`. Fields are separated by `separator`; a field in double quotes may hold
// separators, line breaks and "" for a quote. Lines end in LF or CRLF, a UTF-8 byte order mark at
// the start is skipped, and empty lines are skipped. A quote inside a field that does not start
// with one, text after a closing quote, or a quote never closed raises CsvError.
[[nodiscard]] std::vector<CsvRecord> ParseCsv(std::string_view text, char separator = kComma);

// The field as a CSV line holds it: quoted when it contains a separator, a quote or a line break.
[[nodiscard]] std::string CsvField(std::string_view text, char separator = kComma);

// The fields as one line, ended by a newline.
[[nodiscard]] std::string CsvLine(const std::vector<std::string>& fields, char separator = kComma);

// A cell a spreadsheet would run as a formula (it starts with =, +, -, @, a tab or a carriage
// return) with a ' in front, which the spreadsheet shows as text; other cells as they are.
[[nodiscard]] std::string InertCell(std::string_view text);
// The cell's text as it was before InertCell.
[[nodiscard]] std::string LiveCell(std::string_view cell);

}  // namespace zorvik::cli
