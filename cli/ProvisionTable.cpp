// Reading the provisioning table and the report, and writing report lines.
#include "cli/ProvisionTable.h"

#include <algorithm>
#include <map>

#include "cli/ConfigForms.h"
#include "cli/Console.h"
#include "cli/Csv.h"
#include "cli/ExitCode.h"
#include "cli/Passwords.h"
#include "cli/StopWords.h"
#include "config/ConfigText.h"
#include "config/Utf8.h"
#include "device/DeviceExchange.h"

namespace zorvik::cli {

namespace {

constexpr std::string_view kResultOk = "ok";
constexpr std::string_view kResultFailed = "failed";

CliError TableFailure(const std::string& path, const std::string& where, const std::string& what) {
    return CliError(Exit::FileError, path + ": " + where + ": " + what);
}

std::string RowColumn(int row, const std::string& column) {
    return "row " + std::to_string(row) + ", column " + column;
}

// A password cell: 4 characters, or nothing when empty.
std::optional<std::u16string> PasswordCell(const std::string& cell, const std::string& path,
                                           int row, std::string_view column) {
    if (cell.empty()) {
        return std::nullopt;
    }
    std::u16string password = FromUtf8(cell);
    if (!IsValidAccessPassword(password)) {
        throw TableFailure(path, RowColumn(row, std::string(column)),
                           "an access password is 4 characters");
    }
    return password;
}

std::vector<CsvRecord> Records(std::string_view text, const std::string& path, char separator) {
    if (!IsUtf8(text)) {
        throw CliError(Exit::FileError,
                       path +
                           ": not UTF-8 text (a spreadsheet's plain \"CSV\" is often "
                           "Windows-1250): save it as \"CSV UTF-8\" and try again");
    }
    try {
        return ParseCsv(text, separator);
    } catch (const CsvError& error) {
        throw CliError(Exit::FileError, path + ": " + error.what());
    }
}

}  // namespace

std::vector<ProvisionRow> ReadProvisionTable(std::string_view text, const std::string& path,
                                             const Configuration& base,
                                             const std::set<std::string>& templateKeys) {
    const std::vector<CsvRecord> records = Records(text, path, CsvSeparatorOf(text));
    if (records.empty()) {
        throw CliError(Exit::FileError, path + ": empty; the first line names the columns");
    }
    const std::vector<std::string>& header = records.front().fields;
    std::map<std::string, std::size_t> columns;
    for (std::size_t c = 0; c < header.size(); ++c) {
        const std::string& name = header[c];
        const bool own = name == kIdColumn || name == kPasswordColumn ||
                         name == kNewPasswordColumn || name == kPortColumn;
        if (!own && !IsConfigKey(name)) {
            throw TableFailure(path, "header, column " + std::to_string(c + 1),
                               "\"" + name + "\" is neither id, password, new_password, port " +
                                   "nor a key of the text form");
        }
        if (!columns.emplace(name, c).second) {
            throw TableFailure(path, "header, column " + name, "given twice");
        }
    }
    if (records.size() == 1) {
        throw CliError(Exit::FileError, path + ": no rows after the header");
    }

    std::vector<ProvisionRow> rows;
    std::map<std::string, int> ids;  // each id and the row that has it
    for (std::size_t r = 1; r < records.size(); ++r) {
        const std::vector<std::string>& cells = records[r].fields;
        const int number = static_cast<int>(r);
        if (std::all_of(cells.begin(), cells.end(),
                        [](const auto& cell) { return cell.empty(); })) {
            // A spreadsheet leaves such lines (";;") below its rows; the rows after keep their
            // numbers, which are their default ids.
            Warn(path + ": line " + std::to_string(records[r].line) +
                 ": every cell is empty; the row is skipped");
            continue;
        }
        if (cells.size() != header.size()) {
            throw TableFailure(path, "row " + std::to_string(number),
                               std::to_string(cells.size()) + " cells where the header has " +
                                   std::to_string(header.size()) + " (line " +
                                   std::to_string(records[r].line) + ")");
        }
        ProvisionRow row;
        row.number = number;
        row.id = std::to_string(number);
        Configuration value = base;
        std::set<std::string> given = templateKeys;
        std::set<std::string> rowKeys;
        for (std::size_t c = 0; c < header.size(); ++c) {
            const std::string& name = header[c];
            const std::string& cell = cells[c];
            if (name == kIdColumn) {
                row.id = cell.empty() ? row.id : cell;
            } else if (name == kPasswordColumn) {
                row.password = PasswordCell(cell, path, number, name);
            } else if (name == kNewPasswordColumn) {
                row.newPassword = PasswordCell(cell, path, number, name);
                if (row.newPassword && !IsPlainAscii(*row.newPassword)) {
                    throw TableFailure(path, RowColumn(number, name),
                                       "a new access password must be letters, digits or signs "
                                       "of ASCII: the device compares bytes, and other "
                                       "characters are not sent as written");
                }
            } else if (name == kPortColumn) {
                if (!cell.empty()) {
                    row.port = cell;
                }
            } else if (!cell.empty()) {
                given.insert(name);
                rowKeys.insert(name);
                try {
                    SetConfigValue(value, name, cell);
                } catch (const ConfigParseError& error) {
                    // The error names the key, which is the column.
                    throw CliError(Exit::FileError, path + ": row " + std::to_string(number) +
                                                        ", column " + error.what());
                }
            }
        }
        if (const auto [at, added] = ids.emplace(row.id, number); !added) {
            throw TableFailure(
                path, RowColumn(number, std::string(kIdColumn)),
                "\"" + row.id + "\" is also the id of row " + std::to_string(at->second));
        }
        row.image = EncodeConfiguration(value);
        for (const NotHeldSetting& setting : NotHeld(value, given)) {
            const std::string where =
                rowKeys.contains(setting.key)
                    ? RowColumn(number, setting.key)
                    : "row " + std::to_string(number) + " (" + setting.key + " from the template)";
            row.notHeld.push_back(where + ": " + Describe(setting));
        }
        rows.push_back(std::move(row));
    }
    if (rows.empty()) {
        throw CliError(Exit::FileError, path + ": no rows after the header, only empty lines");
    }
    return rows;
}

const std::vector<std::string>& ReportColumns() {
    static const std::vector<std::string> columns = {"time",   "row",         "port",    "by_id",
                                                     "result", "exit_status", "message", "sha256"};
    return columns;
}

std::string FormatReportLine(const ReportLine& line, char separator) {
    std::vector<std::string> cells = {line.time,
                                      line.row,
                                      line.port,
                                      line.byId,
                                      std::string(line.ok ? kResultOk : kResultFailed),
                                      std::to_string(line.exitStatus),
                                      line.message,
                                      line.sha256};
    for (std::string& cell : cells) {
        cell = InertCell(cell);
    }
    return CsvLine(cells, separator);
}

ReportHistory ReadReport(std::string_view text, const std::string& path) {
    ReportHistory history;
    history.separator = CsvSeparatorOf(text);
    const std::vector<CsvRecord> records = Records(text, path, history.separator);
    if (records.empty()) {
        return history;
    }
    if (records.front().fields != ReportColumns()) {
        throw CliError(Exit::FileError,
                       path + ": not a provisioning report (its first line is not " +
                           CsvLine(ReportColumns()).substr(0, CsvLine(ReportColumns()).size() - 1) +
                           ")");
    }
    constexpr std::size_t kRow = 1;
    constexpr std::size_t kResult = 4;
    constexpr std::size_t kMessage = 6;
    constexpr std::size_t kSha256 = 7;
    const std::string newPasswordWords = MayHoldNewPassword(std::nullopt);
    const std::string_view mayHoldNewPassword =
        std::string_view(newPasswordWords).substr(0, newPasswordWords.find(':'));
    for (std::size_t r = 1; r < records.size(); ++r) {
        std::vector<std::string> fields = records[r].fields;
        if (fields.size() != ReportColumns().size()) {
            throw CliError(Exit::FileError, path + ": line " + std::to_string(records[r].line) +
                                                ": not a report line");
        }
        for (std::string& field : fields) {
            field = LiveCell(field);
        }
        if (fields[kResult] == kResultOk) {
            history.done.insert(fields[kRow]);
            if (!fields[kSha256].empty()) {
                history.doneImages.emplace(fields[kSha256], fields[kRow]);
            }
        } else if (fields[kMessage].find(mayHoldNewPassword) != std::string::npos) {
            history.mayHoldNewPassword.insert(fields[kRow]);
        }
    }
    return history;
}

}  // namespace zorvik::cli
