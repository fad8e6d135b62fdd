// Reading and writing the configuration over a real pty, on real time, against zorvik-sim.
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <stdlib.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "link/Clock.h"
#include "link/ConfigCommands.h"
#include "link/PortMap.h"
#include "link/SerialPort.h"
#include "tests/support/FakeDialogs.h"

namespace zorvik::testing {
namespace {

// One zorvik-sim process with a private port folder; it is stopped and the folder removed at
// the end.
class SimProcess {
public:
    explicit SimProcess(std::vector<std::string> extra = {}) {
        std::string pattern =
            (std::filesystem::temp_directory_path() / "zorvik-rw-XXXXXX").string();
        if (::mkdtemp(pattern.data()) == nullptr) {
            ADD_FAILURE() << "mkdtemp failed";
            return;
        }
        root_ = pattern;
        portsDir_ = root_ + "/ports";
        std::vector<std::string> args = {ZORVIK_SIM_PROGRAM, "--ports-dir", portsDir_};
        args.insert(args.end(), extra.begin(), extra.end());

        int out[2];
        if (::pipe(out) != 0) {
            ADD_FAILURE() << "pipe failed";
            return;
        }
        pid_ = ::fork();
        if (pid_ == 0) {
            ::dup2(out[1], STDOUT_FILENO);
            const int quiet = ::open("/dev/null", O_WRONLY);
            ::dup2(quiet, STDERR_FILENO);
            ::close(out[0]);
            std::vector<char*> argv;
            for (std::string& arg : args) {
                argv.push_back(arg.data());
            }
            argv.push_back(nullptr);
            ::execv(argv[0], argv.data());
            ::_exit(127);
        }
        ::close(out[1]);
        // "COM41 /dev/pts/N" once the port is registered.
        std::string line;
        char c = 0;
        pollfd reader{out[0], POLLIN, 0};
        while (::poll(&reader, 1, 5000) > 0 && ::read(out[0], &c, 1) == 1 && c != '\n') {
            line += c;
        }
        ::close(out[0]);
        std::istringstream(line) >> name_;
    }

    ~SimProcess() {
        if (pid_ > 0) {
            ::kill(pid_, SIGTERM);
            int status = 0;
            ::waitpid(pid_, &status, 0);
        }
        if (!root_.empty()) {
            std::error_code ignored;
            std::filesystem::remove_all(root_, ignored);
        }
    }
    SimProcess(const SimProcess&) = delete;
    SimProcess& operator=(const SimProcess&) = delete;

    [[nodiscard]] const std::string& Name() const { return name_; }
    [[nodiscard]] PortMap Map() const { return PortMap(PortMap::Roots{"/dev", "/sys", portsDir_}); }

private:
    pid_t pid_ = -1;
    std::string root_;
    std::string portsDir_;
    std::string name_;
};

TEST(ConfigCommandsOverPty, ReadEditWriteAndReadBackShowsTheEdit) {
    SimProcess sim;
    ASSERT_EQ(sim.Name(), "COM41");
    const PortMap map = sim.Map();
    TComPort port(map, sim.Name());
    SystemClock clock;
    FakeDialogs dialogs;
    DeviceExchange exchange(port, clock, dialogs);

    const ReadResult first = ReadConfiguration(exchange, u"9466");
    ASSERT_EQ(first.outcome, ReadOutcome::Read);
    ConfigImage edited = *first.image;
    edited[116] = static_cast<std::uint8_t>(edited[116] == 12 ? 6 : 12);  // report interval

    EXPECT_EQ(WriteConfiguration(exchange, u"9466", {}, [&edited] { return edited; }),
              WriteOutcome::Stored);
    const ReadResult second = ReadConfiguration(exchange, u"9466");
    ASSERT_EQ(second.outcome, ReadOutcome::Read);
    EXPECT_EQ(*second.image, edited);
    EXPECT_FALSE(port.Connected());
    EXPECT_EQ(dialogs.messages, (std::vector<ShownMessage>{
                                    {"Dane zostały Odczytane.", "Powodzenie", 64},
                                    {"Dane zostały Zapisane.", "Powodzenie", 64},
                                    {"Dane zostały Odczytane.", "Powodzenie", 64},
                                }));
}

TEST(ConfigCommandsOverPty, ShortBlockFromTheDeviceIsRefused) {
    SimProcess sim({"--short-block-on-read"});
    const PortMap map = sim.Map();
    TComPort port(map, sim.Name());
    SystemClock clock;
    FakeDialogs dialogs;
    DeviceExchange exchange(port, clock, dialogs);

    EXPECT_EQ(ReadConfiguration(exchange, u"9466").outcome, ReadOutcome::BadBlock);
    EXPECT_EQ(dialogs.messages, (std::vector<ShownMessage>{{"Błąd danych CRC.", "Error", 16}}));
}

}  // namespace
}  // namespace zorvik::testing
