// The serial port component: open with fixed line settings, write, read what has arrived, close.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <stdexcept>
#include <string>
#include <string_view>
#include <utility>

namespace zorvik {

// Another program that holds a port open.
struct PortHolder {
    std::string program;  // its name as the process list shows it ("minicom")
    int pid = 0;

    bool operator==(const PortHolder&) const = default;
};

// Error of the serial port layer: the layer's code and the platform error number (errno here).
class EComPort : public std::runtime_error {
public:
    // `winCode` > 0 is appended to the text as " (Error: n)"; otherwise WinCode() is -1.
    EComPort(int code, int winCode);
    [[nodiscard]] static EComPort CreateNoWinCode(int code);

    [[nodiscard]] int Code() const { return code_; }
    [[nodiscard]] int WinCode() const { return winCode_; }
    // The name of the port that raised it ("COM7"); empty when no port did.
    [[nodiscard]] const std::string& Port() const { return port_; }
    void SetPort(std::string port) { port_ = std::move(port); }
    // The network address behind the port ("rfc2217://pi.local:2217"); empty for a local port.
    [[nodiscard]] const std::string& Address() const { return address_; }
    void SetAddress(std::string address) { address_ = std::move(address); }
    // What a port-folder link leads to, when that is not present (an adapter unplugged).
    [[nodiscard]] const std::string& MissingTarget() const { return missingTarget_; }
    void SetMissingTarget(std::string target) { missingTarget_ = std::move(target); }
    // The program holding a busy port, when it could be found.
    [[nodiscard]] const std::optional<PortHolder>& Holder() const { return holder_; }
    void SetHolder(PortHolder holder) { holder_ = std::move(holder); }

private:
    int code_;
    int winCode_;
    std::string port_;
    std::string address_;
    std::string missingTarget_;
    std::optional<PortHolder> holder_;
};

// Error codes of the layer.
constexpr int kErrOpen = 1;             // "Unable to open com port"
constexpr int kErrWriteFile = 2;        // "WriteFile function failed"
constexpr int kErrReadFile = 3;         // "ReadFile function failed"
constexpr int kErrPurgeComm = 5;        // "PurgeComm function failed"
constexpr int kErrSetCommState = 7;     // "SetCommState function failed"
constexpr int kErrSetCommTimeouts = 8;  // "SetCommTimeouts failed"
constexpr int kErrSetupComm = 9;        // "SetupComm function failed"
constexpr int kErrClearCommError = 10;  // "ClearCommError function failed"
constexpr int kErrModemStatus = 11;     // "GetCommModemStatus function failed"
constexpr int kErrNotOpen = 24;         // "Port Not Open"

// The codes that a line gone away raises in the middle of an exchange: a failed write or read, or
// on Windows the queue count each read asks for, which fails first there.
[[nodiscard]] constexpr bool LineLostCode(int code) {
    return code == kErrWriteFile || code == kErrReadFile || code == kErrClearCommError;
}

// The text of a layer error code, without the platform number.
[[nodiscard]] std::string ComErrorText(int code);

class TCustomComPort;

// Watches one port: each open and close, each write, each read that got bytes, each error the
// layer raises, and the steps its user names. A byte trace hangs here.
class PortObserver {
public:
    virtual ~PortObserver() = default;

    virtual void PortOpened(const TCustomComPort& port) = 0;
    virtual void PortClosed(const TCustomComPort& port) = 0;
    virtual void BytesWritten(std::span<const std::uint8_t> bytes) = 0;
    virtual void BytesRead(std::span<const std::uint8_t> bytes) = 0;
    virtual void PortFailed(const EComPort& error) = 0;
    // The port's user begins a step of its exchange ("command byte").
    virtual void StepBegun(std::string_view step) = 0;
    // The next write carries a secret in bytes [first, first + count): it is seen masked.
    virtual void SecretInNextWrite(int first, int count) = 0;
    // The bytes read from now until the next write carry a secret in bytes [first, first + count),
    // counted from the first of them: they are seen masked.
    virtual void SecretInNextReads(int /*first*/, int /*count*/) {}
    // The block just read held its checksum, or did not: what a replay needs to end the same way
    // when the block's secrets are masked.
    virtual void BlockJudged(bool /*checksumHeld*/) {}
    // The port's user told the user something: a failure (`error`) or a success.
    virtual void MessageShown(std::string_view caption, std::string_view text, bool error) = 0;
};

// What every device operation needs of a port. The port by name (TComPort, over whichever line
// its name opens) and the in-memory port of the tests both derive from it. Reads never wait for
// data.
class TCustomComPort {
public:
    explicit TCustomComPort(std::string port = "COM1") : port_(std::move(port)) {}
    virtual ~TCustomComPort() = default;
    TCustomComPort(const TCustomComPort&) = delete;
    TCustomComPort& operator=(const TCustomComPort&) = delete;

    [[nodiscard]] const std::string& Port() const { return port_; }
    // Same name: nothing. Another name while connected: close, then open under the new name.
    void SetPort(const std::string& name);

    [[nodiscard]] bool Connected() const { return connected_; }

    // Does nothing when already connected; raises EComPort and stays closed on failure.
    void Open();
    // Does nothing when not connected; discards both queues.
    void Close();
    // Closes after a failure, raising nothing: the port is released whatever the platform says.
    void Abandon() noexcept;

    // Returns the count written; raises EComPort (code 24 when closed, 2 on failure).
    int Write(const std::uint8_t* buffer, int count);
    int Write(std::uint8_t byte) { return Write(&byte, 1); }
    // Copies at most `count` bytes that have already arrived; never waits.
    int Read(std::uint8_t* buffer, int count);
    // As Read; each byte becomes the char of the same code ("Ready" compares as text).
    int ReadStr(std::string& text, int count);

    // Waits up to `timeoutMs` for input to be readable, without consuming it. Lets a caller that
    // must answer the device at once wait on the port instead of spinning.
    [[nodiscard]] bool WaitForInput(int timeoutMs);

    // The port's name and, where there is one, the device behind it and its line settings.
    [[nodiscard]] virtual std::string Description() const { return port_; }

    // At most one observer; null for none. The observer outlives its time on the port.
    void SetObserver(PortObserver* observer) { observer_ = observer; }
    [[nodiscard]] PortObserver* Observer() const { return observer_; }

protected:
    // Platform steps. DoOpen raises EComPort and leaves nothing open on failure.
    virtual void DoOpen(const std::string& port) = 0;
    virtual void DoClose() = 0;
    virtual int DoWrite(const std::uint8_t* buffer, int count) = 0;
    virtual int DoRead(std::uint8_t* buffer, int count) = 0;
    virtual bool DoWaitForInput(int timeoutMs) = 0;

private:
    template <typename Step>
    auto Named(Step step) -> decltype(step());
    [[nodiscard]] EComPort NotOpenError() const;

    std::string port_;
    bool connected_ = false;
    PortObserver* observer_ = nullptr;
};

}  // namespace zorvik
