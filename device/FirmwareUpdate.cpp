// The firmware update: programming, read-back verification and reset over the serial port.
#include "device/FirmwareUpdate.h"

#include <algorithm>
#include <array>
#include <span>

#include "files/FileIo.h"

namespace zorvik {

namespace {

constexpr std::int64_t kMicrosPerMs = 1000;
constexpr char kNoLetter = 0;  // NextLetter's answer when the device stayed silent

using Record = std::array<std::uint8_t, kFirmwareRecordSize>;
using Page = std::array<std::uint8_t, kFirmwarePageSize>;

// Shows the bar for one phase, from position 0 to the file's size, and hides it however the
// phase ends (an error of the port or the file included).
class BarScope {
public:
    BarScope(FirmwareProgress& progress, std::uint64_t fileSize) : progress_(progress) {
        progress_.SetPosition(0);
        progress_.SetMaximum(static_cast<int>(fileSize));
        progress_.ShowBar();
    }
    ~BarScope() { Hide(); }
    BarScope(const BarScope&) = delete;
    BarScope& operator=(const BarScope&) = delete;

    void Hide() {
        if (shown_) {
            shown_ = false;
            progress_.HideBar();
        }
    }

private:
    FirmwareProgress& progress_;
    bool shown_ = true;
};

}  // namespace

FirmwareFileSize CheckFirmwareFileSize(std::uint64_t size) {
    if (size == 0) {
        return FirmwareFileSize::Empty;
    }
    if (size > kFirmwareMaxSize) {
        return FirmwareFileSize::TooLarge;
    }
    if (size % kFirmwareRecordSize != 0) {
        return FirmwareFileSize::PartialRecord;
    }
    return FirmwareFileSize::Acceptable;
}

FirmwareUpdate::FirmwareUpdate(TCustomComPort& port, Clock& clock, Notices& notices,
                               FirmwareProgress& progress)
    : port_(port), clock_(clock), progress_(progress), exchange_(port, clock, notices) {}

FirmwareOutcome FirmwareUpdate::Run(const std::string& path, FirmwareOptions options) {
    return exchange_.ReleasingPortOnError([&] { return Steps(path, options); });
}

FirmwareOutcome FirmwareUpdate::Steps(const std::string& path, FirmwareOptions options) {
    phase_ = FirmwarePhase::NotStarted;
    file_.clear();
    {
        // Read whole while the device is still untouched: the device erases its flash on 0x00,
        // so a file that is gone, cut short or changed since it was chosen must not get that
        // far, nor fail half way through the programming.
        InputFile file(path);
        const std::uint64_t size = file.Size();
        if (!FileStillAcceptable(size)) {
            return FirmwareOutcome::FileRefused;
        }
        file_.resize(static_cast<std::size_t>(size));
        file.ReadExactly(file_);
    }
    exchange_.PortReset();
    if (!exchange_.WaitReady()) {
        exchange_.Tell(FirmwareOutcome::NoReady);
        exchange_.ClosePort();
        return FirmwareOutcome::NoReady;
    }
    lastRepaintMicros_ = clock_.NowMicros();
    const FirmwareOutcome programmed = Program(options.verify);
    if (programmed != FirmwareOutcome::Done) {
        return programmed;
    }
    phase_ = FirmwarePhase::Programmed;
    if (options.verify) {
        const FirmwareOutcome verified = Verify();
        if (verified != FirmwareOutcome::Done) {
            return verified;
        }
    }
    Finish(options.reset);
    return FirmwareOutcome::Done;
}

FirmwareOutcome FirmwareUpdate::Program(bool verify) {
    const std::uint64_t size = file_.size();
    phase_ = FirmwarePhase::Programming;
    exchange_.Note("command byte: programming");
    exchange_.SendByte(kCmdFirmwareProgram);
    BarScope bar(progress_, size);

    std::uint64_t byteCounter = 0;
    Record record{};
    int page = 0;
    // The first request comes only once the device has erased its flash.
    std::int64_t deadline = clock_.NowMicros() + std::int64_t{kEraseTimeoutMs} * kMicrosPerMs;
    for (std::size_t at = 0; at < file_.size(); at += kFirmwareRecordSize) {
        std::copy_n(file_.begin() + static_cast<std::ptrdiff_t>(at), kFirmwareRecordSize,
                    record.begin());
        exchange_.Note("firmware page " + std::to_string(page++));
        int steps = 0;
        while (steps < kRecordSteps) {
            const char letter = NextLetter(deadline);
            switch (letter) {
                case kRequestPage:
                    // Back to back, one write a byte: the device takes the page as it comes.
                    for (int i = 0; i < kFirmwarePageSize; ++i) {
                        exchange_.SendByte(record[static_cast<std::size_t>(i)]);
                        progress_.Advance(1);
                        ++byteCounter;
                    }
                    steps = kStepsAfterPage;
                    break;
                case kRequestExtra:
                    exchange_.SendByte(record[kFirmwarePageSize]);
                    ++byteCounter;
                    ++steps;
                    break;
                case kRequestContinue:
                    if (size > byteCounter) {
                        exchange_.SendByte(kContinueMore);
                    } else {
                        exchange_.SendByte(verify ? kContinueVerify : kContinueDone);
                    }
                    ++steps;
                    break;
                case kProgrammingFailed:
                    exchange_.Tell(FirmwareOutcome::ProgrammingFailed);
                    port_.Close();
                    bar.Hide();
                    return FirmwareOutcome::ProgrammingFailed;
                default:  // kNoLetter
                    exchange_.Tell(FirmwareOutcome::DeviceSilent);
                    port_.Close();
                    bar.Hide();
                    return FirmwareOutcome::DeviceSilent;
            }
            deadline = clock_.NowMicros() + std::int64_t{kLetterTimeoutMs} * kMicrosPerMs;
        }
    }
    return FirmwareOutcome::Done;
}

char FirmwareUpdate::NextLetter(std::int64_t deadlineMicros) {
    std::string text;
    for (;;) {
        (void)port_.ReadStr(text, 1);
        if (text.size() == 1) {
            switch (text[0]) {
                case kRequestPage:
                case kRequestExtra:
                case kRequestContinue:
                case kProgrammingFailed:
                    return text[0];
                default:
                    break;  // noise: read on at once
            }
        }
        const std::int64_t left = deadlineMicros - clock_.NowMicros();
        if (left <= 0) {
            return kNoLetter;
        }
        if (text.empty()) {
            RepaintNow();
            const std::int64_t leftMs = (left + kMicrosPerMs - 1) / kMicrosPerMs;
            (void)port_.WaitForInput(
                static_cast<int>(std::min<std::int64_t>(leftMs, kLetterWaitMs)));
        }
    }
}

void FirmwareUpdate::RepaintNow() {
    const std::int64_t now = clock_.NowMicros();
    if (now - lastRepaintMicros_ >= kRepaintEveryMs * kMicrosPerMs) {
        lastRepaintMicros_ = now;
        progress_.KeepPainted();
    }
}

bool FirmwareUpdate::FileStillAcceptable(std::uint64_t size) {
    const FirmwareFileSize check = CheckFirmwareFileSize(size);
    if (check == FirmwareFileSize::Acceptable) {
        return true;
    }
    exchange_.Tell(check);
    exchange_.ClosePort();
    return false;
}

FirmwareOutcome FirmwareUpdate::Verify() {
    exchange_.Note("verification");
    if (!exchange_.WaitReady()) {
        exchange_.Tell(FirmwareOutcome::NoVerifyReady);
        port_.Close();
        return FirmwareOutcome::NoVerifyReady;
    }
    exchange_.Note("command byte: verification");
    exchange_.SendByte(kCmdFirmwareVerify);
    BarScope bar(progress_, file_.size());

    Record record{};
    Page received{};
    int page = 0;
    for (std::size_t at = 0; at < file_.size(); at += kFirmwareRecordSize) {
        std::copy_n(file_.begin() + static_cast<std::ptrdiff_t>(at), kFirmwareRecordSize,
                    record.begin());
        exchange_.Note("verification page " + std::to_string(page++));
        exchange_.SendByte(kVerifyNextPage);
        for (int i = 0; i < kVerifyPauses; ++i) {
            clock_.Sleep(kVerifyPauseMs);
            progress_.Advance(kVerifyBarStep);
        }
        const int got = exchange_.ReadBlock(received.data(), kFirmwarePageSize);
        // Byte 256 of the record is never sent back, so it is not compared.
        if (got < kFirmwarePageSize ||
            !std::equal(received.begin(), received.end(), record.begin())) {
            exchange_.Tell(FirmwareOutcome::VerificationFailed);
            // Only once the user has taken in the notice.
            exchange_.SendByte(kVerifyMismatch);
            port_.Close();
            bar.Hide();
            return FirmwareOutcome::VerificationFailed;
        }
        RepaintNow();
    }
    exchange_.SendByte(kVerifyAllMatch);
    bar.Hide();
    return FirmwareOutcome::Done;
}

void FirmwareUpdate::Finish(bool reset) {
    if (reset) {
        exchange_.Note("reset byte");
        exchange_.SendByte(kFirmwareReset);
    }
    exchange_.ClosePort();
}

}  // namespace zorvik
