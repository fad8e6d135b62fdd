// The history of the devices the command line touched: each record one configuration image kept
// as a .zvk file the window opens, with what happened to it beside it in a JSON file of the same
// name. Records are only ever added, each under a name of its own, so any number of threads and
// programs may keep records at once.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include <nlohmann/json.hpp>

#include "config/ConfigImage.h"

namespace zorvik {

struct HistoryRecord {
    std::string id;       // 12 lowercase hex digits, given when the record is kept
    std::string time;     // UTC with microseconds, 2026-12-10T04:15:00.123456Z, given when kept
    std::string command;  // read, write, provision, restore
    std::string stage;    // what the image is: "read", "before" a write, "written"
    std::string port;
    std::string byId;  // the adapter's /dev/serial/by-id name, or empty
    std::string site;
    std::string sha256;   // of the image; empty when no image was read
    std::string outcome;  // "ok", or what went wrong
    bool hasImage = false;

    bool operator==(const HistoryRecord&) const = default;
};

// A record file that is not a whole record of ours, and why.
struct DamagedRecord {
    std::string path;
    std::string why;

    bool operator==(const DamagedRecord&) const = default;
};

struct HistoryListing {
    std::vector<HistoryRecord> records;
    std::vector<DamagedRecord> damaged;
};

// The record as its JSON file holds it; "image" names the image file beside it, or is null.
[[nodiscard]] nlohmann::ordered_json ToJson(const HistoryRecord& record);

// $XDG_STATE_HOME/zorvik-cli/history, else ~/.local/state/zorvik-cli/history (on Windows
// %LOCALAPPDATA%\zorvik-cli\history); empty when none of these is known.
[[nodiscard]] std::string DefaultHistoryFolder();
// The same as the user is told it, by the variables it comes from.
[[nodiscard]] std::string DefaultHistoryFolderText();

class HistoryStore {
public:
    explicit HistoryStore(std::string folder) : folder_(std::move(folder)) {}

    [[nodiscard]] const std::string& Folder() const { return folder_; }

    // Keeps `record` with `image` (none for a read that brought no valid image) and returns it
    // with its id and time. The folder is made on first use, readable by its owner only, and so
    // is every file. Raises EInOutError when the folder or a file cannot be written.
    HistoryRecord Keep(HistoryRecord record, const std::optional<ConfigImage>& image) const;

    // Every whole record, newest first, and the record files that are not whole records; a
    // record still being written (its file empty) is neither. A folder not made yet holds none.
    // Raises EInOutError naming the folder or the record file that cannot be read.
    [[nodiscard]] HistoryListing List() const;

    // The records whose id starts with `prefix` (one when the prefix is unique), and every
    // damaged record file, which might have been one of them.
    [[nodiscard]] HistoryListing Matching(std::string_view prefix) const;

    // Where a record's image lies.
    [[nodiscard]] std::string ImagePath(const HistoryRecord& record) const;

private:
    std::string folder_;
};

}  // namespace zorvik
