// A whole firmware update over a real pty, on real time, against the zorvik-sim program.
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <stdlib.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

#include "firmware/FirmwareUpdate.h"
#include "link/Clock.h"
#include "link/PortMap.h"
#include "link/SerialPort.h"

namespace zorvik::testing {
namespace {

namespace fs = std::filesystem;
using Bytes = std::vector<std::uint8_t>;

Bytes ReadAll(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

// One zorvik-sim process with a port folder of its own, stopped when the object goes.
class SimProcess {
public:
    explicit SimProcess(const std::vector<std::string>& extra) {
        char pattern[] = "/tmp/zorvik-fw-sim-XXXXXX";
        if (mkdtemp(pattern) == nullptr) {
            return;
        }
        root = pattern;
        portsDir = root + "/ports";
        std::vector<std::string> args = {ZORVIK_SIM_PROGRAM, "--ports-dir", portsDir};
        args.insert(args.end(), extra.begin(), extra.end());
        int out[2];
        if (pipe(out) != 0) {
            return;
        }
        const std::string logPath = root + "/sim.log";
        pid_ = fork();
        if (pid_ == 0) {
            dup2(out[1], STDOUT_FILENO);
            const int log = open(logPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
            dup2(log, STDERR_FILENO);
            close(out[0]);
            std::vector<char*> argv;
            for (std::string& arg : args) {
                argv.push_back(arg.data());
            }
            argv.push_back(nullptr);
            execv(argv[0], argv.data());
            _exit(127);
        }
        close(out[1]);
        // The first line names the port and the pty: "COM41 /dev/pts/N".
        std::string line;
        char c = 0;
        pollfd reader{out[0], POLLIN, 0};
        while (poll(&reader, 1, 5000) > 0 && read(out[0], &c, 1) == 1 && c != '\n') {
            line += c;
        }
        close(out[0]);
        std::istringstream(line) >> name;
    }
    ~SimProcess() {
        if (pid_ > 0) {
            kill(pid_, SIGTERM);
            int status = 0;
            waitpid(pid_, &status, 0);
        }
        if (!root.empty()) {
            std::error_code ignored;
            fs::remove_all(root, ignored);
        }
    }
    SimProcess(const SimProcess&) = delete;
    SimProcess& operator=(const SimProcess&) = delete;

    std::string root;
    std::string portsDir;
    std::string name;

private:
    pid_t pid_ = -1;
};

class NoDialogs : public Dialogs {
public:
    int MessageBox(const std::string& text, const std::string&, int) override {
        messages.push_back(text);
        return kIdOk;
    }
    std::optional<std::string> OpenFileName(const FileDialogOptions&) override { return {}; }
    std::optional<std::string> SaveFileName(const FileDialogOptions&) override { return {}; }

    std::vector<std::string> messages;
};

class NoProgress : public FirmwareProgress {
public:
    void ShowBar() override {}
    void HideBar() override {}
    void SetMaximum(int) override {}
    void SetPosition(int) override {}
    void Advance(int) override {}
};

// The simulator sends without line pacing: at 57600 baud a read-back page leaves only 6 ms of
// the host's 52 ms pause spare, which a busy test machine can take from the simulator.
TEST(FirmwareOverPty, AFullFileIsProgrammedVerifiedAndStoredAsSent) {
    char pattern[] = "/tmp/zorvik-fw-file-XXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    const std::string folder = pattern;
    const std::string stored = folder + "/stored.bin";
    const std::string path = folder + "/firmware.bin";
    Bytes file(61680);
    for (std::size_t i = 0; i < file.size(); ++i) {
        file[i] = static_cast<std::uint8_t>((i * 7 + 13 + i / 257) & 0xFF);
    }
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(file.data()),
               static_cast<std::streamsize>(file.size()));

    {
        SimProcess sim({"--firmware-out", stored, "--no-pacing"});
        ASSERT_FALSE(sim.name.empty()) << "the simulator did not start";
        const PortMap map(PortMap::Roots{"/dev", "/sys", sim.portsDir});
        TComPort port(map, sim.name);
        SystemClock clock;
        NoDialogs dialogs;
        NoProgress progress;
        FirmwareUpdate update(port, clock, dialogs, progress);

        EXPECT_EQ(update.Run(path, {true, true}), FirmwareOutcome::Done);
        EXPECT_TRUE(dialogs.messages.empty());
        EXPECT_FALSE(port.Connected());

        // The simulator writes what it stored once it has taken the reset byte.
        for (int i = 0; i < 100 && ReadAll(stored).size() < file.size(); ++i) {
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
        }
    }
    EXPECT_EQ(ReadAll(stored), file);
    std::error_code ignored;
    fs::remove_all(folder, ignored);
}

}  // namespace
}  // namespace zorvik::testing
