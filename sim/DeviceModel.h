// The Zorvik GSM device as the configurator meets it on the serial line: bytes in, bytes out, with
// its own timing.
//
// The device protocol, from the device's side, as this model implements it. Times are measured
// from the moment a host byte has fully arrived; with line pacing on, every byte in either
// direction takes 173.6 us (57600 baud, 10 bits a byte), so a 257-byte block takes 44.6 ms.
//
// Idle
//   When the host opens the port the device is idle and sends "Ready" 100 ms later, then every
//   500 ms while it stays idle. A host polling every 250 ms therefore reads one whole banner in
//   one 5-character read, within 700 ms of opening, and never two in one poll. While the port is
//   closed nothing is sent. In idle the device accepts a command byte; anything else is ignored.
//   A command byte stops the banner at once (banner bytes not yet on the line are dropped).
//
// Authenticated exchange, command byte 0x03
//   The device takes the 17-byte authentication block: change flag, the password block
//   (password bytes and their digest) of its access password in bytes 1..8, and in a password
//   change (flag 0x01) the new password's block in bytes 9..16. 2 ms after the block's last
//   byte it answers "O" when bytes 1..8 match, "R" when they do not (or when the new password's
//   digest does not match its bytes).
//   After "O":
//     password change: the new password replaces the old one at once; then the device expects
//       the closing byte 0x41.
//     0x01 (read): 1 ms later the device sends the configuration image and its checksum
//       (257 bytes) and then expects the closing byte 0x41.
//     0x81 (write image) / 0x80 (security record): the device takes 257 bytes and the trailing
//       0x00, checks the checksum and 5 ms later answers "O" (stored) or "E" (checksum wrong).
//       After "O" it expects the closing byte 0xC1 (image) or 0xC0 (record).
//   After "R" or "E" the exchange is over; the device ignores what follows (a password change
//   still sends its 0x41) until the host closes the port or falls silent.
//
// Firmware, command bytes 0x00 (programming) and 0x01 (verification); no authentication
//   0x00 erases the flash (240 pages of 257 bytes) and, for each page: 1 ms later "y", then
//   256 bytes; 2 ms later (the page write) "s", then one byte (the page's 257th); 1 ms later
//   "c", then the continuation byte: 0x00 the next page follows ("y" again; a 241st page gets
//   "E"), 0x01 programming is over and verification follows, 0x02 programming is over.
//   Any other continuation byte gets "E".
//   After 0x01 the device is idle again and sends "Ready" as after opening; the host answers
//   with 0x01, and each 0x4E gets the next page as stored (256 bytes, 1 ms after the request).
//   0x4F (all matched) or 0x45 (a page differed) ends verification.
//   After programming with 0x02, or after verification, one reset byte 0x02 may follow: the
//   device restarts and sends its first banner 300 ms later.
//
// Free-running banner (DeviceFaults::bannerFreeRunning)
//   The banner keeps the 500 ms beat of its first one (100 ms after power-up, the first
//   HostOpened); opening and closing the port change nothing (what had arrived at the host is
//   discarded there), and after an exchange the banner comes at the next beat.
//
// Silence and reopening
//   A host that falls silent for 3 s in the middle of an exchange (counted from the later of its
//   own last byte and the device's) returns the device to idle, with the banner 100 ms later.
//   3 s is longer than any wait of the host (2.5 s), so a resumed banner never reaches a host
//   still waiting for a status, where its "R" would read as a wrong password. A device that has
//   gone silent on purpose (a fault) stays silent. Opening or closing the port returns the device
//   to idle at once, dropping everything not yet sent.
//
// Faults (DeviceFaults) bend this behaviour on purpose, for tests of the host's failure paths.
#pragma once

#include <array>
#include <cstdint>
#include <deque>
#include <optional>
#include <string>
#include <vector>

#include "config/ConfigImage.h"

namespace zorvik {

// The steps of an exchange at which the cable can be pulled (zorvik-sim --unplug-after STEP).
enum class PullStep {
    Never,
    Banner,          // as soon as the host opens the port, while it waits for "Ready"
    AuthBlock,       // once the authentication block has arrived, before the status reply
    Transfer,        // half way through the 257-byte block, in either direction
    TransferStatus,  // once a written block has arrived, before the transfer status reply
    ProgramPage,     // half way through programming page `pullPage`
    VerifyPage,      // when the host asks for page `pullPage` back in verification
};

// Every switch is off by default; zorvik-sim offers each one as an option.
struct DeviceFaults {
    bool noBanner = false;  // never send "Ready"
    // First banner only this long after the host opens the port (more than 700 hides the
    // device from autodetection); 0 means the normal 100 ms.
    int bannerDelayMs = 0;
    // Banners on the device's own clock, every 500 ms from power-up whenever it is idle, as on a
    // three-wire cable: the device never sees the host open or close the port.
    bool bannerFreeRunning = false;
    bool splitBanner = false;        // the first banner comes as "Rea", then "dy" 300 ms later
    bool rejectPassword = false;     // answer every authentication block with "R"
    bool silentStatus = false;       // never answer the authentication block
    bool noiseBeforeStatus = false;  // three junk bytes (none "O" or "R") before the status reply
    bool badChecksumOnRead = false;  // the image sent on a read carries a checksum one bit off
    bool shortBlockOnRead = false;   // send only the first 200 bytes of the 257-byte block
    char writeReply = 'O';           // reply to a written image or record: 'O' (the device's own
                                     // judgement), 'E', 'R', or 0 for no reply at all
    bool firmwareRejectCommand = false;  // answer the programming command byte with "E"
    int firmwareErrorAfterPage = -1;     // "E" after page k (0-based) instead of the next request
    bool firmwareStrayLetters = false;   // a stray "x", "?" or "Y" before every request letter
    int firmwareSilentAfterPage = -1;  // after page k send nothing more until the port is reopened
    bool firmwareNoVerifyBanner = false;  // no "Ready" after programming ends with 0x01
    int firmwareCorruptPage = -1;         // the read-back of page k differs in one byte
    int firmwareEraseMs = 0;  // the erase after the programming command takes this long (0: 1 ms)
    // Every block the device sends (the image on a read, each page read back in verification)
    // starts this much later, as from a device slow to fetch it from its memory.
    int blockDelayMs = 0;
    PullStep pullAt = PullStep::Never;  // where the cable is pulled (see CablePulledAt)
    int pullPage = 0;                   // the page (0-based) of ProgramPage and VerifyPage
    int pullCount = 1;  // pull the Nth time an exchange reaches that step (auth#2: the second)
};

// One event on the line between host and device, as a port double records it.
struct WireEvent {
    enum class Kind { HostToDevice, DeviceToHost, Opened, Closed };
    Kind kind;
    std::vector<std::uint8_t> bytes;
    std::int64_t atMicros;
    std::string port;  // the port's name (for Opened and Closed; also set on byte events)
};

// Flash geometry.
constexpr int kFlashPageSize = 256;                         // firmware bytes of one page
constexpr int kFlashRecordSize = kFlashPageSize + 1;        // a page and its 257th byte
constexpr int kFlashPages = 240;                            // pages the device holds
constexpr int kFlashSize = kFlashPages * kFlashRecordSize;  // 61680 bytes

// A plausible configuration of a device of type 1 fresh from the installer: SMS centre,
// two telephones in use, a PIN, some reports on, light timings. Every byte is one that the
// configurator's window shows and writes back unchanged.
[[nodiscard]] std::array<std::uint8_t, kImageSize> DefaultDeviceImage();

// Every call takes the caller's time in microseconds; it never goes backwards from one call to
// the next. The model keeps no clock of its own and never sleeps.
class DeviceModel {
public:
    explicit DeviceModel(DeviceFaults faults = {}, bool paceAtLineRate = true);

    // The host opened (and flushed) the port: back to idle, nothing pending, banner scheduled.
    void HostOpened(std::int64_t nowUs);
    // The host closed the port: back to idle, nothing pending, no banner until it opens again.
    void HostClosed(std::int64_t nowUs);
    // Bytes the host wrote at `nowUs`; with pacing they arrive one line-byte time apart.
    void Receive(const std::uint8_t* data, std::size_t size, std::int64_t nowUs);
    // Bytes that have fully arrived at the host by `nowUs`, in order; they are removed.
    [[nodiscard]] std::vector<std::uint8_t> TakeOutput(std::int64_t nowUs);
    // When the next byte will have arrived, if the device will send one without further input.
    [[nodiscard]] std::optional<std::int64_t> NextOutputAt(std::int64_t nowUs);

    [[nodiscard]] const std::array<std::uint8_t, kImageSize>& ConfigImage() const { return image_; }
    void SetConfigImage(const std::array<std::uint8_t, kImageSize>& image) { image_ = image; }
    [[nodiscard]] std::u16string AccessPassword() const { return password_; }
    void SetAccessPassword(std::u16string password) { password_ = std::move(password); }
    // The last security record the device accepted, or nothing.
    [[nodiscard]] std::optional<std::array<std::uint8_t, kImageSize>> LastSecurityRecord() const {
        return securityRecord_;
    }
    // 240 pages of 257 bytes (page data and the 257th byte), erased bytes 0xFF.
    [[nodiscard]] const std::vector<std::uint8_t>& Flash() const { return flash_; }
    // Replaces the flash; a shorter image is completed with erased bytes, a longer one cut.
    void LoadFlash(std::vector<std::uint8_t> image);
    // Pages written by the last programming run.
    [[nodiscard]] int ProgrammedPages() const { return programmedPages_; }
    // Firmware updates finished so far (each one has its log line).
    [[nodiscard]] int FirmwareUpdates() const { return firmwareUpdates_; }
    // True while the device is in a firmware programming run (requests "y", "s", "c").
    [[nodiscard]] bool Programming() const;
    // When the cable is to be pulled, once the exchange has reached the step faults.pullAt names
    // (the Banner step is the program's own: the model does not see the host open). From then on
    // the device sends nothing.
    [[nodiscard]] std::optional<std::int64_t> CablePulledAt() const { return pulledAt_; }
    // The reset byte arrived at some time.
    [[nodiscard]] bool ResetRequested() const { return resetRequested_; }
    DeviceFaults& Faults() { return faults_; }

    // One readable line per finished exchange, for the program's log; taking them clears them.
    [[nodiscard]] std::vector<std::string> TakeLog();

private:
    enum class State {
        Idle,             // banners; waits for a command byte
        AuthBlock,        // collecting the authentication block
        Operation,        // password accepted; waits for the operation byte
        ReadClose,        // image sent; waits for 0x41
        PasswordClose,    // new password stored; waits for 0x41
        ReceiveBlock,     // collecting a written block and its trailing byte
        TransferClose,    // block stored; waits for 0xC1 or 0xC0
        Ended,            // exchange over; ignores bytes until silence or reopening
        ProgramPage,      // "y" sent; collecting 256 page bytes
        ProgramExtra,     // "s" sent; waits for the page's 257th byte
        ProgramContinue,  // "c" sent; waits for the continuation byte
        Verify,           // verification; waits for 0x4E, 0x4F or 0x45
        AfterFirmware,    // firmware done; an optional reset byte may come
        Hung,             // sends nothing until the port is opened or closed again
    };
    enum class BlockKind { Image, Security };
    struct Outgoing {
        std::uint8_t byte;
        std::int64_t due;
        bool banner;
    };
    struct FirmwareRun {
        bool active = false;
        bool programmed = false;  // the run began with programming (not a bare verification)
        int pagesVerified = 0;
        std::string outcome;  // how it ended, for the log line
    };

    void Advance(std::int64_t t);
    void Process(std::uint8_t byte, std::int64_t t);
    void ProcessIdle(std::uint8_t byte, std::int64_t t);
    void ProcessAuthBlock(std::int64_t t);
    void ProcessOperation(std::uint8_t byte, std::int64_t t);
    void ProcessBlock(std::int64_t t);
    void ProcessContinue(std::uint8_t byte, std::int64_t t);
    void ProcessVerify(std::uint8_t byte, std::int64_t t);
    void OnSilence(std::int64_t t);
    void EmitBanner(std::int64_t t);
    void CancelBanner(std::int64_t t);
    void Send(const std::uint8_t* data, std::size_t size, std::int64_t readyAt,
              bool banner = false);
    void SendText(const std::string& text, std::int64_t readyAt, bool banner = false);
    void SendLetter(char letter, std::int64_t readyAt);
    void Enter(State state, std::int64_t t);
    void BackToIdle(std::int64_t bannerAt);
    // `at`, or with a free-running banner the first beat not before it.
    [[nodiscard]] std::int64_t OnBeat(std::int64_t at) const;
    void Reset(std::int64_t nowUs, bool open);
    void Abandon(const std::string& why);
    // Pulls the cable at `at` if the fault names `step` (and, for pages, this page).
    [[nodiscard]] bool PullAt(PullStep step, std::int64_t at);
    void FinishFirmware(const std::string& tail);
    [[nodiscard]] bool BannersOn() const;
    [[nodiscard]] std::int64_t ByteTime(int count) const;
    [[nodiscard]] std::int64_t BlockDelay() const {
        return std::int64_t{faults_.blockDelayMs} * 1000;
    }
    [[nodiscard]] std::string Activity() const;
    void Log(std::string line) { log_.push_back(std::move(line)); }

    DeviceFaults faults_;
    bool pace_;

    std::array<std::uint8_t, kImageSize> image_;
    std::u16string password_ = u"9466";
    std::optional<std::array<std::uint8_t, kImageSize>> securityRecord_;
    std::vector<std::uint8_t> flash_;
    int programmedPages_ = 0;
    int firmwareUpdates_ = 0;
    bool resetRequested_ = false;

    State state_ = State::Idle;
    std::int64_t modelTime_ = 0;
    std::optional<std::int64_t> bannerAt_;   // next banner, while idle and open
    std::optional<std::int64_t> firstBeat_;  // the free-running banner's beat counts from here
    std::optional<std::int64_t> deadline_;   // silence timeout, while in an exchange
    bool splitPending_ = false;              // the next banner is the split one
    bool bannersSuppressed_ = false;         // no banners until the port is reopened
    std::deque<Outgoing> out_;
    std::int64_t lineFreeAt_ = 0;  // when the device's transmitter is idle again
    double inboundFreeAt_ = 0;     // when the host's last byte has fully arrived

    std::vector<std::uint8_t> collected_;  // bytes of the block being received
    BlockKind blockKind_ = BlockKind::Image;
    std::string readOutcome_;  // how the image went out, for the log line
    int page_ = 0;             // page being programmed or verified next
    int strayIndex_ = 0;
    FirmwareRun firmware_;

    std::vector<std::string> log_;
    std::optional<std::int64_t> pulledAt_;
    int pullStepsReached_ = 0;  // times an exchange has reached the step faults_.pullAt names
};

}  // namespace zorvik
