// The provisioning table: one row per device, each the template with its own values, checked
// whole before any port opens; and the report that records every attempt.
#pragma once

#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "config/ConfigImage.h"
#include "config/Configuration.h"

namespace zorvik::cli {

// Columns with a meaning of their own; every other column is a key of the text form.
constexpr std::string_view kIdColumn = "id";                     // names the device in the report
constexpr std::string_view kPasswordColumn = "password";         // the device's current password
constexpr std::string_view kNewPasswordColumn = "new_password";  // set after the verified write

struct ProvisionRow {
    int number = 0;                             // 1 for the first row after the header
    std::string id;                             // the `id` cell, or the row's number
    std::optional<std::u16string> password;     // the `password` cell, when not empty
    std::optional<std::u16string> newPassword;  // the `new_password` cell, when not empty
    ConfigImage image{};  // the template with the row's values, as `write` would send it
};

// Every row of the table read from `path`, on top of the template `base`. An empty cell keeps
// the template's value (or the default id and password). Raises CliError (status 7) naming the
// row and column of the first problem: a column that is no key, a column given twice, a row with
// another number of cells than the header, a bad value, a password of other than 4 characters, an
// id given twice, or no rows at all.
[[nodiscard]] std::vector<ProvisionRow> ReadProvisionTable(std::string_view text,
                                                           const std::string& path,
                                                           const Configuration& base);

// The report's columns, in order.
[[nodiscard]] const std::vector<std::string>& ReportColumns();

// One attempt as the report records it.
struct ReportLine {
    std::string time;  // UTC, as 2026-12-09T07:40:12Z
    std::string row;   // the row's id; empty when no row was taken
    std::string port;
    std::string byId;  // the port's /dev/serial/by-id name, or empty
    bool ok = false;
    int exitStatus = 0;
    std::string message;
    std::string sha256;  // of the 256 bytes read back, or empty
};

[[nodiscard]] std::string FormatReportLine(const ReportLine& line);

// The ids of the rows that have an `ok` line in an existing report's text. An empty text is a
// new report. Raises CliError (status 7) when the text is not a report of this kind.
[[nodiscard]] std::set<std::string> RowsDoneInReport(std::string_view text,
                                                     const std::string& path);

}  // namespace zorvik::cli
