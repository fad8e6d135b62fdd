// The support report's part on Linux: the groups, the port folder, each port as the kernel knows
// it and who holds it, and the programs that grab serial ports.
#include "cli/SupportReport.h"

#include <grp.h>
#include <sys/stat.h>
#include <sys/utsname.h>
#include <unistd.h>

#include <array>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>
#include <set>
#include <sstream>
#include <system_error>
#include <vector>

#include "Version.h"
#include "cli/PortNames.h"

namespace zorvik::cli {

namespace {

namespace fs = std::filesystem;

constexpr const char* kOsRelease = "/etc/os-release";
constexpr const char* kSysTty = "/sys/class/tty/";
constexpr const char* kProc = "/proc";
constexpr const char* kSerialGroup = "dialout";  // the group Debian gives serial devices
// Programs that open serial ports on their own and so take them from the configurator.
constexpr std::array<const char*, 2> kPortGrabbers = {"ModemManager", "brltty"};

std::string GroupName(gid_t gid) {
    if (const group* entry = ::getgrgid(gid)) {
        return entry->gr_name;
    }
    return std::to_string(gid);
}

// The kernel's name, release, version and machine.
std::string SystemName() {
    utsname name{};
    if (::uname(&name) != 0) {
        return "unknown";
    }
    return std::string(name.sysname) + " " + name.release + " " + name.version + " " + name.machine;
}

// The groups of this login, by name.
std::vector<std::string> UserGroups() {
    std::set<gid_t> ids{::getgid(), ::getegid()};
    const int count = ::getgroups(0, nullptr);
    if (count > 0) {
        std::vector<gid_t> more(static_cast<std::size_t>(count));
        const int got = ::getgroups(count, more.data());
        for (int i = 0; i < got; ++i) {
            ids.insert(more[static_cast<std::size_t>(i)]);
        }
    }
    std::vector<std::string> names;
    for (const gid_t id : ids) {
        names.push_back(GroupName(id));
    }
    return names;
}

// A file's mode and owner, or "absent".
std::string FileMode(const std::string& path) {
    struct stat info {};
    if (::lstat(path.c_str(), &info) != 0) {
        return "absent";
    }
    char text[96];
    std::snprintf(text, sizeof text, "mode %04o, owner uid %u, group %s",
                  static_cast<unsigned>(info.st_mode & 07777), static_cast<unsigned>(info.st_uid),
                  GroupName(info.st_gid).c_str());
    return text;
}

std::string FirstLine(const std::string& path) {
    std::ifstream file(path);
    std::string line;
    std::getline(file, line);
    return line;
}

std::string OsRelease() {
    std::ifstream file(kOsRelease);
    std::string line;
    while (std::getline(file, line)) {
        if (line.starts_with("PRETTY_NAME=")) {
            std::string value = line.substr(12);
            if (value.size() >= 2 && value.front() == '"' && value.back() == '"') {
                value = value.substr(1, value.size() - 2);
            }
            return value;
        }
    }
    return "unknown";
}

// The nearest folder at or above `folder` that holds `file`, or nothing.
std::optional<fs::path> UpTo(fs::path folder, const std::string& file) {
    std::error_code error;
    for (; !folder.empty() && folder != folder.root_path(); folder = folder.parent_path()) {
        if (fs::exists(folder / file, error)) {
            return folder;
        }
    }
    return std::nullopt;
}

// Processes that have `device` open: "1234 (minicom)".
std::vector<std::string> Holders(const std::string& device) {
    std::vector<std::string> holders;
    std::error_code error;
    for (const auto& process : fs::directory_iterator(kProc, error)) {
        const std::string pid = process.path().filename().string();
        if (pid.find_first_not_of("0123456789") != std::string::npos) {
            continue;
        }
        std::error_code fdError;
        for (const auto& fd : fs::directory_iterator(process.path() / "fd", fdError)) {
            std::error_code linkError;
            if (fs::read_symlink(fd.path(), linkError).string() == device) {
                holders.push_back(pid + " (" + FirstLine(process.path().string() + "/comm") + ")");
                break;
            }
        }
    }
    return holders;
}

std::vector<std::string> RunningGrabbers() {
    std::vector<std::string> running;
    std::error_code error;
    for (const auto& process : fs::directory_iterator(kProc, error)) {
        const std::string comm = FirstLine(process.path().string() + "/comm");
        for (const char* grabber : kPortGrabbers) {
            if (comm == grabber) {
                running.push_back(comm + " (pid " + process.path().filename().string() + ")");
            }
        }
    }
    return running;
}

void DescribePort(std::ostream& out, const std::string& name, const std::string& device,
                  const std::map<std::string, std::string>& byId) {
    out << name << '\n';
    out << "  device: " << device << " (" << FileMode(device) << ")\n";
    const auto found = byId.find(device);
    out << "  by-id: " << (found == byId.end() ? "none" : found->second) << '\n';
    const std::string tty = fs::path(device).filename().string();
    const fs::path sysDevice = fs::path(kSysTty) / tty / "device";
    std::error_code error;
    const fs::path driver = fs::read_symlink(sysDevice / "driver", error);
    out << "  kernel driver: " << (error ? "none" : driver.filename().string()) << '\n';
    const fs::path real = fs::canonical(sysDevice, error);
    if (!error) {
        if (const auto usb = UpTo(real, "idVendor")) {
            out << "  USB: " << FirstLine((*usb / "idVendor").string()) << ':'
                << FirstLine((*usb / "idProduct").string());
            const std::string serial = FirstLine((*usb / "serial").string());
            out << ", serial " << (serial.empty() ? "none" : serial) << '\n';
        }
        if (fs::exists(real / "latency_timer", error)) {
            out << "  latency_timer: " << FirstLine((real / "latency_timer").string()) << " ms\n";
        }
    }
    const std::vector<std::string> holders = Holders(device);
    out << "  held by: ";
    if (holders.empty()) {
        out << "nobody";
    }
    for (std::size_t i = 0; i < holders.size(); ++i) {
        out << (i == 0 ? "" : ", ") << holders[i];
    }
    out << '\n';
}

}  // namespace

std::string_view SupportReportContents() {
    return "the program's version, the system, the user's groups, the port folder, each present "
           "port (its device, by-id name, kernel driver, USB vendor, product and serial, an FTDI "
           "adapter's latency timer and the programs that hold it open), whether ModemManager or "
           "brltty runs";
}

void DescribeThisSystem(std::ostream& out, const PortMap& map) {
    out << "program: zorvik " << kVersion << " (Qt " << ZORVIK_QT_VERSION << ")\n";
    out << "system: " << OsRelease() << '\n';
    out << "kernel: " << SystemName() << '\n';

    const std::vector<std::string> groups = UserGroups();
    bool dialout = false;
    out << "groups:";
    for (const std::string& name : groups) {
        out << ' ' << name;
        dialout = dialout || name == kSerialGroup;
    }
    out << "\nin group " << kSerialGroup << ": " << (dialout ? "yes" : "no") << '\n';
    out << "port folder: " << map.LinkFolder() << " (" << FileMode(map.LinkFolder()) << ")\n";

    const std::vector<std::string> grabbers = RunningGrabbers();
    out << "ModemManager or brltty running: ";
    if (grabbers.empty()) {
        out << "no";
    }
    for (std::size_t i = 0; i < grabbers.size(); ++i) {
        out << (i == 0 ? "" : ", ") << grabbers[i];
    }
    out << "\n\nports:\n";
    const auto byId = ByIdNames();
    const std::vector<std::string> present = map.ListPresent();
    if (present.empty()) {
        out << "none present\n";
    }
    for (const std::string& name : present) {
        const auto path = map.DevicePath(name);
        DescribePort(out, name, path ? RealPath(*path) : "unknown", byId);
    }
}

}  // namespace zorvik::cli
