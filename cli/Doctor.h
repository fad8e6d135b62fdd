// zorvik-cli doctor: why a port will not open or no device answers on it, one check a line, each
// with the command that mends what it found; and the udev rule that keeps one adapter usable.
// The checks read a root folder given to them (/ on this machine, a fixture tree in tests), and
// ask about the user's groups and about opening the port through seams of their own.
#pragma once

#include <sys/types.h>

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "cli/ExitCode.h"
#include "serial/PortFault.h"

namespace zorvik::cli {

// Who the program runs as, and which groups the group database and this login give the user.
class Accounts {
public:
    virtual ~Accounts() = default;
    [[nodiscard]] virtual std::string User() const = 0;
    [[nodiscard]] virtual uid_t Uid() const = 0;
    // The groups of this login (getgroups), which a change to the database reaches only at the
    // next login.
    [[nodiscard]] virtual bool InLogin(gid_t group) const = 0;
    // The groups the group database gives the user now (getgrouplist).
    [[nodiscard]] virtual bool InDatabase(gid_t group) const = 0;
    [[nodiscard]] virtual std::string GroupName(gid_t group) const = 0;
    // Whether the system lets this user read and write `path` (ACLs from udev's uaccess too).
    [[nodiscard]] virtual bool MayOpen(const std::string& path) const = 0;
};

// This process's accounts.
[[nodiscard]] const Accounts& SystemAccounts();

// How the last check went: the port opened and the banner came, no banner came, or the port
// did not open (`why` says why).
struct Opening {
    enum class Result { Answered, Silent, Refused };
    Result result = Result::Refused;
    std::string why;
};

// How a network address answered: `fault` and `why` say why not.
struct Reaching {
    bool answered = true;
    PortFault fault = PortFault::Other;
    std::string why;
};

struct DoctorSetup {
    std::string root;        // prefixed to /dev, /sys, /proc, /etc, /run, /usr/lib, /lib
    std::string linkFolder;  // the port folder of COM41..COM50
    const Accounts* accounts = nullptr;
    // Opens the port (a COM name, a device path or a network address) and listens for the banner.
    std::function<Opening(const std::string& port)> open;
    // Opens a network address with the line settings within the connect bound.
    std::function<Reaching(const std::string& address)> reach;
};

// A check's finding: fine; a warning, which does not stop the port now but may later (a program
// that grabs adapters, a slow latency timer, another reader of an answering port); or a problem,
// which keeps the port from being used.
enum class Finding { Ok, Warning, Problem };

struct DoctorCheck {
    std::string name;
    Finding finding = Finding::Problem;
    std::string detail;
    std::string fix;  // what mends it, a command where one does; empty when ok
    [[nodiscard]] bool Ok() const { return finding != Finding::Problem; }
};

// A USB adapter, from the device's folders in /sys.
struct UsbAdapter {
    std::string vendor;   // 4 hex digits
    std::string product;  // 4 hex digits
    std::string serial;   // empty when the adapter has none, or one unsafe to put in a rule
    std::string driver;   // "ftdi_sio", "ch341-uart", "cp210x", "cdc_acm", ...
    std::string tty;      // "ttyUSB0"
    [[nodiscard]] bool Ftdi() const { return driver == "ftdi_sio" || vendor == "0403"; }
};

struct DoctorReport {
    std::string port;    // as given, or the only port present
    std::string device;  // the device it leads to, links followed; empty for a network port
    std::optional<UsbAdapter> adapter;
    std::vector<DoctorCheck> checks;
    Exit status = Exit::Ok;  // Ok: usable; PortUnusable; NoDevice: opens, no device answers
};

// Runs every check on `port`, or on the only port present when none is given.
[[nodiscard]] DoctorReport RunDoctor(const DoctorSetup& setup,
                                     const std::optional<std::string>& port);

// Where the rule for `adapter` goes, under `root`, and what it says: the adapter alone (vendor,
// product and serial), opened by the user at the seat, ignored by ModemManager, and for FTDI the
// latency timer at 1 ms.
[[nodiscard]] std::string AdapterRulePath(const std::string& root, const UsbAdapter& adapter);
[[nodiscard]] std::string AdapterRule(const UsbAdapter& adapter);

// The commands that make udev read the rule and apply it to the adapter plugged in now.
[[nodiscard]] std::vector<std::vector<std::string>> UdevReloadCommands();

}  // namespace zorvik::cli
