// zorvik-gsm.exe end to end under Wine: the window found by its title and driven by a second
// program as a user would (gsm-driver.exe: buttons by caption, a field by the label before it,
// message boxes by their caption and text), against zorvik-sim on a COM port of the test's prefix.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <thread>
#include <vector>

#include "tests/support/SimProcess.h"
#include "tests/support/TempFolder.h"

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

// The simulator's pty as the prefix's COM5, among the ports that autodetection asks Windows about
// (Wine answers for COM1 to COM9 only), and listed in SERIALCOMM as a driver would list it, for as
// long as the test runs.
class ConnectedAsCom5 {
public:
    explicit ConnectedAsCom5(const SimProcess& sim)
        : link_(std::filesystem::path(std::getenv("WINEPREFIX")) / "dosdevices" / "com5") {
        std::filesystem::remove(link_);
        std::filesystem::create_symlink(sim.PtyPath(), link_);
        (void)Lines(
            Wine("reg add 'HKLM\\HARDWARE\\DEVICEMAP\\SERIALCOMM' /v ZorvikSim5 /d COM5 /f"));
    }
    ~ConnectedAsCom5() {
        (void)Lines(Wine("reg delete 'HKLM\\HARDWARE\\DEVICEMAP\\SERIALCOMM' /v ZorvikSim5 /f"));
        std::filesystem::remove(link_);
    }
    ConnectedAsCom5(const ConnectedAsCom5&) = delete;
    ConnectedAsCom5& operator=(const ConnectedAsCom5&) = delete;

private:
    std::filesystem::path link_;
};

// A Linux path as the Windows program names it, on Wine's drive Z:.
std::string OnDriveZ(std::string path) {
    for (char& c : path) {
        c = c == '/' ? '\\' : c;
    }
    return "Z:" + path;
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

TEST(GsmWindowOverWine, SavesAndOpensAConfigurationThroughTheSystemsDialogs) {
    SimProcess sim(ZORVIK_SIM_PROGRAM);
    ASSERT_FALSE(sim.Name().empty()) << "the simulator did not start";
    ConnectAsCom41(sim);
    TempFolder folder;
    // Saved without an extension, the name takes the dialog's ".zvk".
    const std::string saved = OnDriveZ(folder.PathOf("site"));
    EXPECT_EQ(
        Drive({"choose:Port Komunikacyjny=COM41", "click:Oczytaj", "box",
               "field:PIN karty SIM=4321", "menu:p,z", "file:" + saved, "field:PIN karty SIM=1111",
               "menu:p,o", "file:" + saved + ".zvk", "wait:PIN karty SIM=4321_", "close", "box:yes",
               "end"}),
        (std::vector<std::string>{"box Powodzenie|Dane zostały Odczytane.", "file Save As",
                                  "file Open", "PIN karty SIM=4321_", kCloseQuestion, "exit 0"}));
    const TempFolder::Bytes image = TempFolder::Read(folder.PathOf("site.zvk"));
    ASSERT_EQ(image.size(), 256U);
    EXPECT_EQ(std::string(image.begin() + 105, image.begin() + 111),
              "\x84"
              "4321_");
}

TEST(GsmWindowOverWine, AutodetectionFindsTheDeviceWhoseReadThenUsesItsPort) {
    SimProcess sim(ZORVIK_SIM_PROGRAM);
    ASSERT_FALSE(sim.Name().empty()) << "the simulator did not start";
    const ConnectedAsCom5 port(sim);
    // The close question waits for the search's end: asked then, it shows no search failed.
    EXPECT_EQ(Drive({"click:Autodetekcja", "wait:Port Komunikacyjny=COM5", "close", "box:no",
                     "click:Oczytaj", "box", "close", "box:yes", "end"}),
              (std::vector<std::string>{"Port Komunikacyjny=COM5", kCloseQuestion,
                                        "box Powodzenie|Dane zostały Odczytane.", kCloseQuestion,
                                        "exit 0"}));
}

TEST(GsmWindowOverWine, TheFirmwareWindowProgramsAndVerifiesAFile) {
    TempFolder folder;
    const std::string stored = folder.PathOf("stored.bin");
    SimProcess sim(ZORVIK_SIM_PROGRAM, {"--firmware-out", stored});
    ASSERT_FALSE(sim.Name().empty()) << "the simulator did not start";
    ConnectAsCom41(sim);
    TempFolder::Bytes firmware(4 * 257);
    for (std::size_t i = 0; i < firmware.size(); ++i) {
        firmware[i] = static_cast<std::uint8_t>(i * 7 + 13);
    }
    const std::string file = folder.Write("firmware.bin", firmware);
    // Asked to close while it programs, the firmware window closes once it is done; no message
    // box says anything went wrong.
    EXPECT_EQ(Drive({"choose:Port Komunikacyjny=COM41", "menu:f,a", "window:Aktualizacja Firmware",
                     "menu:p,o", "file:" + OnDriveZ(file), "click:Programuj", "pause:500", "close",
                     "window:Zorvik GSM", "close", "box:yes", "end"}),
              (std::vector<std::string>{"file Open", kCloseQuestion, "exit 0"}));
    std::string said;
    for (int i = 0; i < 50 && said.find("verified") == std::string::npos; ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
        std::ifstream log(sim.LogPath());
        said.assign(std::istreambuf_iterator<char>(log), {});
    }
    EXPECT_NE(said.find("4 pages programmed, verified"), std::string::npos) << said;
    EXPECT_EQ(TempFolder::Read(stored), firmware);
}

}  // namespace
}  // namespace zorvik::testing
