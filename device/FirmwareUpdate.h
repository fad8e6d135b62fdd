// The firmware update over the serial port: Ready banner, device-paced programming, read-back
// verification and the optional reset, with the bytes, letters and pauses the device expects.
//
// The exchange, host = this program:
//   device "Ready"; host 0x00 (programming). For each 257-byte record of the file the device
//   asks with one letter at a time: "y" → the 256 page bytes, one write each; "s" → the record's
//   byte 256; "c" → 0x00 while the file goes on, at its end 0x01 (verification follows) or 0x02
//   (done). "E" means the device failed to program: the exchange ends there.
//   Verification: device "Ready" again; host 0x01; per record host 0x4E, 52 pauses of 1 ms,
//   then the device's 256 bytes of the page as stored; 0x45 after a mismatch, 0x4F when every
//   page matched. Last, when asked for, the reset byte 0x02.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "device/DeviceExchange.h"
#include "device/Notice.h"
#include "serial/Clock.h"
#include "serial/ComPort.h"

namespace zorvik {

// Firmware file layout.
constexpr int kFirmwarePageSize = 256;                      // page bytes of one record
constexpr int kFirmwareRecordSize = kFirmwarePageSize + 1;  // a page and the byte sent on "s"
constexpr std::uint64_t kFirmwareMaxSize = 61680;           // 240 records: the device's flash

// Command bytes, sent right after the Ready banner.
constexpr std::uint8_t kCmdFirmwareProgram = 0x00;  // programming follows
constexpr std::uint8_t kCmdFirmwareVerify = 0x01;   // verification follows

// The device's request letters during programming.
constexpr char kRequestPage = 'y';        // send the current record's page
constexpr char kRequestExtra = 's';       // send the current record's byte 256
constexpr char kRequestContinue = 'c';    // send the continuation byte
constexpr char kProgrammingFailed = 'E';  // programming failed; nothing more follows

// Continuation bytes, the answer to "c".
constexpr std::uint8_t kContinueMore = 0x00;    // more of the file follows
constexpr std::uint8_t kContinueVerify = 0x01;  // the file is complete, verification follows
constexpr std::uint8_t kContinueDone = 0x02;    // the file is complete, no verification

// Verification bytes.
constexpr std::uint8_t kVerifyNextPage = 0x4E;  // "N": send the next page back
constexpr std::uint8_t kVerifyMismatch = 0x45;  // "E": a page did not match
constexpr std::uint8_t kVerifyAllMatch = 0x4F;  // "O": every page matched
constexpr std::uint8_t kFirmwareReset = 0x02;   // last byte of the exchange: restart the device

// Programming pacing.
// A record is done when its step count reaches 258: "y" sets it to 256, "s" and "c" add one each.
constexpr int kRecordSteps = 258;     // step count that ends a record
constexpr int kStepsAfterPage = 256;  // step count once the page has been sent
// Longest time without a request letter before the device counts as gone. The device answers
// within milliseconds; only a valid letter starts the time again, so a line full of noise ends
// as surely as a silent one.
constexpr int kLetterTimeoutMs = 5000;
// Longest wait for the first request after the programming command: the device erases its whole
// flash before it asks for the first page, which takes seconds.
constexpr int kEraseTimeoutMs = 30000;
constexpr int kLetterWaitMs = 20;    // longest single wait on the port for the next letter
constexpr int kRepaintEveryMs = 20;  // how often the window may repaint during the transfer

// Verification pacing.
constexpr int kVerifyPauses = kBlockPauses;  // before a page is read back: 256 bytes take 44.4 ms
constexpr int kVerifyPauseMs = 1;            // length of each of those pauses
constexpr int kVerifyBarStep = 5;            // progress per pause: 260 per record of 257 bytes

// Whether a firmware file of `size` bytes can be programmed.
[[nodiscard]] FirmwareFileSize CheckFirmwareFileSize(std::uint64_t size);

// What the exchange shows of its progress. The bar is visible only while a phase runs.
class FirmwareProgress {
public:
    virtual ~FirmwareProgress() = default;

    virtual void ShowBar() = 0;
    virtual void HideBar() = 0;
    virtual void SetMaximum(int maximum) = 0;
    virtual void SetPosition(int position) = 0;
    // Moves the bar on by `step`, stopping at its maximum.
    virtual void Advance(int step) = 0;
    // Called every few milliseconds while the exchange waits for the device, so the window can
    // repaint; no input may be handled here.
    virtual void KeepPainted() {}
};

struct FirmwareOptions {
    bool verify = true;  // "Weryfikacja": read every page back and compare
    bool reset = false;  // "Reset po zaprogramowaniu": send the reset byte at the end
};

// How far an exchange got: from the programming command on, the device's old firmware is gone
// until a programming run completes.
enum class FirmwarePhase {
    NotStarted,   // nothing sent that changes the device
    Programming,  // the programming command went out: the flash is being replaced
    Programmed,   // every record programmed; verification and reset may follow
};

// One firmware exchange on the main window's port. Each failure is told as its notice and
// closes the port. Errors of the port layer and of the file are not caught: they end the
// exchange, close the port on their way out, and reach the caller's error report.
class FirmwareUpdate {
public:
    FirmwareUpdate(TCustomComPort& port, Clock& clock, Notices& notices,
                   FirmwareProgress& progress);

    // Programs the file at `path`, then verifies it and resets the device as `options` say. The
    // file is read whole before anything is sent, so a file that cannot be read, or changes
    // while the device is programmed, never leaves the device half programmed.
    [[nodiscard]] FirmwareOutcome Run(const std::string& path, FirmwareOptions options);

    // How far the last Run got, also when it ended with an error.
    [[nodiscard]] FirmwarePhase Phase() const { return phase_; }

private:
    [[nodiscard]] FirmwareOutcome Steps(const std::string& path, FirmwareOptions options);
    [[nodiscard]] FirmwareOutcome Program(bool verify);
    [[nodiscard]] FirmwareOutcome Verify();
    // False, after the size notice and with the port closed, when the file no longer has a
    // size that may be sent.
    [[nodiscard]] bool FileStillAcceptable(std::uint64_t size);
    // The next request letter ("y", "s", "c" or "E"), or 0 when none came before the deadline.
    // Other characters are dropped as they come.
    [[nodiscard]] char NextLetter(std::int64_t deadlineMicros);
    void RepaintNow();
    // The reset byte when asked for, then the port closed.
    void Finish(bool reset);

    TCustomComPort& port_;
    Clock& clock_;
    FirmwareProgress& progress_;
    DeviceExchange exchange_;
    std::int64_t lastRepaintMicros_ = 0;
    std::vector<std::uint8_t> file_;  // the whole firmware file, read before the exchange
    FirmwarePhase phase_ = FirmwarePhase::NotStarted;
};

}  // namespace zorvik
