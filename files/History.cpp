// The history store: a folder of record files, written so that a reader never sees half a record.
#include "files/History.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <random>
#include <span>
#include <system_error>

#include <nlohmann/json.hpp>

#include "files/ConfigFile.h"
#include "files/FileIo.h"
#include "files/HistorySystem.h"
#include "files/UtcTime.h"

namespace zorvik {

namespace {

namespace fs = std::filesystem;

const std::string kImageExtension = std::string(".") + kConfigFileExtension;
constexpr const char* kRecordExtension = ".json";
constexpr int kIdDigits = 12;    // 48 random bits: a clash is retried, never overwritten
constexpr int kIdAttempts = 16;  // names tried before giving up on a full folder
constexpr std::uintmax_t kMaxRecordSize = 64 * 1024;  // a record file larger is not one of ours

std::string NewId() {
    std::random_device source;
    const std::uint64_t bits =
        (std::uint64_t{source()} << 32 | source()) & ((std::uint64_t{1} << (4 * kIdDigits)) - 1);
    char text[kIdDigits + 1];
    std::snprintf(text, sizeof text, "%012llx", static_cast<unsigned long long>(bits));
    return text;
}

std::string UtcNowMicros() {
    const auto now = std::chrono::system_clock::now();
    const auto micros =
        std::chrono::duration_cast<std::chrono::microseconds>(now.time_since_epoch()).count();
    const std::time_t seconds = static_cast<std::time_t>(micros / 1'000'000);
    const std::tm utc = UtcTime(seconds);
    char text[40];
    const std::size_t length = std::strftime(text, sizeof text, "%Y-%m-%dT%H:%M:%S", &utc);
    std::snprintf(text + length, sizeof text - length, ".%06lldZ",
                  static_cast<long long>(micros % 1'000'000));
    return text;
}

// The program's paths are UTF-8; a path made from a plain string would be read in the ANSI code
// page on Windows, and miss a profile folder named with a Polish letter.
fs::path PathOf(const std::string& utf8) {
    return fs::path(std::u8string(utf8.begin(), utf8.end()));
}

// A name as the program's own text, UTF-8, on every platform.
std::string Utf8(const fs::path& name) {
    const std::u8string text = name.u8string();
    return {text.begin(), text.end()};
}

[[noreturn]] void Failure(const std::string& path, const std::error_code& error) {
    throw EInOutError(path + ": " + error.message(), error.value());
}

// Makes the folder, and its parent of the program's own, readable by this user alone.
void MakeFolder(const std::string& folder) {
    std::error_code error;
    fs::create_directories(PathOf(folder), error);
    if (error) {
        Failure(folder, error);
    }
    for (const fs::path& path : {PathOf(folder).parent_path(), PathOf(folder)}) {
        history::MakePrivate(Utf8(path));
    }
}

std::optional<HistoryRecord> FromJson(const std::string& text) {
    const nlohmann::json json = nlohmann::json::parse(text, nullptr, false);
    if (!json.is_object()) {
        return std::nullopt;  // damaged, or not ours
    }
    const auto field = [&json](const char* name) {
        const auto found = json.find(name);
        return found != json.end() && found->is_string() ? found->get<std::string>()
                                                         : std::string();
    };
    HistoryRecord record{
        field("id"),    field("time"), field("command"), field("stage"),   field("port"),
        field("by_id"), field("site"), field("sha256"),  field("outcome"), !field("image").empty()};
    if (record.id.empty() || record.time.empty()) {
        return std::nullopt;
    }
    return record;
}

// A record file's text; raises EInOutError naming it when the system will not give it.
std::string RecordText(const std::string& path, std::uintmax_t size) {
    try {
        InputFile file(path);
        std::string text(static_cast<std::size_t>(size), '\0');
        file.ReadExactly(std::span(reinterpret_cast<std::uint8_t*>(text.data()), text.size()));
        return text;
    } catch (const EInOutError& error) {
        throw EInOutError(path + ": " + error.what(), error.ErrorCode());
    }
}

}  // namespace

nlohmann::ordered_json ToJson(const HistoryRecord& record) {
    return {{"id", record.id},
            {"time", record.time},
            {"command", record.command},
            {"stage", record.stage},
            {"port", record.port},
            {"by_id", record.byId},
            {"site", record.site},
            {"sha256", record.sha256},
            {"outcome", record.outcome},
            {"image", record.hasImage ? nlohmann::ordered_json(record.id + kImageExtension)
                                      : nlohmann::ordered_json(nullptr)}};
}

std::string DefaultHistoryFolder() {
    return history::DefaultFolder();
}

HistoryRecord HistoryStore::Keep(HistoryRecord record,
                                 const std::optional<ConfigImage>& image) const {
    MakeFolder(folder_);
    // The record's name is taken first, by creating its file exclusively: two writers can never
    // share a name. The file stays empty, and so unlisted, until the image beside it is whole.
    int fd = -1;
    std::string recordPath;
    for (int attempt = 0; fd < 0 && attempt < kIdAttempts; ++attempt) {
        record.id = NewId();
        recordPath = folder_ + "/" + record.id + kRecordExtension;
        fd = history::CreateNew(recordPath);
        if (fd < 0 && errno != EEXIST) {
            const int error = errno;
            throw EInOutError(recordPath + ": " + std::strerror(error), error);
        }
    }
    if (fd < 0) {
        throw EInOutError(folder_ + ": no free record name", EEXIST);
    }
    try {
        record.time = UtcNowMicros();
        record.hasImage = image.has_value();
        if (image) {
            ReplaceFileContents(ImagePath(record), *image);
        }
        history::WriteAllAndSync(fd, ToJson(record).dump(2) + "\n", recordPath);
    } catch (...) {
        history::Close(fd);
        history::Remove(recordPath);
        throw;
    }
    history::Close(fd);
    return record;
}

HistoryListing HistoryStore::List() const {
    HistoryListing listing;
    std::error_code error;
    fs::directory_iterator entries(PathOf(folder_), error);
    if (error == std::errc::no_such_file_or_directory) {
        // Nothing kept yet, unless a file stands where a folder on the way should be, which
        // Windows reports as a path not found.
        std::error_code ignored;
        fs::path above = PathOf(folder_).parent_path();
        while (!above.empty() && !fs::exists(above, ignored) && above != above.parent_path()) {
            above = above.parent_path();
        }
        if (above.empty() || fs::is_directory(above, ignored)) {
            return listing;
        }
        Failure(folder_, std::make_error_code(std::errc::not_a_directory));
    }
    if (error) {
        Failure(folder_, error);
    }
    for (; entries != fs::directory_iterator(); entries.increment(error)) {
        if (error) {
            Failure(folder_, error);
        }
        const fs::directory_entry& entry = *entries;
        if (entry.path().extension() != kRecordExtension) {
            continue;
        }
        const std::string path = folder_ + "/" + Utf8(entry.path().filename());
        std::error_code fileError;
        if (!entry.is_regular_file(fileError)) {
            if (fileError) {
                Failure(path, fileError);
            }
            listing.damaged.push_back({path, "not a file"});
            continue;
        }
        const std::uintmax_t size = entry.file_size(fileError);
        if (fileError) {
            Failure(path, fileError);
        }
        if (size == 0) {
            continue;  // its name is taken, its record is still being written
        }
        if (size > kMaxRecordSize) {
            listing.damaged.push_back({path, "larger than any record"});
            continue;
        }
        const std::optional<HistoryRecord> record = FromJson(RecordText(path, size));
        if (!record) {
            listing.damaged.push_back({path, "not a whole record"});
        } else if (record->id + kRecordExtension != entry.path().filename()) {
            listing.damaged.push_back({path, "its id is not its name"});
        } else {
            listing.records.push_back(*record);
        }
    }
    if (error) {
        Failure(folder_, error);
    }
    std::sort(listing.records.begin(), listing.records.end(),
              [](const HistoryRecord& a, const HistoryRecord& b) {
                  return a.time != b.time ? a.time > b.time : a.id > b.id;
              });
    std::sort(listing.damaged.begin(), listing.damaged.end(),
              [](const DamagedRecord& a, const DamagedRecord& b) { return a.path < b.path; });
    return listing;
}

HistoryListing HistoryStore::Matching(std::string_view prefix) const {
    HistoryListing listing = List();
    std::erase_if(listing.records, [prefix](const HistoryRecord& record) {
        return prefix.empty() || !record.id.starts_with(prefix);
    });
    return listing;
}

std::string HistoryStore::ImagePath(const HistoryRecord& record) const {
    return folder_ + "/" + record.id + kImageExtension;
}

}  // namespace zorvik
