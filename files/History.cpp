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
#include <fstream>
#include <random>
#include <sstream>
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

// Makes the folder, and its parent of the program's own, readable by this user alone.
void MakeFolder(const std::string& folder) {
    std::error_code error;
    fs::create_directories(folder, error);
    if (error) {
        throw EInOutError(folder + ": " + error.message(), error.value());
    }
    for (const fs::path& path : {fs::path(folder).parent_path(), fs::path(folder)}) {
        history::MakePrivate(path.string());
    }
}

std::optional<HistoryRecord> FromJson(const std::string& text) {
    const nlohmann::json json = nlohmann::json::parse(text, nullptr, false);
    if (!json.is_object()) {
        return std::nullopt;  // still being written, or not ours
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

std::vector<HistoryRecord> HistoryStore::List() const {
    std::vector<HistoryRecord> records;
    std::error_code error;
    for (const auto& entry : fs::directory_iterator(folder_, error)) {
        std::error_code sizeError;
        if (entry.path().extension() != kRecordExtension || !entry.is_regular_file(sizeError) ||
            entry.file_size(sizeError) > kMaxRecordSize) {
            continue;
        }
        std::ifstream file(entry.path());
        std::ostringstream text;
        text << file.rdbuf();
        if (auto record = FromJson(text.str());
            record && record->id + kRecordExtension == entry.path().filename()) {
            records.push_back(std::move(*record));
        }
    }
    std::sort(records.begin(), records.end(), [](const HistoryRecord& a, const HistoryRecord& b) {
        return a.time != b.time ? a.time > b.time : a.id > b.id;
    });
    return records;
}

std::vector<HistoryRecord> HistoryStore::Matching(std::string_view prefix) const {
    std::vector<HistoryRecord> found;
    for (HistoryRecord& record : List()) {
        if (!prefix.empty() && record.id.starts_with(prefix)) {
            found.push_back(std::move(record));
        }
    }
    return found;
}

std::string HistoryStore::ImagePath(const HistoryRecord& record) const {
    return folder_ + "/" + record.id + kImageExtension;
}

}  // namespace zorvik
