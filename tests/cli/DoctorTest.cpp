// The doctor's checks on fixture trees of /dev, /sys, /proc and the udev rule folders, as tables:
// what each situation makes of each check, the exit status and the fix offered; and each fix that
// acts on files, run as printed in the tree, mends what it was offered for.
#include <sys/stat.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "cli/Doctor.h"
#include "tests/support/TempFolder.h"

namespace zorvik::testing {
namespace {

namespace fs = std::filesystem;
using cli::Exit;
using cli::Finding;
using cli::Opening;
using zorvik::PortFault;

struct FakeAccounts : cli::Accounts {
    bool inLogin = true;
    bool inDatabase = true;
    std::string User() const override { return "tester"; }
    uid_t Uid() const override { return 4321; }
    bool InLogin(gid_t) const override { return inLogin; }
    bool InDatabase(gid_t) const override { return inDatabase; }
    std::string GroupName(gid_t) const override { return "dialout"; }
    bool MayOpen(const std::string&) const override { return inLogin; }
};

// An FTDI adapter 0403:6001, serial A1B2, as ttyUSB0 (COM9), latency timer 1 ms.
class Fixture {
public:
    Fixture() {
        Link("dev/ttyUSB0", "/dev/null");  // a character device, as the port map asks
        const std::string usb = "sys/devices/pci0/usb1/1-1/";
        Write(usb + "idVendor", "0403\n");
        Write(usb + "idProduct", "6001\n");
        Write(usb + "serial", "A1B2\n");
        Write(usb + "1-1:1.0/ttyUSB0/uevent", "");
        Write("sys/bus/usb-serial/drivers/ftdi_sio/uevent", "");
        Write("sys/bus/usb-serial/devices/ttyUSB0/latency_timer", "1\n");
        Write("proc/1/comm", "init\n");
        Link("dev/serial/by-id/usb-FTDI_A1B2-if00-port0", "../../ttyUSB0");
        fs::create_directories(root_.Root() + "/sys/class/tty/ttyUSB0");
        Link("sys/class/tty/ttyUSB0/device", root_.Root() + "/" + usb + "1-1:1.0/ttyUSB0");
        Link(usb + "1-1:1.0/ttyUSB0/driver", root_.Root() + "/sys/bus/usb-serial/drivers/ftdi_sio");
    }
    void Write(const std::string& path, const std::string& text) const {
        fs::create_directories(fs::path(root_.Root() + "/" + path).parent_path());
        std::ofstream(root_.Root() + "/" + path) << text;
    }
    void Link(const std::string& path, const std::string& target) const {
        fs::create_directories(fs::path(root_.Root() + "/" + path).parent_path());
        fs::create_symlink(target, root_.Root() + "/" + path);
    }
    [[nodiscard]] const std::string& Root() const { return root_.Root(); }

private:
    TempFolder root_;
};

struct Expected {
    const char* check;
    Finding finding;
    const char* says = "";  // in the detail or the fix
};

constexpr Finding kOk = Finding::Ok;
constexpr Finding kWarning = Finding::Warning;
constexpr Finding kProblem = Finding::Problem;

// The doctor on the fixture, with the port folder `links`, each opening going as `opening` says.
cli::DoctorReport Examine(const Fixture& fixture, const FakeAccounts& accounts,
                          const std::optional<std::string>& port, Opening::Result opening,
                          int* opened = nullptr) {
    const cli::DoctorSetup setup{fixture.Root(), fixture.Root() + "/links", &accounts,
                                 [=](const std::string&) {
                                     if (opened != nullptr) {
                                         ++*opened;
                                     }
                                     return Opening{opening, "permission denied"};
                                 },
                                 [](const std::string& address) {
                                     return address.find("nowhere") != std::string::npos
                                                ? cli::Reaching{false, PortFault::UnknownHost,
                                                                address + ": unknown host"}
                                                : cli::Reaching{};
                                 }};
    return cli::RunDoctor(setup, port);
}

const cli::DoctorCheck* Find(const cli::DoctorReport& report, const std::string& name) {
    const auto found = std::find_if(report.checks.begin(), report.checks.end(),
                                    [&](const auto& c) { return c.name == name; });
    return found == report.checks.end() ? nullptr : &*found;
}

struct DoctorCase {
    const char* name;
    std::function<void(Fixture&, FakeAccounts&)> arrange;
    std::optional<std::string> port;
    Opening::Result opening;
    Exit status;
    std::vector<Expected> expected;
};

TEST(Doctor, NamesEachProblemWithItsFixAndEndsWithTheStatusOfTheOpening) {
    const auto none = [](Fixture&, FakeAccounts&) {};
    const std::vector<DoctorCase> cases = {
        {"a usable port",
         none,
         "COM9",
         Opening::Result::Answered,
         Exit::Ok,
         {{"ports", kOk, "COM9"},
          {"port", kOk, "/dev/ttyUSB0, USB adapter 0403:6001 (ftdi_sio)"},
          {"access", kOk},
          {"holder", kOk},
          {"modemmanager", kOk},
          {"brltty", kOk},
          {"latency", kOk},
          {"open", kOk}}},
        {"joined the group after logging in",
         [](Fixture&, FakeAccounts& a) { a.inLogin = false; },
         "COM9",
         Opening::Result::Refused,
         Exit::PortUnusable,
         {{"access", kProblem, "log out and in again"}, {"open", kProblem}}},
        {"not in the group",
         [](Fixture&, FakeAccounts& a) { a.inLogin = a.inDatabase = false; },
         "COM9",
         Opening::Result::Refused,
         Exit::PortUnusable,
         {{"access", kProblem, "sudo usermod -aG dialout tester"}}},
        {"ModemManager without a rule",
         [](Fixture& f, FakeAccounts&) { f.Write("proc/77/comm", "ModemManager\n"); },
         "COM9",
         Opening::Result::Answered,
         Exit::Ok,
         {{"modemmanager", kWarning, "sudo zorvik-cli doctor -p COM9 --fix"}, {"open", kOk}}},
        {"ModemManager told by a rule",
         [](Fixture& f, FakeAccounts&) {
             f.Write("proc/77/comm", "ModemManager\n");
             f.Write("run/udev/rules.d/70-mine.rules",
                     "ATTRS{idVendor}==\"0403\", ATTRS{idProduct}==\"6001\", "
                     "ENV{ID_MM_DEVICE_IGNORE}=\"1\"\n");
         },
         "COM9",
         Opening::Result::Answered,
         Exit::Ok,
         {{"modemmanager", kOk}}},
        {"brltty's rule claims the adapter",
         [](Fixture& f, FakeAccounts&) {
             f.Write("usr/lib/udev/rules.d/85-brltty.rules",
                     "ENV{PRODUCT}==\"403/6001/*\", ENV{BRLTTY_BRAILLE_DRIVER}=\"fs\"\n");
         },
         "COM9",
         Opening::Result::Answered,
         Exit::Ok,
         {{"brltty", kWarning, "sudo ln -s /dev/null /etc/udev/rules.d/85-brltty.rules"}}},
        {"brltty's rule switched off in /etc",
         [](Fixture& f, FakeAccounts&) {
             f.Write("lib/udev/rules.d/85-brltty.rules", "ENV{PRODUCT}==\"403/6001/*\"\n");
             f.Link("etc/udev/rules.d/85-brltty.rules", "/dev/null");
         },
         "COM9",
         Opening::Result::Answered,
         Exit::Ok,
         {{"brltty", kOk}}},
        {"a slow latency timer",
         [](Fixture& f, FakeAccounts&) {
             f.Write("sys/bus/usb-serial/devices/ttyUSB0/latency_timer", "16\n");
         },
         "COM9",
         Opening::Result::Answered,
         Exit::Ok,
         {{"latency", kWarning,
           "echo 1 | sudo tee /sys/bus/usb-serial/devices/ttyUSB0/latency_timer"}}},
        {"no device answers",
         none,
         "COM9",
         Opening::Result::Silent,
         Exit::NoDevice,
         {{"open", kProblem, "no Ready banner"}}},
        {"a port that is not there",
         none,
         "COM10",
         Opening::Result::Answered,
         Exit::PortUnusable,
         {{"port", kProblem, "present: COM9"}}},
        {"a linked port without its link",
         none,
         "COM41",
         Opening::Result::Answered,
         Exit::PortUnusable,
         {{"port", kProblem, "no link COM41"}}},
        {"the simulated device's own program has its pty open",
         [](Fixture& f, FakeAccounts&) {
             f.Write("proc/50/comm", "zorvik-sim\n");
             f.Link("proc/50/fd/3", "/dev/null");
         },
         "COM9",
         Opening::Result::Answered,
         Exit::Ok,
         {{"holder", kOk, "zorvik-sim (PID 50), the simulated device"}}},
        {"another program holds the port, which stays silent",
         [](Fixture& f, FakeAccounts&) {
             f.Write("proc/60/comm", "minicom\n");
             f.Link("proc/60/fd/3", "/dev/null");
         },
         "COM9",
         Opening::Result::Silent,
         Exit::NoDevice,
         {{"holder", kProblem, "kill 60"}, {"open", kProblem, "the cause: the holder line"}}},
        {"another program has an answering port open too",
         [](Fixture& f, FakeAccounts&) {
             f.Write("proc/60/comm", "minicom\n");
             f.Link("proc/60/fd/3", "/dev/null");
         },
         "COM9",
         Opening::Result::Answered,
         Exit::Ok,
         {{"holder", kWarning, "held by minicom"}, {"open", kOk}}},
        {"several ports and none named",
         [](Fixture& f, FakeAccounts&) { f.Link("dev/ttyACM0", "/dev/null"); },
         std::nullopt,
         Opening::Result::Answered,
         Exit::Usage,
         {{"port", kProblem, "zorvik-cli doctor -p COM25, or zorvik-cli doctor -p COM9"}}},
        {"a linked server whose host is unknown",
         [](Fixture& f, FakeAccounts&) { f.Link("links/COM42", "rfc2217://nowhere.invalid:2217"); },
         "COM42",
         Opening::Result::Answered,
         Exit::PortUnusable,
         {{"port", kProblem, "mend the host name nowhere.invalid in the link"}}},
    };
    for (const DoctorCase& test : cases) {
        SCOPED_TRACE(test.name);
        Fixture fixture;
        fs::create_directories(fixture.Root() + "/links");
        ::chmod((fixture.Root() + "/links").c_str(), 0700);
        FakeAccounts accounts;
        test.arrange(fixture, accounts);
        int opened = 0;
        const cli::DoctorReport report =
            Examine(fixture, accounts, test.port, test.opening, &opened);
        EXPECT_EQ(report.status, test.status);
        EXPECT_EQ(opened, report.checks.back().name == "open" ? 1 : 0);
        for (const Expected& expected : test.expected) {
            const cli::DoctorCheck* found = Find(report, expected.check);
            ASSERT_NE(found, nullptr) << expected.check;
            EXPECT_EQ(found->finding, expected.finding) << expected.check << ": " << found->detail;
            EXPECT_NE((found->detail + " | " + found->fix).find(expected.says), std::string::npos)
                << found->detail << " | " << found->fix;
        }
    }
}

struct FixCase {
    const char* name;
    std::function<void(Fixture&)> arrange;
    const char* port;
    const char* check;
    const char* fix;  // what the fix says
};

// The fix acts on this machine's paths; in the fixture they lie under its root, and nothing is
// run as root.
std::string InTree(std::string fix, const std::string& root) {
    for (std::size_t at = 0; (at = fix.find("sudo ", at)) != std::string::npos;) {
        fix.erase(at, 5);
    }
    for (std::size_t at = 0; (at = fix.find(" /dev/", at)) != std::string::npos; at += 6) {
        fix.insert(at + 1, root);
        at += root.size();
    }
    return fix;
}

TEST(Doctor, EachFixRunAsPrintedMendsWhatItWasOfferedFor) {
    const std::vector<FixCase> cases = {
        {"a missing port folder", [](Fixture& f) { fs::remove(f.Root() + "/links"); }, "COM41",
         "port", "mkdir -p -m 700 "},
        {"a port folder others could change",
         [](Fixture& f) { ::chmod((f.Root() + "/links").c_str(), 0777); }, "COM41", "port",
         "chmod 700 "},
        {"a file where the port folder should be",
         [](Fixture& f) {
             fs::remove(f.Root() + "/links");
             f.Write("links", "");
         },
         "COM41", "port", "rm "},
        {"a port folder in a folder others could change",
         [](Fixture& f) { ::chmod(f.Root().c_str(), 0777); }, "COM41", "port", "chmod go-w "},
        {"a linked port without its link", [](Fixture&) {}, "COM41", "port", "ln -sfn "},
        {"a link to a regular file",
         [](Fixture& f) {
             f.Write("notes.txt", "");
             f.Link("links/COM41", f.Root() + "/notes.txt");
         },
         "COM41", "port", "ln -sfn /dev/serial/by-id/usb-FTDI_A1B2-if00-port0 "},
    };
    for (const FixCase& test : cases) {
        SCOPED_TRACE(test.name);
        Fixture fixture;
        fs::create_directories(fixture.Root() + "/links");
        ::chmod((fixture.Root() + "/links").c_str(), 0700);
        test.arrange(fixture);
        const FakeAccounts accounts;
        const auto before = Examine(fixture, accounts, test.port, Opening::Result::Answered);
        const cli::DoctorCheck* found = Find(before, test.check);
        ASSERT_NE(found, nullptr);
        ASSERT_EQ(found->finding, kProblem) << found->detail;
        EXPECT_NE(found->fix.find(test.fix), std::string::npos) << found->fix;
        const std::string command = InTree(found->fix, fixture.Root());
        ASSERT_EQ(std::system(command.c_str()), 0) << command;
        const auto after = Examine(fixture, accounts, test.port, Opening::Result::Answered);
        const cli::DoctorCheck* again = Find(after, test.check);
        ASSERT_NE(again, nullptr);
        EXPECT_NE(again->detail, found->detail) << command;
    }
}

TEST(Doctor, WritesARuleForTheOneAdapterAndKeepsADevicesSerialOutOfItUnlessItIsPlain) {
    cli::UsbAdapter adapter{"0403", "6001", "A1B2", "ftdi_sio", "ttyUSB0"};
    EXPECT_EQ(cli::AdapterRulePath("", adapter),
              "/etc/udev/rules.d/70-zorvik-gsm-0403-6001-A1B2.rules");
    const std::string rule = cli::AdapterRule(adapter);
    for (const char* part :
         {"ATTRS{idVendor}==\"0403\", ATTRS{idProduct}==\"6001\", ATTRS{serial}==\"A1B2\"",
          "TAG+=\"uaccess\"", "ENV{ID_MM_DEVICE_IGNORE}=\"1\"", "ATTR{latency_timer}=\"1\""}) {
        EXPECT_NE(rule.find(part), std::string::npos) << part;
    }
    // A serial a device reports is read through the fixture, and one that could break out of
    // its quotes never reaches the rule.
    Fixture fixture;
    fixture.Write("sys/devices/pci0/usb1/1-1/serial", "X\", RUN+=\"/bin/sh\n");
    FakeAccounts accounts;
    const cli::DoctorReport report = cli::RunDoctor(
        {fixture.Root(), "", &accounts, [](const std::string&) { return Opening{}; }, {}}, "COM9");
    ASSERT_TRUE(report.adapter);
    EXPECT_EQ(report.adapter->serial, "");
    EXPECT_EQ(cli::AdapterRule(*report.adapter).find("RUN"), std::string::npos);
}

}  // namespace
}  // namespace zorvik::testing
