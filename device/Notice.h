// How each command ends, and the seam through which it tells its user: every command reports an
// outcome at the moment the window shows its message box, and the window and the command line
// each word it their own way.
#pragma once

#include <variant>

#include "config/SecurityRecord.h"
#include "serial/ComPort.h"

namespace zorvik {

// The read and write configuration commands.
enum class ReadOutcome { Read, BadPassword, NoReady, WrongPassword, NoAnswer, BadBlock };
enum class WriteOutcome {
    Stored,
    BadPassword,
    NoReady,
    WrongPassword,
    NoAnswer,
    TransferWrongPassword,
    TransferBadChecksum,
    TransferNoAnswer,
};

// The access password change.
enum class PasswordChangeOutcome {
    BadLength,      // a password is not 4 characters long; nothing was touched
    NoReady,        // no banner; the port is closed
    Changed,        // the device took the new password
    WrongPassword,  // the device refused the current password
    NoAnswer,       // no status reply
};

// The security settings command. A failed panel check is told as its SecurityCheck.
enum class SecurityOutcome {
    AccessPasswordLength,   // the access password is not 4 characters long
    PanelCheckFailed,       // one of the panel's checks failed; nothing was touched
    NoReady,                // no banner
    CurrentPasswordLength,  // the security password is not 10 characters long (after the banner)
    WrongPassword,          // the device refused the access password
    NoAnswer,               // no status reply to the authentication block
    Updated,                // the device stored the record
    RecordRefused,          // transfer status "R"
    BadChecksum,            // transfer status "E"
    NoTransferAnswer,       // no transfer status reply
};

// The firmware update. A refused file is told as its FirmwareFileSize.
enum class FirmwareOutcome {
    Done,                // programmed (and verified); nothing is told, port closed
    NoReady,             // no Ready banner before programming
    ProgrammingFailed,   // the device sent "E"
    DeviceSilent,        // no first request for 30 s (the erase), or no next one for 5 s
    NoVerifyReady,       // no Ready banner before verification
    VerificationFailed,  // a page came back short or different
    FileRefused,         // the file's size has become unacceptable since it was chosen
};

enum class FirmwareFileSize {
    Acceptable,     // whole records, at least one, at most 61680 bytes
    TooLarge,       // more than the device holds
    PartialRecord,  // the last record would have to be completed with bytes nobody chose
    Empty,          // no record: the device would erase its flash and be left without firmware
};

// Port autodetection tells only that nothing answered.
enum class AutodetectOutcome { NotFound };

// One thing a command tells its user.
using Notice = std::variant<ReadOutcome, WriteOutcome, PasswordChangeOutcome, SecurityOutcome,
                            SecurityCheck, FirmwareOutcome, FirmwareFileSize, AutodetectOutcome>;

class Notices {
public:
    virtual ~Notices() = default;

    // Tells the user of `notice` and returns once the user has taken it in (the window: once its
    // message box is closed). `trace`, the port's observer when it has one, hears of it first, in
    // the words the window shows.
    virtual void Notify(const Notice& notice, PortObserver* trace) = 0;
};

}  // namespace zorvik
