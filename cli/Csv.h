// Comma-separated tables as spreadsheets write them: the provisioning table read, report lines
// written.
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

// The records of `text`. Fields are separated by commas; a field in double quotes may hold
// commas, line breaks and "" for a quote. Lines end in LF or CRLF, a UTF-8 byte order mark at the
// start is skipped, and empty lines are skipped. A quote inside a field that does not start with
// one, text after a closing quote, or a quote never closed raises CsvError.
[[nodiscard]] std::vector<CsvRecord> ParseCsv(std::string_view text);

// The field as a CSV line holds it: quoted when it contains a comma, a quote or a line break.
[[nodiscard]] std::string CsvField(std::string_view text);

// The fields as one line, ended by a newline.
[[nodiscard]] std::string CsvLine(const std::vector<std::string>& fields);

}  // namespace zorvik::cli
