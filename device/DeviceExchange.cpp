// The framing shared by every authenticated exchange with the device.
#include "device/DeviceExchange.h"

#include <algorithm>

#include "device/ReadyListener.h"

namespace zorvik {

bool IsValidAccessPassword(const std::u16string& password) {
    return password.size() == static_cast<std::size_t>(kAccessPasswordLength);
}

AuthBlock BuildAuthBlock(const std::u16string& password) {
    AuthBlock block{};
    block[0] = kChangeFlagNone;
    const PasswordBlock current = ComputePasswordBlock(password);
    std::copy(current.begin(), current.end(), block.begin() + 1);
    return block;
}

AuthBlock BuildPasswordChangeBlock(const std::u16string& password,
                                   const std::u16string& newPassword) {
    AuthBlock block = BuildAuthBlock(password);
    block[0] = kChangeFlagPassword;
    const PasswordBlock next = ComputePasswordBlock(newPassword);
    std::copy(next.begin(), next.end(), block.begin() + 1 + kPasswordBlockSize);
    return block;
}

void DeviceExchange::PortReset() {
    changeSent_ = false;
    if (port_.Connected()) {
        port_.Close();
    }
    port_.Open();
}

bool DeviceExchange::WaitReady() {
    if (listen_) {
        Note("Ready banner wait, listening");
        if (!ListenForReady(port_, clock_, std::int64_t{kReadyAttempts} * kReadyPollMs * 1000,
                            kListenPollMs)) {
            return false;
        }
        DropArrivedInput();
        return true;
    }
    std::string text;
    for (int attempt = 0; attempt < kReadyAttempts; ++attempt) {
        Note("Ready banner wait, attempt " + std::to_string(attempt + 1));
        clock_.Sleep(kReadyPollMs);
        (void)port_.ReadStr(text, static_cast<int>(kReadyBanner.size()));
        if (text == kReadyBanner) {
            DropArrivedInput();
            return true;
        }
    }
    return false;
}

void DeviceExchange::DropArrivedInput() {
    // Bounded, so that a line that never falls quiet cannot hold the exchange here.
    std::array<std::uint8_t, 64> sink{};
    for (int i = 0; i < 16 && port_.Read(sink.data(), static_cast<int>(sink.size())) > 0; ++i) {
    }
}

void DeviceExchange::SendByte(std::uint8_t byte) {
    (void)port_.Write(byte);
}

void DeviceExchange::SendBytes(const std::uint8_t* data, int count) {
    (void)port_.Write(data, count);
}

void DeviceExchange::SendAuthBlock(const AuthBlock& block) {
    Note("authentication block");
    clock_.Sleep(kAuthPauseMs);
    // The device answers only the whole block, so nothing before it is a reply: a banner the
    // device had begun as the command byte came ends with its first letter, and that "R" (late
    // behind a network server, or the next banner's after a stale one) is not a refused password.
    DropArrivedInput();
    // The password block, and in a password change the new password's block as well.
    NoteSecret({1, kPasswordBlockSize});
    if (block[0] == kChangeFlagPassword) {
        NoteSecret({1 + kPasswordBlockSize, kPasswordBlockSize});
        changeSent_ = true;  // a write cut short may still have carried it
    }
    SendBytes(block.data(), kAuthBlockSize);
}

StatusReply DeviceExchange::WaitStatus(bool checksumReply) {
    Note(checksumReply ? "transfer status reply" : "status reply");
    std::string text;
    for (int attempt = 0; attempt < kStatusAttempts; ++attempt) {
        clock_.Sleep(kStatusPollMs);
        (void)port_.ReadStr(text, 1);
        if (text.size() != 1) {
            continue;
        }
        switch (text[0]) {
            case kStatusAccepted:
                return StatusReply::Accepted;
            case kStatusWrongPassword:
                return StatusReply::WrongPassword;
            case kStatusBadChecksum:
                if (checksumReply) {
                    return StatusReply::BadChecksum;
                }
                break;
            default:
                break;
        }
    }
    return StatusReply::None;
}

void DeviceExchange::PauseMillis(int count) {
    for (int i = 0; i < count; ++i) {
        clock_.Sleep(1);
    }
}

int DeviceExchange::ReadBlock(std::uint8_t* buffer, int count) {
    int got = port_.Read(buffer, count);
    const std::int64_t start = clock_.NowMicros();
    std::int64_t lastByte = start;
    while (got < count) {
        const std::int64_t now = clock_.NowMicros();
        if (now - lastByte >= std::int64_t{kLateBlockQuietMs} * 1000 ||
            now - start >= std::int64_t{kLateBlockLimitMs} * 1000) {
            break;
        }
        clock_.Sleep(kLateBlockPollMs);
        const int more = port_.Read(buffer + got, count - got);
        if (more > 0) {
            got += more;
            lastByte = clock_.NowMicros();
        }
    }
    return got;
}

StatusReply DeviceExchange::TransferBlock(std::uint8_t operation, const ConfigImage& bytes,
                                          std::span<const SecretBytes> secrets) {
    std::array<std::uint8_t, kBlockSize> block{};
    std::copy(bytes.begin(), bytes.end(), block.begin());
    block[kImageSize] = ComputeImageChecksum(bytes);
    Note("transfer");
    changeSent_ = true;
    SendByte(operation);
    for (const SecretBytes& secret : secrets) {
        NoteSecret(secret);
    }
    SendBytes(block.data(), kBlockSize);
    SendByte(kBlockTrailer);
    PauseMillis(kBlockPauses);
    return WaitStatus(true);
}

void DeviceExchange::ClosePort() {
    if (port_.Connected()) {
        port_.Close();
    }
}

void DeviceExchange::Note(std::string_view step) {
    if (PortObserver* observer = port_.Observer()) {
        observer->StepBegun(step);
    }
}

void DeviceExchange::NoteSecretInReads(const SecretBytes& secret) {
    if (PortObserver* observer = port_.Observer()) {
        observer->SecretInNextReads(secret.first, secret.count);
    }
}

void DeviceExchange::NoteBlockJudged(bool checksumHeld) {
    if (PortObserver* observer = port_.Observer()) {
        observer->BlockJudged(checksumHeld);
    }
}

void DeviceExchange::NoteSecret(const SecretBytes& secret) {
    if (PortObserver* observer = port_.Observer()) {
        observer->SecretInNextWrite(secret.first, secret.count);
    }
}

void DeviceExchange::Tell(const Notice& notice) {
    notices_.Notify(notice, port_.Observer());
}

FramingOutcome DeviceExchange::RunAuthenticated(const AuthBlock& block,
                                                const FramingNotices& notices) {
    const bool seen = bannerSeen_ && port_.Connected();
    bannerSeen_ = false;
    if (seen) {
        DropArrivedInput();  // banners queued behind the one seen, as after a banner wait
    } else {
        PortReset();
        if (!WaitReady()) {
            Tell(notices.noReady);
            ClosePort();
            return FramingOutcome::NoReady;
        }
    }
    Note("command byte");
    SendByte(kCmdAuthenticated);
    SendAuthBlock(block);
    switch (WaitStatus()) {
        case StatusReply::Accepted:
            return FramingOutcome::Accepted;
        case StatusReply::WrongPassword:
            Tell(notices.wrongPassword);
            ClosePort();
            return FramingOutcome::WrongPassword;
        default:
            Tell(notices.noAnswer);
            ClosePort();
            return FramingOutcome::NoAnswer;
    }
}

}  // namespace zorvik
