// The provisioning table's CSV reader: any bytes are either refused with the line of the fault or
// read into records that the report's writer puts back into the same fields; a table is either
// refused with a file error or gives a row per record after the header whose cells are not all
// empty (such a row, as a spreadsheet leaves, is skipped with a warning).
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string_view>

#include "cli/Csv.h"
#include "cli/ExitCode.h"
#include "cli/ProvisionTable.h"

namespace {

void Require(bool condition, const char* what) {
    if (!condition) {
        std::fprintf(stderr, "Broken: %s\n", what);
        std::abort();
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace zorvik::cli;
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    std::vector<CsvRecord> records;
    try {
        records = ParseCsv(text);
    } catch (const CsvError& error) {
        Require(error.Line() >= 1, "a refused table names a line");
        return 0;
    }
    int lastLine = 0;
    for (const CsvRecord& record : records) {
        Require(record.line > lastLine, "records come in the order of their lines");
        lastLine = record.line;
        Require(!record.fields.empty(), "a record has a field");
        // A lone empty field is written as an empty line, which reads as no record.
        if (record.fields.size() > 1 || !record.fields.front().empty()) {
            const std::vector<CsvRecord> again = ParseCsv(CsvLine(record.fields));
            Require(again.size() == 1 && again.front().fields == record.fields,
                    "a written line reads back as the same fields");
        }
    }
    try {
        const auto rows = ReadProvisionTable(text, "t.csv", zorvik::DefaultConfiguration());
        const auto filled = [](const CsvRecord& record) {
            return std::any_of(record.fields.begin(), record.fields.end(),
                               [](const std::string& cell) { return !cell.empty(); });
        };
        const auto rowsExpected = std::count_if(records.begin() + 1, records.end(), filled);
        Require(static_cast<std::ptrdiff_t>(rows.size()) == rowsExpected,
                "every record after the header with a cell filled is a row");
    } catch (const CliError& error) {
        Require(error.Code() == Exit::FileError, "a bad table is a file error");
    }
    return 0;
}
