// zorvik-gsm.exe end to end under Wine: the window found by its title and driven by a second
// program as a user would (gsm-driver.exe: buttons by caption, a field by the label before it,
// message boxes by their caption and text), against zorvik-sim on a COM port of the test's prefix.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "tests/support/SimProcess.h"

namespace zorvik::testing {
namespace {

// What a command printed on its standard output, line by line.
std::vector<std::string> Lines(const std::string& command) {
    std::vector<std::string> lines;
    FILE* out = ::popen(command.c_str(), "r");
    if (out == nullptr) {
        return lines;
    }
    std::string line;
    for (int c = std::fgetc(out); c != EOF; c = std::fgetc(out)) {
        if (c == '\r') {
            continue;  // a Windows program's line ends
        }
        if (c == '\n') {
            lines.push_back(line);
            line.clear();
        } else {
            line += static_cast<char>(c);
        }
    }
    ::pclose(out);
    return lines;
}

std::string Wine(const std::string& arguments) {
    return std::string("WINEDEBUG=-all ") + ZORVIK_WINE + " " + arguments + " 2>/dev/null";
}

// The simulator's pty as the prefix's COM41, listed where Windows lists its ports.
void ConnectAsCom41(const SimProcess& sim) {
    const std::filesystem::path link =
        std::filesystem::path(std::getenv("WINEPREFIX")) / "dosdevices" / "com41";
    std::filesystem::remove(link);
    std::filesystem::create_symlink(sim.PtyPath(), link);
    (void)Lines(Wine("reg add 'HKLM\\HARDWARE\\DEVICEMAP\\SERIALCOMM' /v ZorvikSim /d COM41 /f"));
}

// What the driver printed for the steps, run against zorvik-gsm.exe.
std::vector<std::string> Drive(const std::vector<std::string>& steps) {
    std::string command = std::string(ZORVIK_GSM_DRIVER) + " " + ZORVIK_WINDOWS_GSM + " --";
    for (const std::string& step : steps) {
        command += " '" + step + "'";
    }
    return Lines(Wine(command));
}

const std::string kCloseQuestion = "box Pytanie|Czy na pewno chcesz zakończyć działanie programu?";

TEST(GsmWindowOverWine, ReadsWritesRefusesAWrongPasswordAndAsksBeforeClosing) {
    SimProcess sim(ZORVIK_SIM_PROGRAM);
    ASSERT_FALSE(sim.Name().empty()) << "the simulator did not start";
    ConnectAsCom41(sim);
    EXPECT_EQ(
        Drive({"choose:Port Komunikacyjny=COM41", "click:Oczytaj", "box", "click:Zapisz", "box",
               // The device keeps its factory password: another one is refused.
               "field:Hasło dostępu do urządzenia=1111", "click:Zapisz", "box", "close", "box:no",
               "close", "box:yes", "end"}),
        (std::vector<std::string>{"box Powodzenie|Dane zostały Odczytane.",
                                  "box Powodzenie|Dane zostały Zapisane.", "box Błąd|Błędne Hasło",
                                  kCloseQuestion, kCloseQuestion, "exit 0"}));
}

TEST(GsmWindowOverWine, ASilentDeviceIsReportedAndAskingToCloseDuringTheCommandWaitsForItsEnd) {
    SimProcess silent(ZORVIK_SIM_PROGRAM, {"--no-banner"});
    ASSERT_FALSE(silent.Name().empty()) << "the simulator did not start";
    ConnectAsCom41(silent);
    // Asked a second into the command's 2.5 s wait for the device's banner.
    const std::vector<std::string> steps = {"choose:Port Komunikacyjny=COM41",
                                            "click:Oczytaj",
                                            "pause:1000",
                                            "close",
                                            "box",
                                            "box:yes",
                                            "end"};
    EXPECT_EQ(Drive(steps), (std::vector<std::string>{"box Błąd|Urządzenie nie odpowiada.",
                                                      kCloseQuestion, "exit 0"}));
}

}  // namespace
}  // namespace zorvik::testing
