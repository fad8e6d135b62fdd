// zorvik-cli against a device on another machine, played on the loopback interface: zorvik-sim
// on a pty served by ser2net over RFC 2217 and over raw TCP; and a busy port naming its holder.
#include <fcntl.h>
#include <signal.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

#include "tests/cli/CliProcess.h"
#include "tests/support/Ser2net.h"
#include "tests/support/SimProcess.h"
#include "tests/support/TempFolder.h"

namespace zorvik::testing {
namespace {

class OverSer2net : public ::testing::TestWithParam<Ser2net::Protocol> {
protected:
    void SetUp() override {
        if (Ser2net::Program().empty()) {
            GTEST_SKIP() << "ser2net is not installed (scripts/setup installs it)";
        }
    }

    CliRun Run(std::vector<std::string> args) {
        CliCall call;
        call.args = std::move(args);
        call.unset.push_back("ZORVIK_PASSWORD");
        return RunCli(ZORVIK_CLI_PROGRAM, call);
    }
};

TEST_P(OverSer2net, ReadVerifiedWriteAndFirmwareUpdateSucceed) {
    TempFolder folder;
    SimProcess sim(ZORVIK_SIM_PROGRAM);  // at line rate, as a real device sends
    ASSERT_FALSE(sim.Name().empty()) << "the simulator did not start";
    Ser2net server(sim.PtyPath(), GetParam());
    ASSERT_FALSE(server.Address().empty()) << server.Log();
    const std::string port = server.Address();

    const CliRun read = Run({"read", "-p", port, "--text"});
    ASSERT_EQ(read.status, 0) << read.err << server.Log();
    EXPECT_NE(read.out.find("device.type = "), std::string::npos);

    const std::string text = "report.interval_hours = 7\n";
    const std::string edit = folder.Write("edit.txt", TempFolder::Bytes(text.begin(), text.end()));
    const CliRun write = Run({"write", "-p", port, edit, "--merge"});
    EXPECT_EQ(write.status, 0) << write.err;
    const CliRun back = Run({"read", "-p", port, "--text"});
    EXPECT_NE(back.out.find("report.interval_hours = 7\n"), std::string::npos) << back.err;

    TempFolder::Bytes firmware(3 * 257);
    for (std::size_t i = 0; i < firmware.size(); ++i) {
        firmware[i] = static_cast<std::uint8_t>((i * 7 + 13) & 0xFF);  // 0xFF among them
    }
    const CliRun flash = Run({"flash", "-p", port, folder.Write("firmware.bin", firmware)});
    EXPECT_EQ(flash.status, 0) << flash.err;
}

INSTANTIATE_TEST_SUITE_P(Protocols, OverSer2net,
                         ::testing::Values(Ser2net::Protocol::Rfc2217, Ser2net::Protocol::Raw),
                         [](const auto& info) {
                             return info.param == Ser2net::Protocol::Rfc2217 ? "Rfc2217" : "Raw";
                         });

// The route users took before network ports: socat makes a pty in the port folder and carries it
// to the raw server. Its lumpy delivery is what the late-block reading is for.
TEST(OverSocatPty, ReadThroughAPtyLinkedToARawServerSucceeds) {
    const char* socat = "/usr/bin/socat";
    if (Ser2net::Program().empty() || ::access(socat, X_OK) != 0) {
        GTEST_SKIP() << "ser2net or socat is not installed (scripts/setup installs them)";
    }
    TempFolder folder;
    const std::string runtime = folder.PathOf("runtime");
    const std::string ports = runtime + "/zorvik-gsm/ports";
    std::filesystem::create_directories(ports);
    for (const std::string& dir : {runtime, runtime + "/zorvik-gsm", ports}) {
        std::filesystem::permissions(dir, std::filesystem::perms::owner_all);
    }
    SimProcess sim(ZORVIK_SIM_PROGRAM);
    ASSERT_FALSE(sim.Name().empty()) << "the simulator did not start";
    Ser2net server(sim.PtyPath(), Ser2net::Protocol::Raw);
    ASSERT_FALSE(server.Address().empty()) << server.Log();
    const std::string tcp = "tcp:" + server.Address().substr(std::string("socket://").size());
    const std::string pty = "pty,link=" + ports + "/COM42,raw,echo=0";

    const pid_t carrier = ::fork();
    if (carrier == 0) {
        const int null = ::open("/dev/null", O_WRONLY);
        ::dup2(null, STDERR_FILENO);
        ::execl(socat, socat, pty.c_str(), tcp.c_str(), static_cast<char*>(nullptr));
        ::_exit(127);
    }
    for (int i = 0; i < 250 && !std::filesystem::is_symlink(ports + "/COM42"); ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    CliCall call;
    call.args = {"read", "-p", "COM42", "--text"};
    call.env.emplace("XDG_RUNTIME_DIR", runtime);
    call.unset.push_back("ZORVIK_PASSWORD");
    CliRun read = RunCli(ZORVIK_CLI_PROGRAM, call);
    ::kill(carrier, SIGTERM);
    ::waitpid(carrier, nullptr, 0);
    EXPECT_EQ(read.status, 0) << read.err;
    EXPECT_NE(read.out.find("device.type = "), std::string::npos);
}

TEST(NetworkPortFailures, RefusedConnectionAndUnknownHostAreNamed) {
    CliCall call;
    call.args = {"read", "-p", "rfc2217://127.0.0.1:" + std::to_string(FreeLoopbackPort())};
    const CliRun refused = RunCli(ZORVIK_CLI_PROGRAM, call);
    EXPECT_EQ(refused.status, 3);
    EXPECT_NE(refused.err.find("connection refused"), std::string::npos) << refused.err;

    call.args = {"read", "-p", "socket://no-such-host.invalid:2217"};
    const CliRun unknown = RunCli(ZORVIK_CLI_PROGRAM, call);
    EXPECT_EQ(unknown.status, 3);
    EXPECT_NE(unknown.err.find("socket://no-such-host.invalid:2217: unknown host"),
              std::string::npos)
        << unknown.err;
}

TEST(BusyPort, MessageNamesTheProcessHoldingIt) {
    SimProcess sim(ZORVIK_SIM_PROGRAM);
    ASSERT_FALSE(sim.Name().empty()) << "the simulator did not start";
    int ready[2];
    ASSERT_EQ(::pipe(ready), 0);
    // A helper holds the port as a terminal program would: open, locked, exclusive.
    const pid_t helper = ::fork();
    if (helper == 0) {
        const int fd = ::open(sim.PtyPath().c_str(), O_RDWR | O_NOCTTY);
        const bool held =
            fd >= 0 && ::flock(fd, LOCK_EX | LOCK_NB) == 0 && ::ioctl(fd, TIOCEXCL) == 0;
        (void)!::write(ready[1], held ? "y" : "n", 1);
        ::pause();
        ::_exit(0);
    }
    ::close(ready[1]);
    char held = 0;
    ASSERT_EQ(::read(ready[0], &held, 1), 1);
    ::close(ready[0]);
    EXPECT_EQ(held, 'y');

    CliCall call;
    call.args = {"read", "-p", sim.LinkPath()};
    const CliRun busy = RunCli(ZORVIK_CLI_PROGRAM, call);
    ::kill(helper, SIGKILL);
    ::waitpid(helper, nullptr, 0);
    EXPECT_EQ(busy.status, 3);
    EXPECT_NE(busy.err.find("port is busy: held by "), std::string::npos) << busy.err;
    EXPECT_NE(busy.err.find("(PID " + std::to_string(helper) + ")"), std::string::npos) << busy.err;
}

}  // namespace
}  // namespace zorvik::testing
