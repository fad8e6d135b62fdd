// The framing shared by every authenticated exchange with the device: port reset, Ready banner
// wait, command byte, authentication block, status reply wait, port close.
#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

#include "config/ConfigImage.h"
#include "config/Crc8.h"
#include "device/Notice.h"
#include "serial/Clock.h"
#include "serial/ComPort.h"

namespace zorvik {

constexpr std::string_view kReadyBanner = "Ready";  // the device accepts a command byte
constexpr int kReadyAttempts = 10;                  // polls for the banner before giving up
constexpr int kReadyPollMs = 250;                   // pause before each banner poll

constexpr std::uint8_t kCmdAuthenticated = 0x03;  // command byte of every authenticated exchange

constexpr int kAuthBlockSize = 17;                  // change flag + two password blocks
constexpr std::uint8_t kChangeFlagNone = 0x00;      // ordinary exchange
constexpr std::uint8_t kChangeFlagPassword = 0x01;  // bytes 9..16 carry a new access password
constexpr int kAuthPauseMs = 25;                    // pause between building and sending the block

constexpr int kStatusAttempts = 100;  // polls for a one-letter status reply before giving up
constexpr int kStatusPollMs = 25;     // pause before each status poll

constexpr std::uint8_t kBlockTrailer = 0x00;  // written right after a 257-byte block the host sends
constexpr int kBlockPauses = 52;  // 1 ms pauses for a 257-byte block (~45 ms) to cross the line
// A block still short after those pauses is waited for in 1 ms pauses: a device may fetch it from
// memory before sending, a USB adapter holds received bytes back, a network server batches them.
constexpr int kLateBlockPollMs = 1;      // pause between the reads of a late block
constexpr int kLateBlockQuietMs = 100;   // no new byte for this long: the block stays short
constexpr int kLateBlockLimitMs = 2000;  // the latest a block may be whole, after the pauses

constexpr char kStatusAccepted = 'O';       // password (or transfer) accepted
constexpr char kStatusWrongPassword = 'R';  // password rejected
constexpr char kStatusBadChecksum = 'E';    // transfer only: the block's checksum did not match

using AuthBlock = std::array<std::uint8_t, kAuthBlockSize>;

// Bytes of a block that carry a secret, which a trace of the port shows masked.
struct SecretBytes {
    int first;
    int count;
};

// What each command tells of a framing failure: each is worded per command.
struct FramingNotices {
    Notice noReady;        // the Ready banner never came
    Notice wrongPassword;  // status reply "R"
    Notice noAnswer;       // no status reply
};

enum class StatusReply { Accepted, WrongPassword, BadChecksum, None };

enum class FramingOutcome { Accepted, NoReady, WrongPassword, NoAnswer };

// The access password a device leaves the factory with; the window's password boxes start with it
// and the command line signs with it when given none.
constexpr const char* kFactoryPassword = "9466";

// An access password box holds exactly four characters before any authenticated exchange.
[[nodiscard]] bool IsValidAccessPassword(const std::u16string& password);

// Change flag, the password block of `password`, then zeros or the block of `newPassword`.
[[nodiscard]] AuthBlock BuildAuthBlock(const std::u16string& password);
[[nodiscard]] AuthBlock BuildPasswordChangeBlock(const std::u16string& password,
                                                 const std::u16string& newPassword);

// One exchange on one port. Each step is public because the commands differ in where their own
// work begins and which failures end them; RunAuthenticated strings the common steps together.
// Errors of the port layer (or of a file) are not caught here: they end the command and reach
// the caller's error report. On their way out the port is closed first (ReleasingPortOnError),
// so it is released before the report shows: other programs (and autodetection) can open it at
// once, and a pulled adapter's descriptor is not kept.
class DeviceExchange {
public:
    DeviceExchange(TCustomComPort& port, Clock& clock, Notices& notices)
        : port_(port), clock_(clock), notices_(notices) {}

    // Runs one command's steps. An error that leaves them closes the port, then goes on to the
    // caller: every command runs its steps through this.
    template <typename Steps>
    auto ReleasingPortOnError(Steps&& steps) -> decltype(steps()) {
        try {
            return steps();
        } catch (...) {
            port_.Abandon();
            throw;
        }
    }

    [[nodiscard]] TCustomComPort& Port() { return port_; }
    [[nodiscard]] Clock& Time() { return clock_; }

    // Close if open, then open: every exchange starts on a freshly opened port.
    void PortReset();
    // Up to 10 polls 250 ms apart for a complete "Ready" in one read; a partial banner is
    // consumed and not joined with the next read. Once a banner matches, whatever else has already
    // arrived is dropped: a device repeats its banner while it waits, and a network serial server
    // can hand over banners sent before the port was set up. Left in place, a later banner's "R"
    // would be taken for the answer "wrong password".
    [[nodiscard]] bool WaitReady();
    // The Ready banner wait listens instead (ListenForReady every 20 ms, over the same 2.5 s):
    // a station of many devices gains the time between polls on every device. Nothing sent
    // changes.
    void ListenForBanner() { listen_ = true; }
    // A banner has just been seen on the open port: the next RunAuthenticated goes on from it,
    // without a port reset and a banner wait of its own.
    void BannerSeen() { bannerSeen_ = true; }
    void SendByte(std::uint8_t byte);
    void SendBytes(const std::uint8_t* data, int count);
    // Pause 25 ms, drop what has arrived since the command byte, then all 17 bytes in one write.
    void SendAuthBlock(const AuthBlock& block);
    // Up to 100 polls 25 ms apart for "O" or "R" (and "E" when `checksumReply`); anything else
    // only uses up an attempt.
    [[nodiscard]] StatusReply WaitStatus(bool checksumReply = false);
    // `count` pauses of one millisecond, for a block to cross the line.
    void PauseMillis(int count);
    // Reads a block of `count` bytes the device has been sending since the pauses began. What has
    // arrived is taken at once; a block still short is read on in 1 ms pauses until it is whole,
    // no new byte has come for 100 ms, or 2 s have passed. Returns the bytes read.
    [[nodiscard]] int ReadBlock(std::uint8_t* buffer, int count);
    // The transfer phase of a command that sends 256 bytes: the operation byte, the bytes and
    // their checksum in one write, the trailer 0x00, 52 pauses of 1 ms, then up to 100 polls for
    // the device's verdict on the block ("O", "R", "E" or nothing). `secrets` are offsets in
    // the 257 bytes.
    [[nodiscard]] StatusReply TransferBlock(std::uint8_t operation, const ConfigImage& bytes,
                                            std::span<const SecretBytes> secrets = {});
    // Closes the port only while it is open.
    void ClosePort();

    // Whether this exchange has begun to send a change: the operation byte of a block the host
    // sends, or an authentication block with a new password. From then on a stop leaves the
    // device holding the old or the new; before it, the device is unchanged.
    [[nodiscard]] bool ChangeSent() const { return changeSent_; }

    // Tells the user of an outcome, the port's trace first, and returns once the user has taken
    // it in.
    void Tell(const Notice& notice);

    // Tells a trace of the port, if there is one, that a step begins.
    void Note(std::string_view step);
    // Tells a trace of the port, if there is one, that the next write carries a secret.
    void NoteSecret(const SecretBytes& secret);
    // The same for the bytes read until the next write (a block the device sends).
    void NoteSecretInReads(const SecretBytes& secret);
    // Tells a trace of the port, if there is one, whether the block just read held its checksum.
    void NoteBlockJudged(bool checksumHeld);

    // Port reset, banner, command byte 0x03, authentication block, status reply. A failure is
    // told as the command's notice and closes the port; only Accepted leaves it open.
    [[nodiscard]] FramingOutcome RunAuthenticated(const AuthBlock& block,
                                                  const FramingNotices& notices);

private:
    void DropArrivedInput();
    bool listen_ = false;
    bool bannerSeen_ = false;

    TCustomComPort& port_;
    Clock& clock_;
    Notices& notices_;
    bool changeSent_ = false;
};

}  // namespace zorvik
