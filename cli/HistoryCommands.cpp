// Records of the devices touched, kept and listed for the command line.
#include "cli/HistoryCommands.h"

#include <cstdlib>
#include <iostream>
#include <sstream>

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

constexpr const char* kHistoryVariable = "ZORVIK_HISTORY";  // "off" turns the history off
constexpr const char* kHistoryOff = "off";
constexpr std::size_t kShortId = 12;  // the whole id; listed so it can be copied

}  // namespace

std::optional<HistoryStore> CommandHistory(bool noHistory) {
    const char* setting = std::getenv(kHistoryVariable);
    if (noHistory || (setting != nullptr && std::string(setting) == kHistoryOff)) {
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
    std::ostringstream text;
    for (const HistoryRecord& record : store.List()) {
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
        text << record.id.substr(0, kShortId) << "  " << record.time.substr(0, 19) << "Z  "
             << record.command << ' ' << record.stage << "  " << record.port << "  "
             << (record.site.empty() ? "-" : record.site) << "  "
             << (record.sha256.empty() ? "-" : record.sha256.substr(0, 16)) << "  "
             << record.outcome << '\n';
    }
    return json ? IndentedJson(array) : text.str();
}

HistoryRecord FindRecord(const HistoryStore& store, const std::string& prefix) {
    const std::vector<HistoryRecord> found = store.Matching(prefix);
    if (found.size() == 1) {
        return found.front();
    }
    if (found.empty()) {
        throw CliError(Exit::Usage,
                       "restore: no record in " + store.Folder() + " has an id that starts with " +
                           (prefix.empty() ? "nothing" : prefix) + "; see zorvik-cli history");
    }
    std::string ids;
    for (const HistoryRecord& record : found) {
        ids += " " + record.id;
    }
    throw CliError(Exit::Usage,
                   "restore: " + prefix + " starts several ids:" + ids + "; give more of it");
}

}  // namespace zorvik::cli
