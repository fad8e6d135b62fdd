// zorvik-cli provision: one template and a table of rows written to every device on every listed
// port at once, each attempt recorded in a report.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "files/History.h"

namespace zorvik::cli {

struct ProvisionSetup {
    std::string templatePath;               // any configuration form, as `write` takes it
    std::string tablePath;                  // the CSV table, one row per device
    std::vector<std::string> ports;         // as given, each worked at the same time
    std::optional<std::string> reportPath;  // the CSV report lines are appended to
    bool watch = false;                     // a station: each port takes device after device
    bool resume = false;                    // rows with an `ok` line in the report are skipped
    bool strict = false;                    // values the device will not hold refuse the table
    bool excel = false;                     // a new report marked UTF-8 and separated by semicolons
    std::u16string password;                // the access password of rows without one of their own
    std::vector<std::string> presets;       // laid over the template, in order
    bool presetOverride = false;            // a later preset may give a key an earlier gave
    std::optional<HistoryStore> history;    // where each row's image is kept, if anywhere
    std::optional<std::string> tracePath;   // a byte trace, one section per device
    std::vector<std::string> commandLine;   // the words of the command, for the trace's titles
};

// Checks the template, the table and the report before any port opens (raising CliError with
// their statuses), then provisions, never giving a device that holds a finished row another one,
// and ends with a count of the rows done, failed and not started. Returns 0 when every attempt
// succeeded and 8 when one failed; raises Interrupted after Ctrl-C.
[[nodiscard]] int Provision(const ProvisionSetup& setup);

}  // namespace zorvik::cli
