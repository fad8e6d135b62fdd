// The doctor's checks, each reading the system under a root folder.
#include "cli/Doctor.h"

#include <grp.h>
#include <pwd.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <set>
#include <system_error>

#include "cli/CommandSupport.h"
#include "serial/NetworkPort.h"
#include "serial/PortHolder.h"
#include "serial/PortMap.h"

namespace zorvik::cli {

namespace {

namespace fs = std::filesystem;

// udev reads rules from these folders; a file in an earlier one hides one of the same name in a
// later one. Any of them may be missing.
constexpr std::array<const char*, 4> kRuleFolders = {"/etc/udev/rules.d", "/run/udev/rules.d",
                                                     "/usr/lib/udev/rules.d", "/lib/udev/rules.d"};
constexpr const char* kOwnRuleFolder = "/etc/udev/rules.d";
constexpr const char* kOwnRulePrefix = "70-zorvik-gsm-";  // before 73-seat-late, which does uaccess
constexpr const char* kModemManager = "ModemManager";
constexpr const char* kModemManagerIgnore = "ID_MM_DEVICE_IGNORE";
constexpr const char* kBrltty = "brltty";
constexpr int kWantedLatencyMs = 1;  // an FTDI adapter holds bytes back up to this long
constexpr const char* kDoctorCommand = "zorvik-cli doctor -p ";
constexpr const char* kByIdFolder = "/dev/serial/by-id";  // udev's stable names of adapters
// The simulated device's own program, which keeps the pty it serves open: no holder to stop.
constexpr const char* kSimulator = "zorvik-sim";

std::string FirstLine(const std::string& path) {
    std::ifstream file(path);
    std::string line;
    std::getline(file, line);
    return line;
}

std::string Joined(const std::vector<std::string>& names) {
    std::string text;
    for (const std::string& name : names) {
        text += (text.empty() ? "" : ", ") + name;
    }
    return text;
}

std::string ModeText(mode_t mode) {
    char text[8];
    std::snprintf(text, sizeof text, "%04o", static_cast<unsigned>(mode & 07777));
    return text;
}

// Whether a folder's mode lets someone besides its owner add or swap its entries; a sticky
// folder (such as /tmp) does not, as its entries are renamed or removed only by their owners.
bool OthersMayChange(const struct stat& info, bool stickyAllowed) {
    const bool sticky = (info.st_mode & S_ISVTX) != 0;
    return (info.st_mode & (S_IWGRP | S_IWOTH)) != 0 && !(stickyAllowed && sticky);
}

// Why the port folder's links are not followed, and the command that mends that one cause.
struct FolderFinding {
    std::string why;
    std::string fix;
};

FolderFinding PortFolderFinding(const std::string& folder, const Accounts& accounts) {
    struct stat info {};
    if (::lstat(folder.c_str(), &info) != 0) {
        return {"is missing", "mkdir -p -m 700 " + folder};
    }
    if (!S_ISDIR(info.st_mode)) {
        return {"is not a folder", "rm " + folder + " && mkdir -m 700 " + folder};
    }
    if (info.st_uid != accounts.Uid() && info.st_uid != 0) {
        return {"belongs to another user (uid " + std::to_string(info.st_uid) + ")",
                "sudo chown " + accounts.User() + " " + folder + " && chmod 700 " + folder};
    }
    if (OthersMayChange(info, false)) {
        return {"has mode " + ModeText(info.st_mode) + ", so others could change it",
                "chmod 700 " + folder};
    }
    const std::string parent = fs::path(folder).parent_path().string();
    struct stat above {};
    if (::lstat(parent.c_str(), &above) == 0 && OthersMayChange(above, true)) {
        return {"lies in " + parent + ", which has mode " + ModeText(above.st_mode) +
                    ", so others could swap it",
                "chmod go-w " + parent};
    }
    return {"cannot be followed", "chmod 700 " + folder};
}

// Text that can stand in a udev rule and a file name as it is: a serial from a device is not
// trusted to hold nothing else.
bool SafeInRule(const std::string& text) {
    return !text.empty() && text.size() <= 64 &&
           std::all_of(text.begin(), text.end(), [](unsigned char c) {
               return std::isalnum(c) != 0 || c == '-' || c == '_' || c == '.';
           });
}

bool FourHex(const std::string& text) {
    return text.size() == 4 && std::all_of(text.begin(), text.end(),
                                           [](unsigned char c) { return std::isxdigit(c) != 0; });
}

// The USB adapter behind a tty, from /sys/class/tty/<tty>/device up to the USB device's folder.
std::optional<UsbAdapter> AdapterOf(const std::string& root, const std::string& tty) {
    std::error_code error;
    const fs::path sys = root + "/sys";
    const fs::path device = fs::canonical(sys / "class/tty" / tty / "device", error);
    if (error) {
        return std::nullopt;
    }
    for (fs::path folder = device; folder.string().starts_with(sys.string()) && folder != sys;
         folder = folder.parent_path()) {
        if (!fs::exists(folder / "idVendor", error)) {
            continue;
        }
        UsbAdapter adapter;
        adapter.vendor = Lowered(FirstLine(folder / "idVendor"));
        adapter.product = Lowered(FirstLine(folder / "idProduct"));
        if (!FourHex(adapter.vendor) || !FourHex(adapter.product)) {
            return std::nullopt;
        }
        const std::string serial = FirstLine(folder / "serial");
        adapter.serial = SafeInRule(serial) ? serial : "";
        adapter.driver =
            fs::read_symlink(sys / "class/tty" / tty / "device/driver", error).filename().string();
        adapter.tty = tty;
        return adapter;
    }
    return std::nullopt;
}

std::string AdapterText(const UsbAdapter& adapter) {
    return "USB adapter " + adapter.vendor + ":" + adapter.product +
           (adapter.driver.empty() ? "" : " (" + adapter.driver + ")") +
           (adapter.serial.empty() ? "" : ", serial " + adapter.serial);
}

// The rule files udev reads, by name, each from the first folder that has it; a file that is
// empty or leads to /dev/null is one switched off.
std::vector<fs::path> RuleFiles(const std::string& root) {
    std::map<std::string, fs::path> files;
    for (const char* folder : kRuleFolders) {
        std::error_code error;
        for (const auto& entry : fs::directory_iterator(root + folder, error)) {
            if (entry.path().extension() == ".rules") {
                files.emplace(entry.path().filename().string(), entry.path());
            }
        }
    }
    std::vector<fs::path> live;
    for (const auto& [name, path] : files) {
        std::error_code error;
        const fs::path target = fs::read_symlink(path, error);
        if ((!error && target == "/dev/null") || fs::file_size(path, error) == 0 || error) {
            continue;
        }
        live.push_back(path);
    }
    return live;
}

// Whether a rule line matches this adapter's USB id, written either way udev lets one.
bool NamesAdapter(const std::string& line, const UsbAdapter& adapter) {
    const std::string lower = Lowered(line);
    const auto noZeros = [](const std::string& hex) {
        const auto first = hex.find_first_not_of('0');
        return first == std::string::npos ? std::string("0") : hex.substr(first);
    };
    const bool byAttributes =
        lower.find("idvendor}==\"" + adapter.vendor + "\"") != std::string::npos &&
        lower.find("idproduct}==\"" + adapter.product + "\"") != std::string::npos;
    const bool byProduct = lower.find("product}==\"" + noZeros(adapter.vendor) + "/" +
                                      noZeros(adapter.product) + "/") != std::string::npos;
    return byAttributes || byProduct;
}

// The rule files with a line for this adapter that `wanted` accepts.
std::vector<fs::path> RulesFor(
    const std::string& root, const UsbAdapter& adapter,
    const std::function<bool(const fs::path&, const std::string&)>& wanted) {
    std::vector<fs::path> found;
    for (const fs::path& path : RuleFiles(root)) {
        std::ifstream file(path);
        for (std::string line; std::getline(file, line);) {
            if (!line.starts_with('#') && NamesAdapter(line, adapter) && wanted(path, line)) {
                found.push_back(path);
                break;
            }
        }
    }
    return found;
}

bool Running(const std::string& root, const std::string& program) {
    std::error_code error;
    for (const auto& process : fs::directory_iterator(root + "/proc", error)) {
        const std::string pid = process.path().filename().string();
        if (pid.find_first_not_of("0123456789") == std::string::npos &&
            FirstLine(process.path() / "comm") == program) {
            return true;
        }
    }
    return false;
}

// What udev's database says of a character device now: its properties, "KEY=value".
std::set<std::string> UdevProperties(const std::string& root, const struct stat& info) {
    std::set<std::string> properties;
    if (!S_ISCHR(info.st_mode)) {
        return properties;
    }
    std::ifstream file(root + "/run/udev/data/c" + std::to_string(major(info.st_rdev)) + ":" +
                       std::to_string(minor(info.st_rdev)));
    for (std::string line; std::getline(file, line);) {
        if (line.starts_with("E:")) {
            properties.insert(line.substr(2));
        }
    }
    return properties;
}

class Doctor {
public:
    Doctor(const DoctorSetup& setup, DoctorReport& report) : setup_(setup), report_(report) {}

    void Run(const std::optional<std::string>& port) {
        const PortMap map(
            PortMap::Roots{setup_.root + "/dev", setup_.root + "/sys", setup_.linkFolder});
        const std::vector<std::string> present = map.ListPresent();
        if (present.empty()) {
            Problem("ports", "no serial port is present", "plug the adapter in");
        } else {
            Ok("ports", "present: " + Joined(present));
        }
        if (!port && present.size() != 1) {
            if (!present.empty()) {
                std::string each;
                for (const std::string& name : present) {
                    each += (each.empty() ? "" : ", or ") + (kDoctorCommand + name);
                }
                Problem("port",
                        "several ports are present (" + Joined(present) + "); say which to check",
                        each);
            }
            report_.status = present.empty() ? Exit::PortUnusable : Exit::Usage;
            return;
        }
        report_.port = port.value_or(present.empty() ? "" : present.front());
        if (!Where(map, present)) {
            report_.status = Exit::PortUnusable;
            return;
        }
        if (!report_.device.empty()) {
            Local();
        }
        Open();
    }

private:
    void Ok(const std::string& name, const std::string& detail) {
        report_.checks.push_back({name, Finding::Ok, detail, ""});
    }
    void Warning(const std::string& name, const std::string& detail, const std::string& fix) {
        report_.checks.push_back({name, Finding::Warning, detail, fix});
    }
    void Problem(const std::string& name, const std::string& detail, const std::string& fix) {
        report_.checks.push_back({name, Finding::Problem, detail, fix});
    }
    // --fix writes its rule only as root, and only then mends what it found.
    std::string DoctorFix() const { return "sudo " + (kDoctorCommand + report_.port) + " --fix"; }

    // The adapters udev names for good, as a link in the port folder should lead to them.
    std::vector<std::string> ByIdNames() const {
        std::vector<std::string> names;
        std::error_code error;
        for (const auto& entry : fs::directory_iterator(setup_.root + kByIdFolder, error)) {
            names.push_back(std::string(kByIdFolder) + "/" + entry.path().filename().string());
        }
        std::sort(names.begin(), names.end());
        return names;
    }

    // The command that makes the link `path` lead to an adapter plugged in now.
    std::string LinkFix(const std::string& path) const {
        const std::vector<std::string> adapters = ByIdNames();
        if (adapters.empty()) {
            return "plug the adapter in, then: ln -sfn " + std::string(kByIdFolder) + "/ADAPTER " +
                   path;
        }
        std::string each;
        for (const std::string& adapter : adapters) {
            each += (each.empty() ? "" : ", or ") + ("ln -sfn " + adapter + " " + path);
        }
        return each;
    }

    // The port exists, and where it leads. False when there is nothing to check further.
    bool Where(const PortMap& map, const std::vector<std::string>& present) {
        const std::string& port = report_.port;
        const std::string others =
            present.empty() ? "no port is present" : "present: " + Joined(present);
        std::string address;
        std::string path;
        std::string link;  // the port folder's link the port is, if it is one
        if (const auto number = PortMap::ComNumber(port)) {
            if (PortMap::Linked(*number)) {
                if (map.LinkFolderError() != 0) {
                    const FolderFinding folder =
                        PortFolderFinding(setup_.linkFolder, *setup_.accounts);
                    Problem("port",
                            port + " leads through the port folder " + setup_.linkFolder +
                                ", which " + folder.why + "; its links are not followed",
                            folder.fix);
                    return false;
                }
                link = setup_.linkFolder + "/" + port;
                const auto target = map.LinkTarget(*number);
                if (!target) {
                    Problem("port", "no link " + port + " in " + setup_.linkFolder + "; " + others,
                            LinkFix(link));
                    return false;
                }
                address = map.NetworkTarget(port);
                if (address.empty()) {
                    path = link;
                    std::error_code error;
                    if (!fs::exists(path, error)) {
                        Problem("port", port + " links to " + *target + ", which is not there",
                                "plug the adapter in");
                        return false;
                    }
                }
            } else {
                path = *map.DevicePath(port);
            }
        } else if (ParseNetworkAddress(port)) {
            address = port;
        } else if (port.starts_with('/')) {
            path = setup_.root + port;
        } else {
            Problem("port", port + " is not a port name", "zorvik-cli ports");
            return false;
        }
        if (!address.empty()) {
            const Reaching reached = setup_.reach ? setup_.reach(address) : Reaching{};
            if (!reached.answered) {
                Unreached(port, address, link, reached);
                return false;
            }
            Ok("port", port + " leads to " + address + ", which answers");
            return true;
        }
        std::error_code error;
        const fs::path real = fs::canonical(path, error);
        if (error) {
            Problem("port", port + " (" + path + ") is not there; " + others,
                    "plug the adapter in, or give one of the ports present");
            return false;
        }
        struct stat info {};
        if (::stat(real.c_str(), &info) == 0 && !S_ISCHR(info.st_mode)) {
            const std::string what = S_ISDIR(info.st_mode)   ? "a folder"
                                     : S_ISREG(info.st_mode) ? "a regular file"
                                                             : "no device";
            const std::string shownReal = real.string().substr(
                real.string().starts_with(setup_.root) ? setup_.root.size() : 0);
            Problem("port",
                    (port == shownReal ? port : port + " leads to " + shownReal) + ", " + what +
                        ", not a serial port",
                    link.empty() ? (others == "no port is present" ? "plug the adapter in"
                                                                   : "zorvik-cli ports")
                                 : LinkFix(link));
            return false;
        }
        // A fixture's nodes lead out of its root, to a character device of this machine.
        report_.device = real.string().starts_with(setup_.root) ? real.string() : path;
        if (report_.device.starts_with(setup_.root + "/dev/")) {
            report_.adapter = AdapterOf(setup_.root, fs::path(report_.device).filename().string());
        }
        const std::string shown = report_.device.substr(setup_.root.size());
        Ok("port", port + (port == shown ? "" : " is " + shown) +
                       (report_.adapter ? ", " + AdapterText(*report_.adapter) : ""));
        return true;
    }

    // A network address that did not answer, with the one cause its error names.
    void Unreached(const std::string& port, const std::string& address, const std::string& link,
                   const Reaching& reached) {
        const auto parsed = ParseNetworkAddress(address);
        const std::string host = parsed ? parsed->host : address;
        const std::string where = link.empty() ? "the address" : "the link " + link;
        std::string fix;
        switch (reached.fault) {
            case PortFault::UnknownHost:
                fix = "mend the host name " + host + " in " + where;
                break;
            case PortFault::ConnectionRefused:
                fix =
                    "start the serial server on " + host + ", or mend the port number in " + where;
                break;
            case PortFault::ConnectionTimedOut:
                fix = "check that " + host + " is on and reachable: ping " + host;
                break;
            default:
                fix = "check the serial server on " + host;
                break;
        }
        // The error names the address already.
        Problem("port", port == address ? reached.why : port + " leads to " + reached.why, fix);
    }

    // The checks of a device on this machine.
    void Local() {
        struct stat info {};
        if (::stat(report_.device.c_str(), &info) != 0) {
            return;
        }
        Access(info);
        Holder();
        if (report_.adapter) {
            Modems(info);
            Braille();
            if (report_.adapter->Ftdi()) {
                Latency();
            }
        }
    }

    void Access(const struct stat& info) {
        const Accounts& accounts = *setup_.accounts;
        const std::string shown = report_.device.substr(setup_.root.size());
        const std::string group = accounts.GroupName(info.st_gid);
        const std::string what = shown + " is group " + group + ", mode " + ModeText(info.st_mode);
        if (accounts.Uid() == 0 || accounts.MayOpen(report_.device)) {
            Ok("access", what + "; " + accounts.User() + " may open it");
            return;
        }
        // newgrp starts a shell that has the group; other sessions get it at their next login.
        const std::string relogin = "newgrp " + group;
        if ((info.st_mode & 060) == 060 && accounts.InLogin(info.st_gid)) {
            Problem(
                "access",
                what + "; " + accounts.User() + " is in " + group + " but was refused all the same",
                DoctorFix());
        } else if ((info.st_mode & 060) == 060 && accounts.InDatabase(info.st_gid)) {
            Problem("access",
                    what + "; " + accounts.User() + " was added to " + group +
                        " after this login began, which does not have it yet (log out and in "
                        "again for every session)",
                    relogin);
        } else if ((info.st_mode & 060) == 060) {
            Problem("access",
                    what + "; " + accounts.User() + " is not in " + group +
                        " (once added, log out and in again for every session)",
                    "sudo usermod -aG " + group + " " + accounts.User() + " && " + relogin);
        } else {
            Problem("access", what + "; only its owner may open it",
                    report_.adapter ? DoctorFix() : "sudo chmod g+rw " + shown);
        }
    }

    void Holder() {
        const auto holder = FindPortHolder(report_.device, setup_.root + "/proc");
        if (!holder) {
            Ok("holder", "no other program has it open");
            return;
        }
        const std::string who = holder->program + " (PID " + std::to_string(holder->pid) + ")";
        if (holder->program == kSimulator) {
            Ok("holder", "served by " + who + ", the simulated device");
            return;
        }
        switch (KnownHolderOf(*holder)) {
            case KnownHolder::ModemManager:
                Problem("holder", "held by " + who + ", probing it as a modem", DoctorFix());
                return;
            case KnownHolder::Brltty:
                Problem("holder", "held by " + who + ", which took it for a braille display",
                        "sudo kill " + std::to_string(holder->pid));
                return;
            case KnownHolder::Other:
                break;
        }
        Problem("holder", "held by " + who, "kill " + std::to_string(holder->pid));
    }

    void Modems(const struct stat& info) {
        if (!Running(setup_.root, kModemManager)) {
            Ok("modemmanager", "ModemManager is not running");
            return;
        }
        const UsbAdapter& adapter = *report_.adapter;
        const bool ignoredNow =
            UdevProperties(setup_.root, info).contains(std::string(kModemManagerIgnore) + "=1");
        const bool ruled =
            !RulesFor(setup_.root, adapter, [](const fs::path&, const std::string& line) {
                 return line.find(kModemManagerIgnore) != std::string::npos;
             }).empty();
        if (ignoredNow || ruled) {
            Ok("modemmanager", "ModemManager runs, and is told to leave this adapter alone");
            return;
        }
        Warning("modemmanager",
                "ModemManager runs and may take this adapter for a modem, holding it for seconds "
                "after it is plugged in",
                DoctorFix());
    }

    void Braille() {
        const auto rules = RulesFor(
            setup_.root, *report_.adapter, [](const fs::path& path, const std::string& line) {
                return Lowered(path.filename().string()).find(kBrltty) != std::string::npos ||
                       Lowered(line).find(kBrltty) != std::string::npos;
            });
        if (rules.empty()) {
            Ok("brltty", "no brltty rule claims this adapter");
            return;
        }
        std::vector<std::string> names;
        for (const fs::path& path : rules) {
            names.push_back(path.string().substr(setup_.root.size()));
        }
        // brltty serves blind users: its rule is switched off only where no braille display
        // needs it, and the package stays.
        Warning("brltty",
                "brltty's rule " + Joined(names) + " claims adapters of this kind (" +
                    report_.adapter->vendor + ":" + report_.adapter->product +
                    ") for braille displays",
                "where no braille display uses this kind of adapter: sudo ln -s /dev/null " +
                    std::string(kOwnRuleFolder) + "/" + rules.front().filename().string() +
                    " && sudo udevadm control --reload");
    }

    void Latency() {
        const std::string path =
            "/sys/bus/usb-serial/devices/" + report_.adapter->tty + "/latency_timer";
        const std::string text = FirstLine(setup_.root + path);
        if (text.empty()) {
            return;
        }
        const int ms = std::atoi(text.c_str());
        if (ms <= kWantedLatencyMs) {
            Ok("latency", "the FTDI latency timer is " + text + " ms");
            return;
        }
        Warning("latency",
                "the FTDI latency timer is " + text +
                    " ms: the end of the device's 257-byte answer can come that much late, past "
                    "the 52 ms it is given (echo 1 | sudo tee " +
                    path + " sets it until unplugged)",
                DoctorFix());
    }

    // The last check, whose outcome is the verdict: an answering port leaves no earlier line a
    // problem (what it found did not stop the port, so it is a warning), and a port that fails
    // names the earlier problem as its one cause, with that problem's fix.
    void Open() {
        const Opening opening = setup_.open(report_.port);
        // Copied: the open line is added beside it.
        const auto found = std::find_if(report_.checks.begin(), report_.checks.end(),
                                        [](const DoctorCheck& c) { return !c.Ok(); });
        const std::optional<DoctorCheck> cause =
            found == report_.checks.end() ? std::nullopt : std::optional(*found);
        const std::string because = cause ? " (the cause: the " + cause->name + " line)" : "";
        switch (opening.result) {
            case Opening::Result::Answered:
                for (DoctorCheck& check : report_.checks) {
                    if (!check.Ok()) {
                        check.finding = Finding::Warning;
                    }
                }
                Ok("open", "the port opens and the device's Ready banner arrives");
                report_.status = Exit::Ok;
                return;
            case Opening::Result::Silent:
                Problem(
                    "open", "the port opens, but no Ready banner came" + because,
                    cause ? cause->fix : "check that the device is powered and its cable is in");
                report_.status = Exit::NoDevice;
                return;
            case Opening::Result::Refused:
                break;
        }
        Problem("open", "the port does not open: " + opening.why + because,
                cause ? cause->fix
                      : "zorvik-cli support-report -o report.txt, and attach report.txt to a "
                        "problem report");
        report_.status = Exit::PortUnusable;
    }

    const DoctorSetup& setup_;
    DoctorReport& report_;
};

class ProcessAccounts : public Accounts {
public:
    std::string User() const override {
        if (const passwd* entry = ::getpwuid(::geteuid())) {
            return entry->pw_name;
        }
        const char* user = std::getenv("USER");
        return user != nullptr ? user : std::to_string(::geteuid());
    }
    uid_t Uid() const override { return ::geteuid(); }
    bool InLogin(gid_t group) const override {
        if (::getegid() == group) {
            return true;
        }
        std::vector<gid_t> groups(static_cast<std::size_t>(std::max(::getgroups(0, nullptr), 0)));
        const int count = ::getgroups(static_cast<int>(groups.size()), groups.data());
        return std::find(groups.begin(), groups.begin() + std::max(count, 0), group) !=
               groups.begin() + std::max(count, 0);
    }
    bool InDatabase(gid_t group) const override {
        const passwd* entry = ::getpwuid(::geteuid());
        if (entry == nullptr) {
            return false;
        }
        const std::string name = entry->pw_name;
        const gid_t primary = entry->pw_gid;
        int count = 64;
        std::vector<gid_t> groups(static_cast<std::size_t>(count));
        if (::getgrouplist(name.c_str(), primary, groups.data(), &count) < 0) {
            groups.resize(static_cast<std::size_t>(count));
            if (::getgrouplist(name.c_str(), primary, groups.data(), &count) < 0) {
                return false;
            }
        }
        groups.resize(static_cast<std::size_t>(count));
        return std::find(groups.begin(), groups.end(), group) != groups.end();
    }
    std::string GroupName(gid_t group) const override {
        if (const struct group* entry = ::getgrgid(group)) {
            return entry->gr_name;
        }
        return std::to_string(group);
    }
    bool MayOpen(const std::string& path) const override {
        return ::access(path.c_str(), R_OK | W_OK) == 0;
    }
};

}  // namespace

const Accounts& SystemAccounts() {
    static const ProcessAccounts accounts;
    return accounts;
}

DoctorReport RunDoctor(const DoctorSetup& setup, const std::optional<std::string>& port) {
    DoctorReport report;
    Doctor(setup, report).Run(port);
    return report;
}

std::string AdapterRulePath(const std::string& root, const UsbAdapter& adapter) {
    return root + kOwnRuleFolder + "/" + kOwnRulePrefix + adapter.vendor + "-" + adapter.product +
           (adapter.serial.empty() ? "" : "-" + adapter.serial) + ".rules";
}

std::string AdapterRule(const UsbAdapter& adapter) {
    const std::string match =
        "ATTRS{idVendor}==\"" + adapter.vendor + "\", ATTRS{idProduct}==\"" + adapter.product +
        "\"" + (adapter.serial.empty() ? "" : ", ATTRS{serial}==\"" + adapter.serial + "\"");
    std::string rule = "# Zorvik GSM configurator: the USB adapter " + adapter.vendor + ":" +
                       adapter.product +
                       (adapter.serial.empty() ? " (it has no serial, so every one of its kind)"
                                               : " with serial " + adapter.serial) +
                       ", written by zorvik-cli doctor --fix.\n";
    rule += "SUBSYSTEM==\"tty\", " + match + ", TAG+=\"uaccess\", ENV{" + kModemManagerIgnore +
            "}=\"1\"\n";
    if (adapter.Ftdi()) {
        rule += "SUBSYSTEM==\"usb-serial\", DRIVER==\"ftdi_sio\", " + match +
                ", ATTR{latency_timer}=\"" + std::to_string(kWantedLatencyMs) + "\"\n";
    }
    return rule;
}

std::vector<std::vector<std::string>> UdevReloadCommands() {
    return {{"udevadm", "control", "--reload"},
            {"udevadm", "trigger", "--action=add", "--subsystem-match=tty",
             "--subsystem-match=usb-serial"},
            {"udevadm", "settle"}};
}

}  // namespace zorvik::cli
