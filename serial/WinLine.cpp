// The Windows line: an unshared handle at the device's line settings, non-waiting reads.
#include "serial/WinLine.h"

#include <windows.h>

#include <chrono>
#include <cstdint>
#include <utility>

#include "serial/ComPort.h"

namespace zorvik {

namespace {

constexpr DWORD kQueueBytes = 1024;      // input and output queue asked of the driver
constexpr DWORD kLineSpeed = CBR_57600;  // the device talks at 57600 baud, 8N1
constexpr char kXon = 17;  // flow control is off; the driver still wants the characters
constexpr char kXoff = 19;

// A write waits this long between looks at what the driver has not sent yet.
constexpr int kDrainPollMs = 1;

// Raised with what GetLastError says of the call that just failed.
[[noreturn]] void Fail(int code) {
    throw EComPort(code, static_cast<int>(::GetLastError()));
}

// Owns a handle while Open is not yet complete, so that any failure leaves nothing open.
class PendingHandle {
public:
    explicit PendingHandle(HANDLE handle) : handle_(handle) {}
    ~PendingHandle() {
        if (handle_ != INVALID_HANDLE_VALUE) {
            ::CloseHandle(handle_);
        }
    }
    PendingHandle(const PendingHandle&) = delete;
    PendingHandle& operator=(const PendingHandle&) = delete;

    [[nodiscard]] HANDLE Get() const { return handle_; }
    [[nodiscard]] HANDLE Release() { return std::exchange(handle_, INVALID_HANDLE_VALUE); }

private:
    HANDLE handle_;
};

// The device's line: 57600 baud, 8 data bits, no parity, 1 stop bit, binary, no flow control of
// any kind, DTR and RTS held off; every other field zero.
DCB DeviceLine() {
    DCB line{};
    line.DCBlength = sizeof line;
    line.BaudRate = kLineSpeed;
    line.fBinary = TRUE;
    line.fDtrControl = DTR_CONTROL_DISABLE;
    line.fRtsControl = RTS_CONTROL_DISABLE;
    line.XonLim = static_cast<WORD>(kQueueBytes / 4);
    line.XoffLim = static_cast<WORD>(kQueueBytes / 4);
    line.ByteSize = 8;
    line.Parity = NOPARITY;
    line.StopBits = ONESTOPBIT;
    line.XonChar = kXon;
    line.XoffChar = kXoff;
    return line;
}

bool SameLine(const DCB& want, const DCB& got) {
    return got.BaudRate == want.BaudRate && got.ByteSize == want.ByteSize &&
           got.Parity == want.Parity && got.StopBits == want.StopBits && !got.fOutxCtsFlow &&
           !got.fOutxDsrFlow && !got.fOutX && !got.fInX;
}

void Configure(HANDLE handle) {
    // Something that is not a serial port has no line settings to give.
    DCB current{};
    current.DCBlength = sizeof current;
    if (!::GetCommState(handle, &current)) {
        Fail(kErrOpen);
    }
    if (!::SetupComm(handle, kQueueBytes, kQueueBytes)) {
        Fail(kErrSetupComm);
    }
    DCB line = DeviceLine();
    if (!::SetCommState(handle, &line)) {
        Fail(kErrSetCommState);
    }
    // A driver that took only part of the settings would garble every byte: read them back.
    DCB applied{};
    applied.DCBlength = sizeof applied;
    if (!::GetCommState(handle, &applied)) {
        Fail(kErrSetCommState);
    }
    if (!SameLine(line, applied)) {
        throw EComPort(kErrSetCommState, ERROR_INVALID_PARAMETER);
    }
    // Reads return at once with what has arrived; a write ends within its bound.
    COMMTIMEOUTS timeouts{};
    timeouts.ReadIntervalTimeout = MAXDWORD;
    timeouts.WriteTotalTimeoutMultiplier = kWriteMsPerByte;
    timeouts.WriteTotalTimeoutConstant = kWriteMsConstant;
    if (!::SetCommTimeouts(handle, &timeouts)) {
        Fail(kErrSetCommTimeouts);
    }
    // The modem lines are neither asked for nor read: a pseudo-terminal has none, and nothing
    // here depends on them.
    // Whatever arrived while the port was closed (a stale "Ready") would otherwise be read as
    // the answer to the next command.
    if (!::PurgeComm(handle, PURGE_RXABORT | PURGE_RXCLEAR)) {
        Fail(kErrSetupComm);
    }
}

// Bytes the driver holds: received and not read (`input`) or written and not sent.
bool Queued(HANDLE handle, int code, DWORD& input, DWORD& output) {
    DWORD errors = 0;
    COMSTAT status{};
    if (!::ClearCommError(handle, &errors, &status)) {
        Fail(code);
    }
    input = status.cbInQue;
    output = status.cbOutQue;
    return true;
}

}  // namespace

WinLine::WinLine(const std::string& path) : handle_(INVALID_HANDLE_VALUE), path_(path) {
    // Device paths are plain ASCII ("\\.\COM5").
    const std::wstring wide(path.begin(), path.end());
    // Share mode 0: another program's open of the same port fails while this one holds it.
    PendingHandle pending(::CreateFileW(wide.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                                        OPEN_EXISTING, 0, nullptr));
    if (pending.Get() == INVALID_HANDLE_VALUE) {
        Fail(kErrOpen);
    }
    Configure(pending.Get());
    fineTimer_ = std::make_unique<FineTimerPeriod>();
    handle_ = pending.Release();
}

WinLine::~WinLine() {
    try {
        Close();
    } catch (const EComPort&) {
        // The handle is let go even when discarding its queues failed.
    }
}

std::string WinLine::Description() const {
    return path_ + " " + kLineSettingsText;
}

void WinLine::Close() {
    if (handle_ == INVALID_HANDLE_VALUE) {
        return;
    }
    const HANDLE handle = std::exchange(handle_, INVALID_HANDLE_VALUE);
    const bool outputStuck = std::exchange(outputStuck_, false);
    // Only the input is discarded after a normal exchange: every write has already waited until
    // its bytes left. After a write that was cut short the output still queued is discarded too,
    // so it cannot reach the device long after the command ended.
    const DWORD purge =
        PURGE_RXABORT | PURGE_RXCLEAR | (outputStuck ? PURGE_TXABORT | PURGE_TXCLEAR : 0);
    const bool purged = ::PurgeComm(handle, purge) != 0;
    const DWORD error = purged ? 0 : ::GetLastError();
    ::CloseHandle(handle);
    fineTimer_.reset();
    if (!purged) {
        throw EComPort(kErrPurgeComm, static_cast<int>(error));
    }
}

int WinLine::Write(const std::uint8_t* buffer, int count) {
    // Until the bytes are known to have left, a failure leaves them queued.
    outputStuck_ = true;
    const auto deadline = WriteDeadline(count);
    DWORD written = 0;
    if (!::WriteFile(handle_, buffer, static_cast<DWORD>(count), &written, nullptr)) {
        Fail(kErrWriteFile);
    }
    if (written < static_cast<DWORD>(count)) {
        return static_cast<int>(written);  // cut short by the write bound: no error
    }
    // Return once the bytes have left for the line, as on Linux: a closing byte still queued
    // when the port is closed right after would otherwise be lost.
    for (;;) {
        DWORD input = 0;
        DWORD output = 0;
        Queued(handle_, kErrWriteFile, input, output);
        if (output == 0) {
            break;
        }
        if (MsLeft(deadline) == 0) {
            return static_cast<int>(written);  // the line stalled: the bytes are still queued
        }
        ::Sleep(kDrainPollMs);
    }
    outputStuck_ = false;
    return static_cast<int>(written);
}

int WinLine::Read(std::uint8_t* buffer, int count) {
    DWORD got = 0;
    if (!::ReadFile(handle_, buffer, static_cast<DWORD>(count), &got, nullptr)) {
        Fail(kErrReadFile);
    }
    // Clears a line error the driver noted, which would otherwise stop further reads.
    DWORD input = 0;
    DWORD output = 0;
    Queued(handle_, kErrClearCommError, input, output);
    return static_cast<int>(got);
}

bool WinLine::WaitForInput(int timeoutMs) {
    const auto deadline =
        LineClock::now() + std::chrono::milliseconds(timeoutMs > 0 ? timeoutMs : 0);
    for (;;) {
        DWORD input = 0;
        DWORD output = 0;
        Queued(handle_, kErrReadFile, input, output);
        if (input > 0) {
            return true;
        }
        if (MsLeft(deadline) == 0) {
            return false;
        }
        ::Sleep(kDrainPollMs);
    }
}

}  // namespace zorvik
