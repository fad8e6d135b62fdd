// Port names to Linux device paths by fixed ranges, and the presence checks behind the probe and
// the list.
#include "serial/PortMap.h"

#include "serial/NetworkPort.h"

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <fstream>
#include <optional>
#include <utility>

namespace zorvik {

namespace {

constexpr int kFirstUart = 1;                    // COM1 is /dev/ttyS0
constexpr int kLastUart = 8;                     // COM8 is /dev/ttyS7
constexpr int kFirstUsb = 9;                     // COM9 is /dev/ttyUSB0
constexpr int kLastUsb = 24;                     // COM24 is /dev/ttyUSB15
constexpr int kFirstAcm = 25;                    // COM25 is /dev/ttyACM0
constexpr int kLastAcm = 40;                     // COM40 is /dev/ttyACM15
constexpr std::string_view kUartStem = "/ttyS";  // below /dev
constexpr std::string_view kUsbStem = "/ttyUSB";
constexpr std::string_view kAcmStem = "/ttyACM";

// sysfs reports an 8250 slot with no chip behind it as this UART type.
constexpr long kPortUnknown = 0;

constexpr std::string_view kPortFolderTail = "/zorvik-gsm/ports";  // below $XDG_RUNTIME_DIR

std::string Numbered(std::string_view stem, int n) {
    return std::string(stem) + std::to_string(n);
}

bool IsCharDevice(const std::string& path) {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 && S_ISCHR(st.st_mode);
}

// A real UART: sysfs knows the slot and reports a chip type other than "unknown".
bool UartBehind(const std::string& sysRoot, int index) {
    std::ifstream in(sysRoot + "/class/tty/ttyS" + std::to_string(index) + "/type");
    long type = kPortUnknown;
    if (!(in >> type)) {
        return false;
    }
    return type != kPortUnknown;
}

// Whether a folder can only be changed by this user (or root): anyone else able to add or
// swap entries could point a port name at a device of their choosing and receive what the
// program sends, the access password included. A sticky folder (like /tmp) is allowed as the
// parent, since others cannot rename our folder out of it.
int FolderError(const std::string& path, bool allowSticky) {
    struct stat st {};
    if (::lstat(path.c_str(), &st) != 0) {
        return errno;
    }
    if (!S_ISDIR(st.st_mode)) {
        return ENOTDIR;
    }
    if (st.st_uid != ::geteuid() && st.st_uid != 0) {
        return EACCES;
    }
    const bool sticky = (st.st_mode & S_ISVTX) != 0;
    if ((st.st_mode & S_IWOTH) != 0 && !(allowSticky && sticky)) {
        return EACCES;
    }
    // A group-writable folder is fine only when the group is the user's own.
    if ((st.st_mode & S_IWGRP) != 0 && st.st_gid != ::getegid() && !(allowSticky && sticky)) {
        return EACCES;
    }
    return 0;
}

std::string ParentOf(const std::string& path) {
    std::string trimmed = path;
    while (trimmed.size() > 1 && trimmed.back() == '/') {
        trimmed.pop_back();
    }
    const auto slash = trimmed.rfind('/');
    if (slash == std::string::npos) {
        return ".";
    }
    return slash == 0 ? "/" : trimmed.substr(0, slash);
}

}  // namespace

std::string PortMap::Described() {
    // "COM9-COM24 /dev/ttyUSB0-15"
    const auto range = [](int first, int last, std::string_view are, std::string_view stem) {
        return ComPortName(first) + "-" + ComPortName(last) + std::string(are) + "/dev" +
               std::string(stem) + "0-" + std::to_string(last - first);
    };
    return "The numbers are fixed: " + range(kFirstUart, kLastUart, " are ", kUartStem) + ", " +
           range(kFirstUsb, kLastUsb, " ", kUsbStem) + ", " +
           range(kFirstAcm, kLastAcm, " ", kAcmStem) + ", " + ComPortName(kFirstLinkedPort) + "-" +
           ComPortName(kLastLinkedPort) + " links in the user's port folder ($XDG_RUNTIME_DIR" +
           std::string(kPortFolderTail) + ")";
}

PortMap::PortMap() : PortMap(Roots{"/dev", "/sys", UserPortFolder()}) {}

PortMap::PortMap(Roots roots) : roots_(std::move(roots)) {}

std::string PortMap::UserPortFolder() {
    const char* runtime = std::getenv("XDG_RUNTIME_DIR");
    // A relative runtime folder is to be ignored, like an unset one.
    if (runtime != nullptr && runtime[0] == '/') {
        return std::string(runtime) + std::string(kPortFolderTail);
    }
    return std::string(kFallbackPortFolderStem) + std::to_string(::getuid()) + "/ports";
}

std::optional<std::string> PortMap::DevicePath(int number) const {
    if (number >= kFirstUart && number <= kLastUart) {
        return Numbered(roots_.dev + std::string(kUartStem), number - kFirstUart);
    }
    if (number >= kFirstUsb && number <= kLastUsb) {
        return Numbered(roots_.dev + std::string(kUsbStem), number - kFirstUsb);
    }
    if (number >= kFirstAcm && number <= kLastAcm) {
        return Numbered(roots_.dev + std::string(kAcmStem), number - kFirstAcm);
    }
    if (Linked(number) && !roots_.links.empty()) {
        return roots_.links + "/" + ComPortName(number);
    }
    return std::nullopt;
}

bool PortMap::SameDevice(const std::string& a, const std::string& b) const {
    const auto id = [this](const std::string& port) -> std::optional<std::pair<dev_t, ino_t>> {
        struct stat st {};
        if (!NetworkTarget(port).empty() ||
            ::stat(DevicePath(port).value_or(port).c_str(), &st) != 0) {
            return std::nullopt;
        }
        return std::pair{st.st_dev, st.st_ino};
    };
    const auto first = id(a);
    return first && first == id(b);
}

int PortMap::LinkFolderError() const {
    if (roots_.links.empty()) {
        return ENOENT;
    }
    if (const int error = FolderError(roots_.links, false); error != 0) {
        return error;
    }
    return FolderError(ParentOf(roots_.links), true);
}

std::optional<std::string> PortMap::LinkTarget(int number) const {
    const auto path = DevicePath(number);
    if (!path || !Linked(number)) {
        return std::nullopt;
    }
    return ReadLink(*path);
}

std::optional<std::string> ReadLink(const std::string& path) {
    char buffer[4096];
    const ssize_t length = ::readlink(path.c_str(), buffer, sizeof buffer);
    if (length < 0 || static_cast<std::size_t>(length) >= sizeof buffer) {
        return std::nullopt;
    }
    return std::string(buffer, static_cast<std::size_t>(length));
}

std::vector<ListedPort> SystemListedPorts() {
    return {};
}

bool PortMap::Present(int number) const {
    const auto path = DevicePath(number);
    if (!path) {
        return false;
    }
    if (Linked(number) && LinkFolderError() != 0) {
        return false;
    }
    if (Linked(number)) {
        // A network address is there while its link is; whether it answers shows on opening.
        if (const auto target = LinkTarget(number); target && ParseNetworkAddress(*target)) {
            return true;
        }
    }
    if (!IsCharDevice(*path)) {
        return false;
    }
    if (number <= kLastUart) {
        return UartBehind(roots_.sys, number - kFirstUart);
    }
    return true;
}

std::vector<std::string> PortMap::ListPresent() const {
    std::vector<std::string> names;
    for (int n = kFirstComPort; n <= kLastComPort; ++n) {
        if (Present(n)) {
            names.push_back(ComPortName(n));
        }
    }
    SortPortNames(names);
    return names;
}

}  // namespace zorvik
