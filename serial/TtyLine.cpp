// The line of a local serial device on Linux: exclusive raw tty at the device's line settings,
// non-waiting reads.
#include "serial/TtyLine.h"

#include "serial/PortHolder.h"

#include <fcntl.h>
#include <linux/serial.h>
#include <poll.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <climits>
#include <cstdint>
#include <cstdlib>
#include <thread>
#include <utility>

namespace zorvik {

namespace {

constexpr speed_t kLineSpeed = B57600;  // the device talks at 57600 baud, 8N1

constexpr short kHangUpEvents = POLLHUP | POLLERR | POLLNVAL;  // the other side is gone

// Owns a descriptor while Open is not yet complete, so that any failure leaves nothing open.
class PendingDescriptor {
public:
    explicit PendingDescriptor(int fd) : fd_(fd) {}
    ~PendingDescriptor() {
        if (fd_ < 0) {
            return;
        }
        if (exclusive_) {
            // The mode stays on the tty after close while someone else (a simulator holding
            // the pty's slave side) still has it open; clear it so the next open succeeds.
            ::ioctl(fd_, TIOCNXCL);
        }
        ::close(fd_);
    }
    PendingDescriptor(const PendingDescriptor&) = delete;
    PendingDescriptor& operator=(const PendingDescriptor&) = delete;

    [[nodiscard]] int Get() const { return fd_; }
    void MarkExclusive() { exclusive_ = true; }
    [[nodiscard]] int Release() { return std::exchange(fd_, -1); }

private:
    int fd_;
    bool exclusive_ = false;
};

// The error of a port another program holds, naming that program when it can be found.
EComPort Busy(int error, const std::string& path) {
    EComPort busy(kErrOpen, error);
    if (error == EWOULDBLOCK || error == EBUSY) {
        if (auto holder = FindPortHolder(path)) {
            busy.SetHolder(std::move(*holder));
        }
    }
    return busy;
}

bool SameLineSettings(const termios& want, const termios& got) {
    return (got.c_cflag & (CSIZE | PARENB | CSTOPB | CRTSCTS | CLOCAL | CREAD)) ==
               (want.c_cflag & (CSIZE | PARENB | CSTOPB | CRTSCTS | CLOCAL | CREAD)) &&
           cfgetispeed(&got) == cfgetispeed(&want) && cfgetospeed(&got) == cfgetospeed(&want) &&
           (got.c_iflag & (IXON | IXOFF | ISTRIP | ICRNL)) == 0 &&
           (got.c_lflag & (ICANON | ECHO | ISIG)) == 0 && (got.c_oflag & OPOST) == 0;
}

}  // namespace

TtyLine::TtyLine(const std::string& path) {
    const int fd = ::open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0 && errno == EBUSY) {
        throw Busy(errno, path);  // held in exclusive mode by another program
    }
    if (fd < 0) {
        throw EComPort(kErrOpen, errno);
    }
    PendingDescriptor pending(fd);

    if (!::isatty(fd)) {
        throw EComPort(kErrOpen, errno != 0 ? errno : ENOTTY);
    }
    // Exclusive like the platform's unshared open: flock keeps out other programs that lock
    // (and root, whom TIOCEXCL does not stop), TIOCEXCL keeps out those that do not lock.
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        throw Busy(errno, path);
    }
    if (::ioctl(fd, TIOCEXCL) != 0) {
        throw Busy(errno, path);
    }
    pending.MarkExclusive();

    Configure(fd);
    fd_ = pending.Release();
    // The device itself rather than a link to it, which a port folder holds.
    char real[PATH_MAX];
    openedPath_ = ::realpath(path.c_str(), real) != nullptr ? std::string(real) : path;
}

TtyLine::~TtyLine() {
    try {
        Close();
    } catch (const EComPort&) {
        // The descriptor is closed even when discarding the queues failed; nothing to report.
    }
}

std::string TtyLine::Description() const {
    return openedPath_ + " " + kLineSettingsText;
}

void TtyLine::Configure(int fd) {
    termios line{};
    if (::tcgetattr(fd, &line) != 0) {
        throw EComPort(kErrSetCommState, errno);
    }
    ::cfmakeraw(&line);
    line.c_iflag &= ~(IXON | IXOFF | IXANY | INPCK);
    line.c_iflag |= IGNBRK;  // a line break is not data
    line.c_cflag &= ~(CSIZE | PARENB | CSTOPB | CRTSCTS | HUPCL);
    line.c_cflag |= CS8 | CLOCAL | CREAD;
    if (::cfsetispeed(&line, kLineSpeed) != 0 || ::cfsetospeed(&line, kLineSpeed) != 0) {
        throw EComPort(kErrSetCommState, errno);
    }
    if (::tcsetattr(fd, TCSANOW, &line) != 0) {
        throw EComPort(kErrSetCommState, errno);
    }
    // tcsetattr succeeds when any part was taken; a driver that dropped the rest would
    // garble every byte, so read the settings back.
    termios applied{};
    if (::tcgetattr(fd, &applied) != 0) {
        throw EComPort(kErrSetCommState, errno);
    }
    if (!SameLineSettings(line, applied)) {
        throw EComPort(kErrSetCommState, EINVAL);
    }

    // Modem lines held off, as the device expects; ptys have none and say so.
    int lines = TIOCM_DTR | TIOCM_RTS;
    if (::ioctl(fd, TIOCMBIC, &lines) != 0 && errno != ENOTTY && errno != EINVAL) {
        throw EComPort(kErrSetCommState, errno);
    }

    // Reads return at once with whatever has arrived, possibly nothing.
    applied.c_cc[VMIN] = 0;
    applied.c_cc[VTIME] = 0;
    if (::tcsetattr(fd, TCSANOW, &applied) != 0) {
        throw EComPort(kErrSetCommTimeouts, errno);
    }
    termios timed{};
    if (::tcgetattr(fd, &timed) != 0) {
        throw EComPort(kErrSetCommTimeouts, errno);
    }
    if (timed.c_cc[VMIN] != 0 || timed.c_cc[VTIME] != 0) {
        throw EComPort(kErrSetCommTimeouts, EINVAL);
    }

    // USB adapters otherwise hold received bytes back for up to 16 ms; a driver that cannot
    // do better is still usable.
    serial_struct serial{};
    if (::ioctl(fd, TIOCGSERIAL, &serial) == 0) {
        serial.flags |= ASYNC_LOW_LATENCY;
        (void)::ioctl(fd, TIOCSSERIAL, &serial);
    }

    // Whatever arrived while the port was closed (a stale "Ready" in a pty's or adapter's
    // queue) would otherwise be read as the answer to the next command.
    if (::tcflush(fd, TCIFLUSH) != 0) {
        throw EComPort(kErrSetupComm, errno);
    }
}

void TtyLine::Close() {
    if (fd_ < 0) {
        return;
    }
    const int fd = std::exchange(fd_, -1);
    const bool outputStuck = std::exchange(outputStuck_, false);
    // After a normal exchange only the input is discarded. Every write has already waited until
    // its bytes left, so the output queue holds nothing of ours; flushing it anyway would, on a
    // pseudo-terminal, throw away what the other side has not read yet, such as the closing
    // byte just written.
    // After a write that was cut short (timeout, adapter pulled) the output queue still holds
    // bytes the line would not take. Left there, close() waits for them to drain, up to the
    // driver's closing wait (30 s on serial and USB-serial ports), and they could reach the
    // device long after the command ended; they are discarded instead, and the driver is told
    // not to wait where this user may say so.
    if (outputStuck) {
        serial_struct serial{};
        if (::ioctl(fd, TIOCGSERIAL, &serial) == 0) {
            serial.closing_wait = ASYNC_CLOSING_WAIT_NONE;
            (void)::ioctl(fd, TIOCSSERIAL, &serial);
        }
    }
    const int flushError = ::tcflush(fd, outputStuck ? TCIOFLUSH : TCIFLUSH) == 0 ? 0 : errno;
    ::ioctl(fd, TIOCNXCL);
    ::close(fd);  // also drops the lock
    // A device that has gone took its queues with it; any other refusal is worth reporting.
    if (flushError != 0 && !DeviceGone(flushError)) {
        throw EComPort(kErrPurgeComm, flushError);
    }
}

int TtyLine::Write(const std::uint8_t* buffer, int count) {
    // Until the bytes are known to have left, a failure leaves them queued.
    outputStuck_ = true;
    const auto deadline = WriteDeadline(count);
    int done = 0;
    while (done < count) {
        const ssize_t n = ::write(fd_, buffer + done, static_cast<std::size_t>(count - done));
        if (n > 0) {
            done += static_cast<int>(n);
            continue;
        }
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n < 0 && errno != EAGAIN && errno != EWOULDBLOCK) {
            throw EComPort(kErrWriteFile, errno);
        }
        // The output queue is full: wait for room until the write timeout runs out.
        pollfd room{fd_, POLLOUT, 0};
        const int ready = ::poll(&room, 1, MsLeft(deadline));
        if (ready < 0 && errno != EINTR) {
            throw EComPort(kErrWriteFile, errno);
        }
        if (ready > 0 && (room.revents & kHangUpEvents) != 0) {
            throw EComPort(kErrWriteFile, EIO);
        }
        if (ready == 0 || LineClock::now() >= deadline) {
            return done;  // cut short by the timeout: the smaller count, no error
        }
    }

    // Like the platform's completed write, return once the bytes have left for the line: a
    // closing byte still queued when the port is closed right after would be discarded.
    for (;;) {
        int unsent = 0;
        if (::ioctl(fd_, TIOCOUTQ, &unsent) != 0) {
            if (DeviceGone(errno)) {
                throw EComPort(kErrWriteFile, errno);
            }
            break;  // the driver cannot tell; nothing to wait for
        }
        if (unsent <= 0) {
            break;
        }
        if (LineClock::now() >= deadline) {
            return done;  // the line stalled: the bytes are still queued
        }
        // Sleep about as long as the line needs for what is left, not a whole millisecond a byte.
        std::this_thread::sleep_for(
            std::chrono::duration<double, std::micro>(unsent * kLineByteMicros));
    }
    outputStuck_ = false;
    return done;
}

int TtyLine::Read(std::uint8_t* buffer, int count) {
    for (;;) {
        const ssize_t n = ::read(fd_, buffer, static_cast<std::size_t>(count));
        if (n > 0) {
            return static_cast<int>(n);
        }
        if (n == 0) {
            // A hung-up tty reads as empty, like a quiet one; only poll tells them apart.
            pollfd state{fd_, POLLIN, 0};
            if (::poll(&state, 1, 0) > 0 && (state.revents & kHangUpEvents) != 0) {
                throw EComPort(kErrReadFile, EIO);
            }
            return 0;
        }
        if (errno == EINTR) {
            continue;
        }
        if (errno == EAGAIN || errno == EWOULDBLOCK) {
            return 0;
        }
        throw EComPort(kErrReadFile, errno);
    }
}

bool TtyLine::WaitForInput(int timeoutMs) {
    const auto deadline = LineClock::now() + std::chrono::milliseconds(std::max(timeoutMs, 0));
    for (;;) {
        pollfd input{fd_, POLLIN, 0};
        const int ready = ::poll(&input, 1, MsLeft(deadline));
        if (ready < 0) {
            if (errno == EINTR) {
                continue;
            }
            throw EComPort(kErrReadFile, errno);
        }
        if (ready == 0) {
            return false;
        }
        if ((input.revents & kHangUpEvents) != 0) {
            throw EComPort(kErrReadFile, EIO);
        }
        return (input.revents & POLLIN) != 0;
    }
}

}  // namespace zorvik
