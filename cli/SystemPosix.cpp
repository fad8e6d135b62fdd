// The command line's calls into Linux.
#include "cli/System.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>

#include "cli/Console.h"
#include "cli/ExitCode.h"

namespace zorvik::cli {

namespace {

void CountSignal(int signal) {
    if (signal == SIGPIPE) {
        NotePipeClosed();
    } else {
        NoteInterrupt(signal != SIGINT, signal == SIGTERM ? "SIGTERM" : "SIGHUP");
    }
}

// A write past the file size limit then fails with EFBIG, as a file error that removes its
// temporary, instead of killing the program with the temporary left behind. A handler rather
// than SIG_IGN, so that programs started from here get the signal's usual effect back.
void IgnoreFileSizeLimit(int /*signal*/) {}

}  // namespace

const PlatformFacts& Platform() {
    static constexpr PlatformFacts kLinux{
        .portOption = "the device's port: a COM name or a device path",
        .portForms = "a device path such as /dev/ttyUSB0 or /dev/serial/by-id/..., ",
        .portsLine =
            "Each line gives the COM name, the device behind it, and its /dev/serial/by-id "
            "name where there is one.",
        .writtenInto = "a device, a named pipe or /dev/stdout",
        .interrupted = "interrupted by Ctrl-C",
        // The signals InstallInterruptHandler turns into a stop.
        .terminated = "stopped by SIGTERM, SIGHUP (a closed terminal) or SIGPIPE (a closed pipe)",
        .stopsAtOnce = "SIGTERM",
        .manualPage = true,
        .simulator = true,
        .doctor = true,
    };
    return kLinux;
}

void InstallInterruptHandler() {
    struct sigaction action {};
    action.sa_handler = CountSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = 0;  // no SA_RESTART: a blocking read returns EINTR
    // A closed terminal (an SSH session dropped) and a closed pipe (standard error read by
    // `head`) end a command as a supervisor's SIGTERM does: at its next step, with what it has
    // done written down, instead of at once.
    for (const int signal : {SIGINT, SIGTERM, SIGHUP, SIGPIPE}) {
        ::sigaction(signal, &action, nullptr);
    }
    action.sa_handler = IgnoreFileSizeLimit;
    ::sigaction(SIGXFSZ, &action, nullptr);
}

bool StandardErrorIsTerminal() {
    return ::isatty(STDERR_FILENO) == 1;
}

std::filesystem::path NativePath(const std::string& path) {
    return path;
}

int OpenForReading(const std::string& path) {
    return ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY);
}

bool IsSameFile(const std::string& a, const std::string& b) {
    struct stat first {};
    struct stat second {};
    return ::stat(a.c_str(), &first) == 0 && ::stat(b.c_str(), &second) == 0 &&
           first.st_dev == second.st_dev && first.st_ino == second.st_ino;
}

bool IsStandardInputFile(const std::string& path) {
    struct stat named {};
    struct stat input {};
    return ::stat(path.c_str(), &named) == 0 && ::fstat(STDIN_FILENO, &input) == 0 &&
           named.st_dev == input.st_dev && named.st_ino == input.st_ino;
}

std::optional<std::string> ReadHiddenLine(const std::string& prompt) {
    const int tty = ::open("/dev/tty", O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (tty < 0) {
        return std::nullopt;
    }
    struct Closer {
        int fd;
        ~Closer() { ::close(fd); }
    } closer{tty};
    termios saved{};
    const bool isTerminal = ::tcgetattr(tty, &saved) == 0;
    if (isTerminal) {
        termios quiet = saved;
        quiet.c_lflag &= ~static_cast<tcflag_t>(ECHO);
        quiet.c_lflag |= ECHONL;
        ::tcsetattr(tty, TCSAFLUSH, &quiet);
    }
    (void)!::write(tty, prompt.data(), prompt.size());
    std::string line;
    bool ended = false;
    bool interrupted = false;
    for (;;) {
        char c = 0;
        const ssize_t n = ::read(tty, &c, 1);
        if (n == 1) {
            if (c == '\n') {
                break;
            }
            line += c;
            continue;
        }
        if (n < 0 && errno == EINTR) {
            interrupted = true;
            break;
        }
        ended = true;
        break;
    }
    if (isTerminal) {
        ::tcsetattr(tty, TCSAFLUSH, &saved);
    }
    if (interrupted) {
        (void)!::write(tty, "\n", 1);
        StopIfInterrupted();
        throw Interrupted();
    }
    if (ended) {
        throw CliError(Exit::Usage, "no password typed");
    }
    if (!line.empty() && line.back() == '\r') {
        line.pop_back();
    }
    return line;
}

}  // namespace zorvik::cli
