// Starting and stopping the zorvik-sim program for the tests and benches that need a real pty.
#include "tests/support/SimProcess.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <stdlib.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <sstream>
#include <system_error>

namespace zorvik::testing {

int OpenDescriptors() {
    int count = 0;
    for ([[maybe_unused]] const auto& entry :
         std::filesystem::directory_iterator("/proc/self/fd")) {
        ++count;
    }
    return count;
}
namespace {

constexpr int kFirstLineTimeoutMs = 5000;  // longest wait for each byte of the port's line

}  // namespace

SimProcess::SimProcess(const std::string& program, const std::vector<std::string>& extra) {
    // mkdtemp makes the folder 0700: the port folder inside is ours alone.
    std::string pattern = (std::filesystem::temp_directory_path() / "zorvik-sim-XXXXXX").string();
    if (::mkdtemp(pattern.data()) == nullptr) {
        return;
    }
    root_ = pattern;
    portsDir_ = root_ + "/ports";
    logPath_ = root_ + "/sim.log";
    std::vector<std::string> args = {program, "--ports-dir", portsDir_};
    args.insert(args.end(), extra.begin(), extra.end());
    // Built before the fork: the child only calls what is safe between fork and exec.
    std::vector<char*> argv;
    for (std::string& arg : args) {
        argv.push_back(arg.data());
    }
    argv.push_back(nullptr);

    int out[2];
    if (::pipe(out) != 0) {
        return;
    }
    pid_ = ::fork();
    if (pid_ == 0) {
        ::dup2(out[1], STDOUT_FILENO);
        const int log = ::open(logPath_.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        ::dup2(log, STDERR_FILENO);
        ::close(out[0]);
        ::execv(argv[0], argv.data());
        ::_exit(127);
    }
    ::close(out[1]);
    // "COM41 /dev/pts/N" once the port is registered.
    std::string line;
    char c = 0;
    pollfd reader{out[0], POLLIN, 0};
    while (::poll(&reader, 1, kFirstLineTimeoutMs) > 0 && ::read(out[0], &c, 1) == 1 && c != '\n') {
        line += c;
    }
    ::close(out[0]);
    std::istringstream words(line);
    words >> name_ >> ptyPath_;
}

SimProcess::~SimProcess() {
    Stop();
    if (!root_.empty()) {
        std::error_code ignored;
        std::filesystem::remove_all(root_, ignored);
    }
}

int SimProcess::Stop() {
    if (pid_ <= 0) {
        return -1;
    }
    ::kill(pid_, SIGTERM);
    return Wait();
}

int SimProcess::Wait() {
    if (pid_ <= 0) {
        return -1;
    }
    int status = 0;
    const pid_t done = ::waitpid(pid_, &status, 0);
    pid_ = -1;
    return done > 0 && WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

}  // namespace zorvik::testing
