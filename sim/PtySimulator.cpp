// zorvik-sim's engine: the device model on a pseudo-terminal, on real time.
#include "sim/PtySimulator.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/ioctl.h>
#include <sys/prctl.h>
#include <termios.h>
#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iterator>
#include <optional>
#include <span>
#include <vector>

#include "config/Crc8.h"
#include "files/FileIo.h"
#include "sim/DeviceModel.h"
#include "sim/PortFolder.h"
#include "sim/TraceReplay.h"

namespace zorvik {

namespace {

// Longest single wait of the main loop, so that nothing can keep it asleep for good.
constexpr std::int64_t kLongestWaitMicros = 1'000'000;
// Timer slack asked of the kernel: the host's replies to device letters are measured in
// microseconds, and the default slack (50 us) would blur them.
constexpr unsigned long kTimerSlackNanos = 1'000;
constexpr std::size_t kReadChunk = 4096;       // bytes taken from the pty at a time
constexpr std::size_t kBytesPerLogLine = 32;   // device bytes gathered into one verbose line
constexpr std::int64_t kLogGapMicros = 2'000;  // a pause this long ends a verbose line
// From the host's flush to the device's reset. Bytes the host wrote just before it flushed
// (a closing byte, then closing the port) reach the master only after the flush is reported;
// they still belong to the exchange that is ending. The device sends nothing meanwhile.
constexpr std::int64_t kFlushSettleMicros = 20'000;
// Bytes unread this long after they were sent have found no listener: the host polls every
// 250 ms and a free-running banner comes every 500 ms.
constexpr std::int64_t kUnheardMicros = 400'000;
constexpr std::size_t kLongestPasswordFile = 4096;  // a password and perhaps a comment

volatile sig_atomic_t gStopSignal = 0;

void OnStopSignal(int signal) {
    gStopSignal = signal;
}

std::int64_t MonotonicMicros() {
    timespec ts{};
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return std::int64_t{ts.tv_sec} * 1'000'000 + ts.tv_nsec / 1000;
}

std::string ErrnoText(const std::string& what) {
    return what + ": " + std::strerror(errno);
}

// A file descriptor closed with its owner.
class Descriptor {
public:
    Descriptor() = default;
    explicit Descriptor(int fd) : fd_(fd) {}
    ~Descriptor() { Close(); }
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;
    Descriptor& operator=(Descriptor&& other) noexcept {
        Close();
        fd_ = other.fd_;
        other.fd_ = -1;
        return *this;
    }
    [[nodiscard]] int Get() const { return fd_; }
    void Close() {
        if (fd_ >= 0) {
            ::close(fd_);
            fd_ = -1;
        }
    }

private:
    int fd_ = -1;
};

struct Pty {
    Descriptor master;
    Descriptor slave;  // our own, so the master never sees a hang-up when the host closes
    std::string path;
};

// Opens a raw pty in packet mode; returns an error text on failure.
std::string OpenPty(Pty& pty) {
    pty.master = Descriptor(posix_openpt(O_RDWR | O_NOCTTY));
    if (pty.master.Get() < 0) {
        return ErrnoText("posix_openpt");
    }
    if (grantpt(pty.master.Get()) != 0 || unlockpt(pty.master.Get()) != 0) {
        return ErrnoText("grantpt/unlockpt");
    }
    char name[256];
    if (ptsname_r(pty.master.Get(), name, sizeof name) != 0) {
        return ErrnoText("ptsname");
    }
    pty.path = name;
    pty.slave = Descriptor(open(name, O_RDWR | O_NOCTTY));
    if (pty.slave.Get() < 0) {
        return ErrnoText("open " + pty.path);
    }
    // A fresh pty echoes, translates line ends and eats control bytes.
    termios settings{};
    if (tcgetattr(pty.slave.Get(), &settings) != 0) {
        return ErrnoText("tcgetattr");
    }
    cfmakeraw(&settings);
    cfsetispeed(&settings, B57600);
    cfsetospeed(&settings, B57600);
    if (tcsetattr(pty.slave.Get(), TCSANOW, &settings) != 0) {
        return ErrnoText("tcsetattr");
    }
    // Packet mode reports the host's flushes, which mark its opening and closing the port.
    int on = 1;
    if (ioctl(pty.master.Get(), TIOCPKT, &on) != 0) {
        return ErrnoText("TIOCPKT");
    }
    // Never block on the slave either: the simulator reads it only to drop unheard bytes.
    const int slaveFlags = fcntl(pty.slave.Get(), F_GETFL);
    if (slaveFlags < 0 || fcntl(pty.slave.Get(), F_SETFL, slaveFlags | O_NONBLOCK) != 0) {
        return ErrnoText("O_NONBLOCK");
    }
    // Never block on the master: while no host reads, banners are dropped, not piled up.
    const int flags = fcntl(pty.master.Get(), F_GETFL);
    if (flags < 0 || fcntl(pty.master.Get(), F_SETFL, flags | O_NONBLOCK) != 0) {
        return ErrnoText("O_NONBLOCK");
    }
    return "";
}

bool ReadWholeFile(const std::string& path, std::size_t limit, std::vector<std::uint8_t>& bytes,
                   std::string& error) {
    std::ifstream file(path, std::ios::binary);
    if (!file) {
        error = "cannot open " + path;
        return false;
    }
    // Read in pieces and only up to one byte past the limit: a file too long is told without
    // reading all of it, and a short one takes no more memory than it needs.
    bytes.clear();
    char piece[64 * 1024];
    while (bytes.size() <= limit && file.read(piece, sizeof piece).gcount() > 0) {
        bytes.insert(bytes.end(), piece, piece + file.gcount());
    }
    if (bytes.size() > limit) {
        error = path + " is longer than " + std::to_string(limit) + " bytes";
        return false;
    }
    return true;
}

// Writes by the rules of every file the programs write, so a reader never sees half a file.
bool WriteWholeFile(const std::string& path, const std::string& bytes, std::string& error) {
    try {
        ReplaceFileContents(
            path, std::span(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size()));
    } catch (const EInOutError& failure) {
        error = path + ": " + failure.what();
        return false;
    }
    return true;
}

std::string Hex(const std::uint8_t* data, std::size_t size) {
    std::string text;
    char part[4];
    for (std::size_t i = 0; i < size; ++i) {
        std::snprintf(part, sizeof part, i == 0 ? "%02X" : " %02X", data[i]);
        text += part;
    }
    return text;
}

class Simulator {
public:
    Simulator(const SimOptions& options, std::ostream& log)
        : options_(options), log_(log), model_(options.faults, options.pacing) {}

    int Run(std::ostream& out);

private:
    bool Prepare(std::string& error);
    void SendDue();
    // Drops what has lain unread on the line since the last sending, the way a wire does when
    // nobody listens: a pty would keep it for whoever opens the port next (QEMU reads it at
    // once into the guest's closed port, and a command then reads stale banners cut anywhere).
    void DropUnheardBytes(std::int64_t now);
    void TakeHostBytes(std::int64_t wokeAt);
    void AfterModel();
    void Say(const std::string& line);
    void Stamp(const std::string& line);
    void FlushDeviceBytes();

    struct Letter {
        char letter;
        std::int64_t sentAt;
    };

    const SimOptions& options_;
    std::ostream& log_;
    DeviceModel model_;
    std::optional<TraceReplay> replay_;  // plays a trace instead of the model
    Pty pty_;
    std::int64_t start_ = MonotonicMicros();
    int updatesSeen_ = 0;
    std::optional<Letter> waitingLetter_;  // a request letter the host has not answered yet
    std::vector<std::pair<char, std::int64_t>> latencies_;
    std::vector<std::uint8_t> deviceBytes_;  // sent and not yet in the verbose log
    std::optional<std::int64_t> resetAt_;    // when a flush seen from the host takes effect
    bool bannerPulled_ = false;              // the banner step's pull has happened
    int flushes_ = 0;                        // flushes seen from the host so far
    bool unplugNow_ = false;                 // pull the cable at the next turn of the loop
    std::int64_t lastSentAt_ = 0;            // when bytes last went onto the line
};

void Simulator::Say(const std::string& line) {
    FlushDeviceBytes();
    Stamp(line);
}

void Simulator::FlushDeviceBytes() {
    if (!deviceBytes_.empty()) {
        Stamp("device " + Hex(deviceBytes_.data(), deviceBytes_.size()));
        deviceBytes_.clear();
    }
}

void Simulator::Stamp(const std::string& line) {
    char stamp[32];
    std::snprintf(stamp, sizeof stamp, "%10.3f ",
                  static_cast<double>(MonotonicMicros() - start_) / 1e6);
    log_ << stamp << line << '\n' << std::flush;
}

bool Simulator::Prepare(std::string& error) {
    std::u16string password = options_.password;
    if (!options_.passwordFile.empty()) {
        std::vector<std::uint8_t> bytes;
        if (!ReadWholeFile(options_.passwordFile, kLongestPasswordFile, bytes, error)) {
            return false;
        }
        std::string line(bytes.begin(), std::find(bytes.begin(), bytes.end(), '\n'));
        if (line.ends_with('\r')) {
            line.pop_back();
        }
        if (line.size() != static_cast<std::size_t>(kAccessPasswordLength)) {
            error = options_.passwordFile + ": the first line is not a 4-character password";
            return false;
        }
        password.assign(line.begin(), line.end());
    }
    model_.SetAccessPassword(password);
    if (!options_.imageIn.empty()) {
        std::vector<std::uint8_t> bytes;
        if (!ReadWholeFile(options_.imageIn, kImageSize, bytes, error)) {
            return false;
        }
        if (bytes.size() != static_cast<std::size_t>(kImageSize)) {
            error = options_.imageIn + " is not a 256-byte image";
            return false;
        }
        std::array<std::uint8_t, kImageSize> image{};
        std::copy(bytes.begin(), bytes.end(), image.begin());
        model_.SetConfigImage(image);
    }
    if (!options_.firmwareIn.empty()) {
        std::vector<std::uint8_t> bytes;
        if (!ReadWholeFile(options_.firmwareIn, kFlashSize, bytes, error)) {
            return false;
        }
        model_.LoadFlash(std::move(bytes));
    }
    if (!options_.replayFile.empty()) {
        // Read as it is played, never whole: a trace of any length takes little memory. A first
        // pass finds a line in error before the port is offered.
        auto file = std::make_unique<std::ifstream>(options_.replayFile, std::ios::binary);
        if (!*file) {
            error = "cannot open " + options_.replayFile;
            return false;
        }
        auto trace = std::make_unique<TraceReader>(std::move(file));
        while (trace->Next()) {
        }
        if (trace->Error()) {
            error = options_.replayFile + ": " + *trace->Error();
            return false;
        }
        replay_.emplace(std::move(trace));
    }
    error = OpenPty(pty_);
    return error.empty();
}

void Simulator::DropUnheardBytes(std::int64_t now) {
    int waiting = 0;
    if (now - lastSentAt_ < kUnheardMicros || ioctl(pty_.slave.Get(), FIONREAD, &waiting) != 0 ||
        waiting == 0) {
        return;
    }
    std::uint8_t buffer[kReadChunk];
    std::size_t dropped = 0;
    ssize_t got = 0;
    while ((got = read(pty_.slave.Get(), buffer, sizeof buffer)) > 0) {
        dropped += static_cast<std::size_t>(got);
    }
    if (dropped > 0 && options_.verbose) {
        Say("dropped " + std::to_string(dropped) + " bytes nobody read");
    }
}

void Simulator::SendDue() {
    const std::vector<std::uint8_t> bytes =
        replay_ ? replay_->TakeOutput(MonotonicMicros()) : model_.TakeOutput(MonotonicMicros());
    if (bytes.empty() || pty_.master.Get() < 0) {
        return;
    }
    if (options_.faults.bannerFreeRunning) {
        DropUnheardBytes(MonotonicMicros());
    }
    const ssize_t written = write(pty_.master.Get(), bytes.data(), bytes.size());
    const std::int64_t sentAt = MonotonicMicros();
    lastSentAt_ = sentAt;
    const std::size_t sent = written > 0 ? static_cast<std::size_t>(written) : 0;
    if (options_.verbose) {
        deviceBytes_.insert(deviceBytes_.end(), bytes.begin(), bytes.begin() + sent);
        if (deviceBytes_.size() >= kBytesPerLogLine) {
            FlushDeviceBytes();
        }
    }
    if (sent < bytes.size() && options_.verbose) {
        Say("dropped " + std::to_string(bytes.size() - sent) + " bytes: nobody reads the port");
    }
    const char last = static_cast<char>(bytes.back());
    if (sent == bytes.size() && model_.Programming() &&
        (last == 'y' || last == 's' || last == 'c')) {
        waitingLetter_ = Letter{last, sentAt};
    }
}

void Simulator::TakeHostBytes(std::int64_t wokeAt) {
    bool flushed = false;
    for (;;) {
        std::uint8_t buffer[kReadChunk];
        const ssize_t got = read(pty_.master.Get(), buffer, sizeof buffer);
        if (got < 0 && errno == EINTR) {
            continue;
        }
        if (got <= 0) {
            break;  // EAGAIN: all taken
        }
        if (buffer[0] != TIOCPKT_DATA) {
            flushed = flushed || (buffer[0] & TIOCPKT_FLUSHREAD) != 0;
            continue;
        }
        const std::size_t size = static_cast<std::size_t>(got) - 1;
        if (size == 0) {
            continue;
        }
        if (waitingLetter_) {
            latencies_.emplace_back(waitingLetter_->letter, wokeAt - waitingLetter_->sentAt);
            waitingLetter_.reset();
        }
        if (options_.verbose) {
            Say("host   " + Hex(buffer + 1, size));
        }
        if (replay_) {
            replay_->Receive(buffer + 1, size, MonotonicMicros());
        } else {
            model_.Receive(buffer + 1, size, MonotonicMicros());
        }
    }
    // The host's port layer flushes its input when it opens and when it closes the port.
    if (flushed) {
        if (options_.verbose) {
            Say("host flushed its input: the port was opened or closed");
        }
        // The host flushes once as it opens the port and once as it closes it, so the first
        // flush of the Nth exchange is flush 2N - 1.
        ++flushes_;
        if (options_.faults.pullAt == PullStep::Banner && !bannerPulled_ &&
            flushes_ == 2 * options_.faults.pullCount - 1) {
            bannerPulled_ = true;
            unplugNow_ = true;
        }
        waitingLetter_.reset();
        if (replay_) {
            replay_->HostFlushed(MonotonicMicros());
        } else if (!options_.faults.bannerFreeRunning) {
            resetAt_ = MonotonicMicros() + kFlushSettleMicros;
        }
    }
}

void Simulator::AfterModel() {
    for (const std::string& line : model_.TakeLog()) {
        Say(line);
    }
    if (replay_) {
        for (const std::string& line : replay_->TakeLog()) {
            Say(line);
        }
    }
    if (model_.FirmwareUpdates() == updatesSeen_) {
        return;
    }
    updatesSeen_ = model_.FirmwareUpdates();
    std::string error;
    if (!options_.firmwareOut.empty()) {
        const auto& flash = model_.Flash();
        const auto size = static_cast<std::size_t>(model_.ProgrammedPages()) * kFlashRecordSize;
        if (!WriteWholeFile(options_.firmwareOut, std::string(flash.begin(), flash.begin() + size),
                            error)) {
            Say(error);
        }
    }
    if (!options_.latencyReport.empty()) {
        std::string report;
        for (const auto& [letter, micros] : latencies_) {
            report += std::string(1, letter) + " " + std::to_string(micros) + "\n";
        }
        if (!WriteWholeFile(options_.latencyReport, report, error)) {
            Say(error);
        }
    }
    latencies_.clear();
}

int Simulator::Run(std::ostream& out) {
    std::string error;
    if (!Prepare(error)) {
        Say(error);
        return 1;
    }
    std::string dir;
    std::string name;
    try {
        dir = options_.portsDir.empty() ? DefaultPortsDir() : options_.portsDir;
        EnsurePortsDir(dir);
        for (const std::string& stale : RemoveLinksTo(dir, pty_.path)) {
            Say("removed " + stale + ", left behind for this pseudo-terminal " + pty_.path);
        }
        name = RegisterPort(dir, options_.port, pty_.path);
    } catch (const EPortFolder& failure) {
        Say(failure.what());
        return 1;
    }

    sigset_t stopSignals;
    sigset_t waitMask;
    sigemptyset(&stopSignals);
    sigaddset(&stopSignals, SIGINT);
    sigaddset(&stopSignals, SIGTERM);
    sigaddset(&stopSignals, SIGHUP);
    // The signals are held except inside the wait, so a stop is never missed between checks.
    sigprocmask(SIG_BLOCK, &stopSignals, &waitMask);
    sigdelset(&waitMask, SIGINT);
    sigdelset(&waitMask, SIGTERM);
    sigdelset(&waitMask, SIGHUP);
    struct sigaction action {};
    action.sa_handler = OnStopSignal;
    sigemptyset(&action.sa_mask);
    sigaction(SIGINT, &action, nullptr);
    sigaction(SIGTERM, &action, nullptr);
    sigaction(SIGHUP, &action, nullptr);
    // A parent that stopped reading our output must not kill us with the next line we print.
    signal(SIGPIPE, SIG_IGN);
    prctl(PR_SET_TIMERSLACK, kTimerSlackNanos, 0, 0, 0);

    out << name << ' ' << pty_.path << '\n' << std::flush;
    Say("registered " + name + " in " + dir + " as " + pty_.path);

    start_ = MonotonicMicros();
    std::optional<std::int64_t> unplugAt;
    if (options_.unplugAfterSeconds) {
        unplugAt = start_ + static_cast<std::int64_t>(*options_.unplugAfterSeconds * 1e6);
    }
    // The device is powered and idle, announcing itself as it does after the host opens.
    model_.HostOpened(start_);

    while (gStopSignal == 0) {
        if (resetAt_ && MonotonicMicros() >= *resetAt_) {
            resetAt_.reset();
            model_.HostOpened(MonotonicMicros());
        }
        if (!resetAt_) {
            SendDue();
        }
        AfterModel();
        const std::int64_t now = MonotonicMicros();
        if (unplugAt && now >= *unplugAt) {
            Say("unplugged");
            break;
        }
        const auto pulledAt = model_.CablePulledAt();
        if (replay_ && replay_->LineLost()) {
            Say("unplugged where the traced line went away");
            break;
        }
        if (unplugNow_ || (pulledAt && now >= *pulledAt)) {
            AfterModel();
            Say("unplugged at a named step");
            break;
        }
        std::int64_t wait = kLongestWaitMicros;
        if (resetAt_) {
            wait = std::max<std::int64_t>(*resetAt_ - now, 0);
        } else if (const auto next =
                       replay_ ? replay_->NextOutputAt(now) : model_.NextOutputAt(now)) {
            wait = std::min(wait, std::max<std::int64_t>(*next - now, 0));
        }
        if (unplugAt) {
            wait = std::min(wait, std::max<std::int64_t>(*unplugAt - now, 0));
        }
        if (pulledAt) {
            wait = std::min(wait, std::max<std::int64_t>(*pulledAt - now, 0));
        }
        if (wait >= kLogGapMicros) {
            FlushDeviceBytes();
        }
        const timespec timeout{static_cast<time_t>(wait / 1'000'000),
                               static_cast<long>(wait % 1'000'000) * 1000};
        pollfd master{pty_.master.Get(), POLLIN, 0};
        const int ready = ppoll(&master, 1, &timeout, &waitMask);
        const std::int64_t wokeAt = MonotonicMicros();
        if (ready < 0) {
            if (errno == EINTR) {
                continue;
            }
            Say(ErrnoText("ppoll"));
            break;
        }
        if (ready > 0 && (master.revents & POLLIN) != 0) {
            TakeHostBytes(wokeAt);
        }
    }
    if (gStopSignal != 0) {
        Say(std::string("stopped by ") + strsignal(gStopSignal));
    }
    AfterModel();
    pty_.master.Close();
    pty_.slave.Close();
    UnregisterPort(dir, name, pty_.path);
    return 0;
}

}  // namespace

int RunSimulator(const SimOptions& options, std::ostream& out, std::ostream& log) {
    Simulator simulator(options, log);
    return simulator.Run(out);
}

}  // namespace zorvik
