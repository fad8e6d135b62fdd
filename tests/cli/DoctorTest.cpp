// The doctor's checks on fixture trees of /dev, /sys, /proc and the udev rule folders, as one
// table: what each situation makes of each check, the exit status and the fix offered.
#include <sys/stat.h>

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
using cli::Opening;

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
    bool ok;
    const char* says = "";  // in the detail or the fix
};

struct DoctorCase {
    const char* name;
    std::function<void(Fixture&, FakeAccounts&)> arrange;
    const char* port;
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
         {{"ports", true, "COM9"},
          {"port", true, "/dev/ttyUSB0, USB adapter 0403:6001 (ftdi_sio)"},
          {"access", true},
          {"holder", true},
          {"modemmanager", true},
          {"brltty", true},
          {"latency", true},
          {"open", true}}},
        {"joined the group after logging in",
         [](Fixture&, FakeAccounts& a) { a.inLogin = false; },
         "COM9",
         Opening::Result::Refused,
         Exit::PortUnusable,
         {{"access", false, "log out and in again"}, {"open", false}}},
        {"not in the group",
         [](Fixture&, FakeAccounts& a) { a.inLogin = a.inDatabase = false; },
         "COM9",
         Opening::Result::Refused,
         Exit::PortUnusable,
         {{"access", false, "sudo usermod -aG dialout tester"}}},
        {"ModemManager without a rule",
         [](Fixture& f, FakeAccounts&) { f.Write("proc/77/comm", "ModemManager\n"); },
         "COM9",
         Opening::Result::Answered,
         Exit::Ok,
         {{"modemmanager", false, "zorvik-cli doctor -p COM9 --fix"}}},
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
         {{"modemmanager", true}}},
        {"brltty's rule claims the adapter",
         [](Fixture& f, FakeAccounts&) {
             f.Write("usr/lib/udev/rules.d/85-brltty.rules",
                     "ENV{PRODUCT}==\"403/6001/*\", ENV{BRLTTY_BRAILLE_DRIVER}=\"fs\"\n");
         },
         "COM9",
         Opening::Result::Answered,
         Exit::Ok,
         {{"brltty", false, "sudo ln -s /dev/null /etc/udev/rules.d/85-brltty.rules"}}},
        {"brltty's rule switched off in /etc",
         [](Fixture& f, FakeAccounts&) {
             f.Write("lib/udev/rules.d/85-brltty.rules", "ENV{PRODUCT}==\"403/6001/*\"\n");
             f.Link("etc/udev/rules.d/85-brltty.rules", "/dev/null");
         },
         "COM9",
         Opening::Result::Answered,
         Exit::Ok,
         {{"brltty", true}}},
        {"a slow latency timer",
         [](Fixture& f, FakeAccounts&) {
             f.Write("sys/bus/usb-serial/devices/ttyUSB0/latency_timer", "16\n");
         },
         "COM9",
         Opening::Result::Answered,
         Exit::Ok,
         {{"latency", false,
           "echo 1 | sudo tee /sys/bus/usb-serial/devices/ttyUSB0/latency_timer"}}},
        {"no device answers",
         none,
         "COM9",
         Opening::Result::Silent,
         Exit::NoDevice,
         {{"open", false, "no Ready banner"}}},
        {"a port that is not there",
         none,
         "COM10",
         Opening::Result::Answered,
         Exit::PortUnusable,
         {{"port", false, "present: COM9"}}},
        {"a linked port without its link",
         none,
         "COM41",
         Opening::Result::Answered,
         Exit::PortUnusable,
         {{"port", false, "no link COM41"}}},
    };
    for (const DoctorCase& test : cases) {
        SCOPED_TRACE(test.name);
        Fixture fixture;
        fs::create_directories(fixture.Root() + "/links");
        ::chmod((fixture.Root() + "/links").c_str(), 0700);
        FakeAccounts accounts;
        test.arrange(fixture, accounts);
        int opened = 0;
        const cli::DoctorSetup setup{fixture.Root(),
                                     fixture.Root() + "/links",
                                     &accounts,
                                     [&](const std::string&) {
                                         ++opened;
                                         return Opening{test.opening, "permission denied"};
                                     },
                                     {}};
        const cli::DoctorReport report = cli::RunDoctor(setup, test.port);
        EXPECT_EQ(report.status, test.status);
        EXPECT_EQ(opened, test.status == Exit::PortUnusable && report.device.empty() ? 0 : 1);
        for (const Expected& expected : test.expected) {
            const auto found =
                std::find_if(report.checks.begin(), report.checks.end(),
                             [&](const auto& c) { return c.name == expected.check; });
            ASSERT_NE(found, report.checks.end()) << expected.check;
            EXPECT_EQ(found->ok, expected.ok) << expected.check << ": " << found->detail;
            EXPECT_NE((found->detail + " | " + found->fix).find(expected.says), std::string::npos)
                << found->detail << " | " << found->fix;
        }
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
