// The Windows build's help and support report speak of Windows: its history folder, its COM
// names and console keys, and nothing of what only Linux has or the Windows zip does not ship.
#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "cli/CommandTable.h"
#include "cli/Help.h"
#include "cli/SupportReport.h"
#include "serial/PortMap.h"

namespace zorvik::cli {
namespace {

// Linux's places, signals and programs, none of which a Windows text may name.
const std::vector<std::string> kLinuxOnly = {
    "/dev/",   "XDG_",    "~/.local",      "zorvik-cli(1)", "zorvik-sim",   "SIGHUP",
    "SIGPIPE", "SIGTERM", "dialout",       "udev",          "ModemManager", "brltty",
    "(Qt ",    "groups:", "kernel driver", "port folder"};

struct Text {
    std::string name;
    std::string text;
    std::vector<std::string> says;
};

TEST(WindowsHelp, EveryTextNamesWindowsPlacesAndNothingOnlyLinuxHas) {
    std::vector<Text> texts = {
        {"--help",
         ProgramHelp(),
         {"%LOCALAPPDATA%\\zorvik-cli\\history", "Ctrl-C or Ctrl-Break", "console window"}},
        {"support-report",
         SupportReport(PortMap(), std::nullopt),
         {"system: Windows", "(SERIALCOMM)"}},
    };
    for (const CommandEntry& command : CommandTable()) {
        texts.push_back({"help " + std::string(command.name), CommandHelp(command), {}});
    }
    texts.push_back({"help history",
                     CommandHelp(*FindCommand("history")),
                     {"%LOCALAPPDATA%\\zorvik-cli\\history"}});
    texts.push_back(
        {"help ports", CommandHelp(*FindCommand("ports")), {"COM1-COM50", "\\\\.\\COMn"}});
    for (const Text& text : texts) {
        SCOPED_TRACE(text.name);
        for (const std::string& linuxOnly : kLinuxOnly) {
            EXPECT_EQ(text.text.find(linuxOnly), std::string::npos) << linuxOnly << " in\n"
                                                                    << text.text;
        }
        for (const std::string& said : text.says) {
            EXPECT_NE(text.text.find(said), std::string::npos) << said << " not in\n" << text.text;
        }
    }
    EXPECT_EQ(FindCommand("doctor"), nullptr) << "its checks are Linux's";
}

}  // namespace
}  // namespace zorvik::cli
