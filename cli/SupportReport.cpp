// The support report.
#include "cli/SupportReport.h"

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>
#include <set>
#include <sstream>
#include <system_error>
#include <vector>

#include "Version.h"
#include "cli/System.h"
#include "files/FileIo.h"

namespace zorvik::cli {

namespace {

namespace fs = std::filesystem;

constexpr const char* kOsRelease = "/etc/os-release";
constexpr const char* kByIdFolder = "/dev/serial/by-id";
constexpr const char* kSysTty = "/sys/class/tty/";
constexpr const char* kProc = "/proc";
constexpr const char* kSerialGroup = "dialout";  // the group Debian gives serial devices
// Programs that open serial ports on their own and so take them from the configurator.
constexpr std::array<const char*, 2> kPortGrabbers = {"ModemManager", "brltty"};
constexpr std::uint64_t kLongestTrace = 16 * 1024 * 1024;  // bytes of a trace taken in

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

std::string RealPath(const std::string& path) {
    std::error_code error;
    const fs::path real = fs::canonical(path, error);
    return error ? path : real.string();
}

std::map<std::string, std::string> ByIdNames() {
    std::map<std::string, std::string> names;
    std::error_code error;
    for (const auto& entry : fs::directory_iterator(kByIdFolder, error)) {
        names.emplace(RealPath(entry.path().string()), entry.path().string());
    }
    return names;
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

std::string ReadTraceFile(const std::string& path) {
    InputFile file(path);
    const std::uint64_t size = std::min(file.Size(), kLongestTrace);
    std::string text(static_cast<std::size_t>(size), '\0');
    file.ReadExactly(std::span(reinterpret_cast<std::uint8_t*>(text.data()), text.size()));
    return text;
}

}  // namespace

std::string SupportReport(const PortMap& map, const std::optional<std::string>& tracePath) {
    // Read first: a trace that cannot be read ends the command before anything is written.
    const std::string trace = tracePath ? ReadTraceFile(*tracePath) : std::string();

    std::ostringstream out;
    out << "zorvik-cli support report\n\n";
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
    if (tracePath) {
        out << "\ntrace " << *tracePath << ":\n" << trace;
        if (!trace.empty() && trace.back() != '\n') {
            out << '\n';
        }
    }
    return out.str();
}

}  // namespace zorvik::cli
