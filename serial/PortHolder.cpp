// Finding the program that holds a port, through /proc/<pid>/fd.
#include "serial/PortHolder.h"

#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cctype>
#include <fstream>
#include <sstream>
#include <tuple>

namespace zorvik {

namespace {

bool IsNumber(const char* name) {
    if (*name == '\0') {
        return false;
    }
    for (; *name != '\0'; ++name) {
        if (std::isdigit(static_cast<unsigned char>(*name)) == 0) {
            return false;
        }
    }
    return true;
}

std::string FirstLine(const std::string& path) {
    std::ifstream in(path);
    std::string line;
    std::getline(in, line);
    return line;
}

// The process's start time in clock ticks after boot (field 22 of its stat line).
unsigned long long StartTime(const std::string& processDir) {
    const std::string stat = FirstLine(processDir + "/stat");
    // The name in parentheses may hold spaces; the fields follow its last ')'.
    const auto close = stat.rfind(')');
    if (close == std::string::npos) {
        return 0;
    }
    std::istringstream fields(stat.substr(close + 1));
    std::string field;
    for (int index = 3; index <= 22 && fields >> field; ++index) {
        if (index == 22) {
            return std::stoull(field);
        }
    }
    return 0;
}

bool HasLock(const std::string& fdinfo) {
    std::ifstream in(fdinfo);
    std::string line;
    while (std::getline(in, line)) {
        if (line.starts_with("lock:")) {
            return true;
        }
    }
    return false;
}

class Directory {
public:
    explicit Directory(const std::string& path) : dir_(::opendir(path.c_str())) {}
    ~Directory() {
        if (dir_ != nullptr) {
            ::closedir(dir_);
        }
    }
    Directory(const Directory&) = delete;
    Directory& operator=(const Directory&) = delete;
    [[nodiscard]] const char* Next() {
        if (dir_ == nullptr) {
            return nullptr;
        }
        const dirent* entry = ::readdir(dir_);
        return entry == nullptr ? nullptr : entry->d_name;
    }

private:
    DIR* dir_;
};

}  // namespace

std::optional<PortHolder> FindPortHolder(const std::string& device, const std::string& procRoot) {
    struct stat target {};
    if (::stat(device.c_str(), &target) != 0 || !S_ISCHR(target.st_mode)) {
        return std::nullopt;
    }
    const int self = static_cast<int>(::getpid());
    std::optional<PortHolder> best;
    std::tuple<bool, unsigned long long> bestRank{false, 0};
    Directory processes(procRoot);
    while (const char* name = processes.Next()) {
        if (!IsNumber(name) || std::stoi(name) == self) {
            continue;
        }
        const std::string processDir = procRoot + "/" + name;
        Directory fds(processDir + "/fd");  // unreadable for other users' processes: skipped
        bool holds = false;
        bool locked = false;
        while (const char* fd = fds.Next()) {
            if (!IsNumber(fd)) {
                continue;
            }
            struct stat open {};
            if (::stat((processDir + "/fd/" + fd).c_str(), &open) != 0 || !S_ISCHR(open.st_mode) ||
                open.st_rdev != target.st_rdev) {
                continue;
            }
            holds = true;
            locked = locked || HasLock(processDir + "/fdinfo/" + fd);
        }
        if (!holds) {
            continue;
        }
        const std::tuple<bool, unsigned long long> rank{locked, StartTime(processDir)};
        if (!best || rank > bestRank) {
            best = PortHolder{FirstLine(processDir + "/comm"), std::stoi(name)};
            bestRank = rank;
        }
    }
    return best;
}

}  // namespace zorvik
