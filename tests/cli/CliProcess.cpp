// Running zorvik-cli as a child process for the tests.
#include "tests/cli/CliProcess.h"

#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <signal.h>
#include <stdlib.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cctype>
#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <system_error>

namespace zorvik::testing {

namespace {

void ReadAvailable(int fd, std::string& into, bool& open) {
    char buffer[4096];
    const ssize_t n = ::read(fd, buffer, sizeof buffer);
    if (n > 0) {
        into.append(buffer, static_cast<std::size_t>(n));
    } else if (n == 0 || errno != EINTR) {
        open = false;
    }
}

std::vector<char*> ArgvOf(std::vector<std::string>& args) {
    std::vector<char*> argv;
    for (std::string& arg : args) {
        argv.push_back(arg.data());
    }
    argv.push_back(nullptr);
    return argv;
}

// In the child: the call's environment on top of the test's. The history is off unless the
// call turns it on, so no test writes into the user's own.
void SetEnvironment(const CliCall& call) {
    ::setenv("ZORVIK_HISTORY", "off", 1);
    for (const std::string& name : call.unset) {
        ::unsetenv(name.c_str());
    }
    for (const auto& [name, value] : call.env) {
        ::setenv(name.c_str(), value.c_str(), 1);
    }
}

std::size_t Count(const std::string& text, const std::string& part) {
    std::size_t count = 0;
    for (auto at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) {
        ++count;
    }
    return count;
}

}  // namespace

CliRun RunCliOnTerminal(const std::string& program, const CliCall& call,
                        const std::vector<std::string>& typed) {
    std::vector<std::string> args = {program};
    args.insert(args.end(), call.args.begin(), call.args.end());
    std::vector<char*> argv = ArgvOf(args);
    int terminal = -1;
    const pid_t pid = ::forkpty(&terminal, nullptr, nullptr, nullptr);
    if (pid < 0) {
        return {};
    }
    if (pid == 0) {
        SetEnvironment(call);
        ::execv(argv[0], argv.data());
        ::_exit(127);
    }
    CliRun run;
    std::size_t answered = 0;
    for (;;) {
        pollfd ready{terminal, POLLIN, 0};
        if (::poll(&ready, 1, 10'000) <= 0) {
            break;
        }
        char buffer[1024];
        const ssize_t n = ::read(terminal, buffer, sizeof buffer);
        if (n <= 0) {
            break;  // EIO once the program has gone
        }
        run.out.append(buffer, static_cast<std::size_t>(n));
        if (answered < typed.size() && Count(run.out, "password: ") > answered) {
            const std::string line = typed[answered++] + "\n";
            (void)!::write(terminal, line.data(), line.size());
        }
    }
    ::close(terminal);
    int status = 0;
    ::waitpid(pid, &status, 0);
    run.status = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    return run;
}

CliRun RunCli(const std::string& program, const CliCall& call) {
    std::vector<std::string> args = {program};
    args.insert(args.end(), call.args.begin(), call.args.end());
    std::vector<char*> argv = ArgvOf(args);

    int in[2];
    int out[2];
    int err[2];
    if (::pipe(in) != 0 || ::pipe(out) != 0 || ::pipe(err) != 0) {
        return {};
    }
    const pid_t pid = ::fork();
    if (pid == 0) {
        // No controlling terminal: passwords come from standard input or not at all.
        ::setsid();
        SetEnvironment(call);
        ::dup2(in[0], STDIN_FILENO);
        ::dup2(out[1], STDOUT_FILENO);
        ::dup2(err[1], STDERR_FILENO);
        for (int fd : {in[0], in[1], out[0], out[1], err[0], err[1]}) {
            ::close(fd);
        }
        if (call.inputClosed) {
            ::close(STDIN_FILENO);
        } else if (!call.inputPath.empty()) {
            const int fd = ::open(call.inputPath.c_str(), O_RDONLY);
            ::dup2(fd, STDIN_FILENO);
            ::close(fd);
        }
        ::execv(argv[0], argv.data());
        ::_exit(127);
    }
    ::close(in[0]);
    ::close(out[1]);
    ::close(err[1]);
    // The input is small: it fits the pipe, so it is written at once.
    (void)!::write(in[1], call.input.data(), call.input.size());
    ::close(in[1]);

    CliRun run;
    const auto start = std::chrono::steady_clock::now();
    bool interrupted = call.interruptAfterMs < 0 && !call.interruptWhen;
    bool outOpen = true;
    bool errOpen = true;
    while (outOpen || errOpen) {
        pollfd fds[2] = {{out[0], static_cast<short>(outOpen ? POLLIN : 0), 0},
                         {err[0], static_cast<short>(errOpen ? POLLIN : 0), 0}};
        if (::poll(fds, 2, 10) > 0) {
            if (fds[0].revents != 0) {
                ReadAvailable(out[0], run.out, outOpen);
            }
            if (fds[1].revents != 0) {
                ReadAvailable(err[0], run.err, errOpen);
            }
        }
        const bool due = call.interruptWhen ? call.interruptWhen()
                                            : std::chrono::steady_clock::now() - start >=
                                                  std::chrono::milliseconds(call.interruptAfterMs);
        if (!interrupted && due) {
            ::kill(pid, call.interruptSignal);
            interrupted = true;
        }
    }
    ::close(out[0]);
    ::close(err[0]);
    int status = 0;
    ::waitpid(pid, &status, 0);
    run.status = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    return run;
}

#ifdef ZORVIK_UNDER_WINE
std::string HostPath(const std::string& printed) {
    const char* prefix = std::getenv("WINEPREFIX");
    if (prefix == nullptr || printed.size() < 3 || printed[1] != ':' || printed[2] != '\\') {
        return printed;
    }
    std::string path = std::string(prefix) + "/dosdevices/" +
                       static_cast<char>(std::tolower(static_cast<unsigned char>(printed[0]))) +
                       ":" + printed.substr(2);
    for (char& c : path) {
        c = c == '\\' ? '/' : c;
    }
    return path;
}

void ForgetWineHistory() {
    const char* prefix = std::getenv("WINEPREFIX");
    if (prefix == nullptr) {
        return;
    }
    std::error_code error;
    for (const auto& user :
         std::filesystem::directory_iterator(std::string(prefix) + "/drive_c/users", error)) {
        std::filesystem::remove_all(user.path() / "AppData/Local/zorvik-cli/history", error);
    }
}
#else
std::string HostPath(const std::string& printed) {
    return printed;
}

void ForgetWineHistory() {}
#endif

}  // namespace zorvik::testing
