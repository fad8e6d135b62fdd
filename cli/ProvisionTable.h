// The provisioning table: one row per device, each the template with its own values, checked
// whole before any port opens; and the report that records every attempt.
#pragma once

#include <map>
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
constexpr std::string_view kPortColumn = "port";                 // the one port the row goes to

struct ProvisionRow {
    int number = 0;                             // 1 for the first row after the header
    std::string id;                             // the `id` cell, or the row's number
    std::optional<std::u16string> password;     // the `password` cell, when not empty
    std::optional<std::u16string> newPassword;  // the `new_password` cell, when not empty
    std::optional<std::string> port;            // the `port` cell, when not empty
    ConfigImage image{};  // the template with the row's values, as `write` would send it
    // Each value given (by the row or the template) that the device will not hold, as "row N,
    // column KEY: the device will not hold ...; it will store ...".
    std::vector<std::string> notHeld;
};

// Every row of the table read from `path`, on top of the template `base`, whose form gave
// `templateKeys`. The table is UTF-8, separated by commas or semicolons as its header line is. An
// empty cell keeps the template's value (or the default id and password); a row whose cells are
// all empty is skipped with a warning naming its line. Raises CliError (status 7) naming the row
// and column of the first problem: text that is not UTF-8, a column that is no key, a column
// given twice, a row with another number of cells than the header, a bad value, a password of
// other than 4 characters, a new password that is not plain ASCII, an id given twice, or no rows
// at all.
[[nodiscard]] std::vector<ProvisionRow> ReadProvisionTable(
    std::string_view text, const std::string& path, const Configuration& base,
    const std::set<std::string>& templateKeys = {});

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
    std::string sha256;  // of the 256 bytes sent, or empty when nothing was sent
};

// The line with `separator` between cells; a cell a spreadsheet would run as a formula is
// written with a ' in front.
[[nodiscard]] std::string FormatReportLine(const ReportLine& line, char separator = ',');

// What an existing report says about the rows, its cells as they were before FormatReportLine.
struct ReportHistory {
    char separator = ',';
    std::set<std::string> done;                     // rows with an `ok` line
    std::map<std::string, std::string> doneImages;  // the SHA-256 of an `ok` line, and its row
    std::set<std::string> mayHoldNewPassword;       // rows whose device may hold the new password
};

// An existing report's text; an empty text is a new report. Raises CliError (status 7) when the
// text is not a report of this kind.
[[nodiscard]] ReportHistory ReadReport(std::string_view text, const std::string& path);

}  // namespace zorvik::cli
