// The user's port folder: links named "COMnn" to the terminals that stand in for serial ports.
#include "sim/PortFolder.h"

#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <optional>

#include "serial/NetworkPort.h"
#include "serial/PortMap.h"

namespace zorvik {

namespace {

constexpr mode_t kPrivateDir = 0700;  // the folder is the user's alone

std::string ErrnoText(int error) {
    return std::strerror(error);
}

std::string LinkPath(const std::string& dir, const std::string& name) {
    return dir + "/" + name;
}

// True when `path` is a link whose target is gone (a simulator that did not clean up). A link
// holding a network address leads to no file and is not gone.
bool IsDanglingLink(const std::string& path) {
    struct stat info {};
    if (lstat(path.c_str(), &info) != 0 || !S_ISLNK(info.st_mode)) {
        return false;
    }
    if (const auto target = ReadLink(path); target && ParseNetworkAddress(*target)) {
        return false;
    }
    return stat(path.c_str(), &info) != 0 && errno == ENOENT;
}

// Makes `dir` if missing; an existing one must be a real directory.
void MakeDirectory(const std::string& dir) {
    if (mkdir(dir.c_str(), kPrivateDir) == 0) {
        return;
    }
    if (errno != EEXIST) {
        throw EPortFolder("cannot create " + dir + ": " + ErrnoText(errno));
    }
    struct stat info {};
    if (stat(dir.c_str(), &info) != 0 || !S_ISDIR(info.st_mode)) {
        throw EPortFolder(dir + " is not a directory");
    }
}

}  // namespace

std::string DefaultPortsDir() {
    return PortMap::UserPortFolder();
}

void EnsurePortsDir(const std::string& dir) {
    if (dir.empty()) {
        throw EPortFolder("no port folder given");
    }
    std::size_t from = dir[0] == '/' ? 1 : 0;
    for (;;) {
        const std::size_t slash = dir.find('/', from);
        const std::string part = dir.substr(0, slash);
        MakeDirectory(part);
        // Under /tmp anyone may have made our folder first: it must be ours and not a link.
        if (part.starts_with(kFallbackPortFolderStem)) {
            struct stat info {};
            if (lstat(part.c_str(), &info) != 0 || !S_ISDIR(info.st_mode) ||
                info.st_uid != getuid()) {
                throw EPortFolder(part + " is not a directory of this user");
            }
        }
        if (slash == std::string::npos) {
            return;
        }
        from = slash + 1;
    }
}

std::string RegisterPort(const std::string& dir, const std::string& wanted,
                         const std::string& target) {
    const auto tryName = [&](const std::string& name) {
        const std::string path = LinkPath(dir, name);
        if (symlink(target.c_str(), path.c_str()) == 0) {
            return true;
        }
        if (errno != EEXIST) {
            throw EPortFolder("cannot create " + path + ": " + ErrnoText(errno));
        }
        if (IsDanglingLink(path) && unlink(path.c_str()) == 0) {
            return symlink(target.c_str(), path.c_str()) == 0;
        }
        return false;
    };
    if (!wanted.empty()) {
        if (!tryName(wanted)) {
            throw EPortFolder(wanted + " is taken in " + dir);
        }
        return wanted;
    }
    // Names below are left to real serial ports; the configurator looks no further than the last.
    for (int number = kFirstLinkedPort; number <= kLastLinkedPort; ++number) {
        const std::string name = "COM" + std::to_string(number);
        if (tryName(name)) {
            return name;
        }
    }
    throw EPortFolder("no free port name in " + dir);
}

std::vector<std::string> RemoveLinksTo(const std::string& dir, const std::string& target) {
    std::vector<std::string> removed;
    DIR* folder = opendir(dir.c_str());
    if (folder == nullptr) {
        return removed;
    }
    while (const dirent* entry = readdir(folder)) {
        const std::string name = entry->d_name;
        if (ReadLink(LinkPath(dir, name)) == target && unlink(LinkPath(dir, name).c_str()) == 0) {
            removed.push_back(name);
        }
    }
    closedir(folder);
    std::sort(removed.begin(), removed.end());
    return removed;
}

void UnregisterPort(const std::string& dir, const std::string& name, const std::string& target) {
    const std::string path = LinkPath(dir, name);
    if (ReadLink(path) == target) {
        (void)unlink(path.c_str());
    }
}

}  // namespace zorvik
