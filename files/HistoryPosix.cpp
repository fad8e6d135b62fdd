// The history's calls into Linux.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <string>
#include <string_view>

#include "files/FileError.h"
#include "files/History.h"
#include "files/HistorySystem.h"
#include "files/UtcTime.h"
#include "files/WriteAll.h"

namespace zorvik {

namespace {

constexpr std::string_view kStateTail = "/zorvik-cli/history";  // below the state folder
constexpr std::string_view kDefaultState = "/.local/state";     // below $HOME, without one

}  // namespace

std::string DefaultHistoryFolderText() {
    return "$XDG_STATE_HOME" + std::string(kStateTail) + " (~" + std::string(kDefaultState) +
           std::string(kStateTail) + ")";
}

std::tm UtcTime(std::time_t when) {
    std::tm utc{};
    ::gmtime_r(&when, &utc);
    return utc;
}

}  // namespace zorvik

namespace zorvik::history {

void MakePrivate(const std::string& folder) {
    struct stat info {};
    if (::stat(folder.c_str(), &info) == 0 && info.st_uid == ::geteuid() &&
        (info.st_mode & 077) != 0) {
        ::chmod(folder.c_str(), 0700);
    }
}

int CreateNew(const std::string& path) {
    return ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
}

void WriteAllAndSync(int fd, const std::string& text, const std::string& path) {
    try {
        WriteAll(fd, std::span(reinterpret_cast<const std::uint8_t*>(text.data()), text.size()));
    } catch (const EInOutError& error) {
        throw EInOutError(path + ": " + error.what(), error.ErrorCode());
    }
    if (::fsync(fd) != 0) {
        const int error = errno;
        throw EInOutError(path + ": " + std::strerror(error), error);
    }
}

void Close(int fd) noexcept {
    ::close(fd);
}

void Remove(const std::string& path) noexcept {
    ::unlink(path.c_str());
}

std::string DefaultFolder() {
    const auto set = [](const char* name) -> std::string {
        const char* value = std::getenv(name);
        return value != nullptr ? value : "";
    };
    // A relative XDG_STATE_HOME is invalid and ignored, as the base directory rules say.
    if (const std::string state = set("XDG_STATE_HOME"); state.starts_with('/')) {
        return state + std::string(kStateTail);
    }
    const std::string home = set("HOME");
    return home.empty() ? "" : home + std::string(kDefaultState) + std::string(kStateTail);
}

}  // namespace zorvik::history
