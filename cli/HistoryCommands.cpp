// Records of the devices touched, kept and listed for the command line.
#include "cli/HistoryCommands.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <cstdlib>
#include <iostream>
#include <string_view>
#include <vector>

#include <nlohmann/json.hpp>

#include "cli/CommandSupport.h"
#include "cli/Commands.h"
#include "cli/Console.h"
#include "cli/ExitCode.h"
#include "cli/Json.h"
#include "cli/PortNames.h"
#include "cli/Sha256.h"
#include "files/FileError.h"

namespace zorvik::cli {

namespace {

constexpr const char* kHistoryVariable = "ZORVIK_HISTORY";  // turns the history on or off
// The values the variable takes, in any case; any other is warned about and keeps the history.
constexpr std::array<std::string_view, 4> kHistoryOff = {"off", "0", "no", "false"};
constexpr std::array<std::string_view, 4> kHistoryOn = {"on", "1", "yes", "true"};
constexpr std::size_t kShortId = 12;  // the whole id; listed so it can be copied
constexpr std::size_t kShortSha256 = 16;

// Whether $ZORVIK_HISTORY turns the history off.
bool TurnedOff() {
    const char* setting = std::getenv(kHistoryVariable);
    if (setting == nullptr) {
        return false;
    }
    const std::string value = Lowered(setting);
    const auto among = [&value](const auto& words) {
        return std::find(words.begin(), words.end(), value) != words.end();
    };
    if (among(kHistoryOff)) {
        return true;
    }
    if (!among(kHistoryOn)) {
        Warn(std::string(kHistoryVariable) + "=" + setting +
             " is neither on (on, 1, yes, true) nor off (off, 0, no, false); the history is kept");
    }
    return false;
}

// The listing, with each damaged record file warned about; a history that cannot be read is a
// file error of `command`.
HistoryListing Listed(const HistoryStore& store, const std::string& command,
                      std::optional<std::string_view> prefix = std::nullopt) {
    HistoryListing listing;
    try {
        listing = prefix ? store.Matching(*prefix) : store.List();
    } catch (const EInOutError& error) {
        throw CliError(Exit::FileError,
                       command + ": the history cannot be read: " + FileErrorWords(error));
    }
    for (const DamagedRecord& damaged : listing.damaged) {
        Warn(damaged.path + ": not a history record (" + damaged.why + "); left out");
    }
    return listing;
}

// Characters, not bytes, so that a site with Polish letters keeps the columns straight.
std::size_t Width(std::string_view text) {
    return static_cast<std::size_t>(std::count_if(text.begin(), text.end(), [](char c) {
        return (static_cast<unsigned char>(c) & 0xC0) != 0x80;
    }));
}

// The lines as columns two blanks apart, the last one as it is.
std::string Columns(const std::vector<std::vector<std::string>>& lines) {
    std::vector<std::size_t> widths(lines.front().size(), 0);
    for (const auto& line : lines) {
        for (std::size_t c = 0; c + 1 < line.size(); ++c) {
            widths[c] = std::max(widths[c], Width(line[c]));
        }
    }
    std::string text;
    for (const auto& line : lines) {
        for (std::size_t c = 0; c + 1 < line.size(); ++c) {
            text += line[c] + std::string(widths[c] - Width(line[c]) + 2, ' ');
        }
        text += line.back() + '\n';
    }
    return text;
}

}  // namespace

std::optional<HistoryStore> CommandHistory(bool noHistory) {
    if (TurnedOff() || noHistory) {
        return std::nullopt;
    }
    const std::string folder = DefaultHistoryFolder();
    if (folder.empty()) {
        Warn("no home folder: this command is not kept in the history");
        return std::nullopt;
    }
    return HistoryStore(folder);
}

void KeepRecord(const std::optional<HistoryStore>& store, const RecordNote& note,
                const std::optional<ConfigImage>& image) {
    if (!store) {
        return;
    }
    HistoryRecord record;
    record.command = note.command;
    record.stage = note.stage;
    record.port = note.port;
    record.byId = ByIdOf(note.port);
    record.site = note.site;
    record.outcome = note.outcome;
    if (image) {
        record.sha256 = Sha256Hex(*image);
    }
    try {
        (void)store->Keep(record, image);
    } catch (const EInOutError& error) {
        Warn(std::string("the history record could not be kept: ") + error.what());
    }
}

HistoryStore KeptHistory(const std::string& command) {
    const std::string folder = DefaultHistoryFolder();
    if (folder.empty()) {
        throw CliError(Exit::FileError, command + ": no home folder, so no history");
    }
    return HistoryStore(folder);
}

int History(const Invocation& call) {
    NoOperands(call);
    std::cout << ListHistory(KeptHistory(call.command), call.args.Value("site"),
                             call.args.Has("json"));
    return ToInt(Exit::Ok);
}

std::string ListHistory(const HistoryStore& store, const std::optional<std::string>& site,
                        bool json) {
    nlohmann::ordered_json array = nlohmann::ordered_json::array();
    std::vector<std::vector<std::string>> lines = {
        {"ID", "TIME (UTC)", "COMMAND", "PORT", "SITE", "SHA-256", "OUTCOME"}};
    for (const HistoryRecord& record : Listed(store, "history").records) {
        if (site && record.site != *site) {
            continue;
        }
        if (json) {
            nlohmann::ordered_json entry = ToJson(record);
            if (record.hasImage) {
                entry["image"] = store.ImagePath(record);  // where it lies, not only its name
            }
            array.push_back(std::move(entry));
            continue;
        }
        lines.push_back({record.id.substr(0, kShortId), record.time.substr(0, 19) + "Z",
                         record.command + " " + record.stage, record.port,
                         record.site.empty() ? "-" : record.site,
                         record.sha256.empty() ? "-" : record.sha256.substr(0, kShortSha256),
                         record.outcome});
    }
    return json ? IndentedJson(array) : Columns(lines);
}

HistoryRecord FindRecord(const HistoryStore& store, const std::string& prefix) {
    if (prefix.empty()) {
        throw CliError(Exit::Usage,
                       "restore: the record ID is empty; give a record's id, or its start, as "
                       "zorvik-cli history lists them");
    }
    const std::vector<HistoryRecord> found = Listed(store, "restore", prefix).records;
    if (found.size() == 1) {
        return found.front();
    }
    if (found.empty()) {
        throw CliError(Exit::Usage, "restore: no record in " + store.Folder() +
                                        " has an id that starts with " + prefix +
                                        "; see zorvik-cli history");
    }
    std::string ids;
    for (const HistoryRecord& record : found) {
        ids += " " + record.id;
    }
    throw CliError(Exit::Usage,
                   "restore: " + prefix + " starts several ids:" + ids + "; give more of it");
}

}  // namespace zorvik::cli
