// One device's attempt at a row, as steps: look at what the device holds and which password it
// answers to, write the row's configuration, read it back, and set the row's new password.
//
// A device that refuses a password says nothing more for a while where it cannot see the port
// reopen (a three-wire cable): the look's next password is tried only once that silence has
// passed, on such a line as on one where reopening the port wakes the device at once.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "device/ConfigCommands.h"
#include "device/DeviceExchange.h"
#include "device/Notice.h"
#include "station/Rows.h"

namespace zorvik::station {

// How far an attempt got: what the device may hold when it ends there.
enum class Stage {
    Nothing,            // nothing of the row went out: the device was not changed
    ConfigurationSent,  // the configuration went out; no answer yet says it was stored
    Verifying,          // the device stored the configuration; it is being read back
    Verified,           // the configuration was read back as sent
    PasswordSent,       // the new password went out: the device may answer to it only
};

// Moments of an attempt worth a line of progress.
enum class Progress {
    AnsweredNewPassword,  // the device answered to its half-done row's new password
    AnsweredOldPassword,  // a row whose device may hold its new password: it still had the old
    Writing,              // the row's configuration is about to go out
};

// How an attempt ended.
struct AttemptEnd {
    enum class Kind {
        Done,            // written, verified and, where the row asks, the password changed
        HoldsFinished,   // the device holds a finished row: not changed, the row went back
        Refused,         // no password tried was taken
        LookFailed,      // the look at the device failed otherwise (`read`)
        WriteFailed,     // `write`
        VerifyFailed,    // the read-back failed (`read`)
        VerifyDiffers,   // the read-back holds other values
        PasswordFailed,  // `password`
        Stopped,         // a stop was asked for while waiting for the device
    };
    Kind kind = Kind::Done;
    ReadResult read;                                                  // LookFailed, VerifyFailed
    WriteOutcome write = WriteOutcome::Stored;                        // WriteFailed
    PasswordChangeOutcome password = PasswordChangeOutcome::Changed;  // PasswordFailed
    std::string heldRow;                                              // HoldsFinished
    bool triedOthers = false;            // Refused: passwords besides the row's were tried
    bool passwordWasAlreadyNew = false;  // Done: the row's new password was the device's already
};

// The attempt of one device on one exchange. Port errors and the clock's own stops pass through
// every step; Reached() then tells what the device may hold, and Settle() ends the attempt.
class Attempt {
public:
    // `taken` is the row the queue gave; `password` is used for a row that gives none. `stop`
    // cuts a wait for the device short.
    Attempt(DeviceExchange& exchange, RowQueue& queue, RowBook& book, const Row& taken,
            std::u16string password, std::function<bool()> stop,
            std::function<void(Progress, const Row&)> progress = {});

    // Every step in turn, until one ends the attempt. A device holding a finished row gives its
    // row back to the queue and leaves the book as it was; every other end is for Settle.
    [[nodiscard]] AttemptEnd Run();

    // The steps, each false when the attempt ends there (End() then says how).
    [[nodiscard]] bool Look();
    [[nodiscard]] bool Write();
    [[nodiscard]] bool Verify();
    [[nodiscard]] bool SetNewPassword();

    [[nodiscard]] const AttemptEnd& End() const { return end_; }
    [[nodiscard]] Stage Reached() const { return stage_; }
    // The row the attempt is for: the one taken, or a half-done row the device turned out to be.
    [[nodiscard]] const Row& ForRow() const { return *row_; }

    // The row is finished when `ok`; otherwise it goes back, and the book learns whether its
    // device may hold the new password.
    void Settle(bool ok);

private:
    // After a refusal, until the device's banner is back: false when a stop cut the wait short.
    [[nodiscard]] bool WaitOutRefusal();
    [[nodiscard]] bool Ends(AttemptEnd::Kind kind);

    DeviceExchange& exchange_;
    RowQueue& queue_;
    RowBook& book_;
    const Row* row_;
    std::u16string password_;
    std::function<bool()> stop_;
    std::function<void(Progress, const Row&)> progress_;
    Stage stage_ = Stage::Nothing;
    AttemptEnd end_;
};

}  // namespace zorvik::station
