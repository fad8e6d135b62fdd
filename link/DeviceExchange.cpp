// The framing shared by every authenticated exchange with the device.
#include "link/DeviceExchange.h"

#include <algorithm>

namespace zorvik {

bool IsValidAccessPassword(const std::u16string& password) {
    return password.size() == static_cast<std::size_t>(kPasswordLength);
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
    if (port_.Connected()) {
        port_.Close();
    }
    port_.Open();
}

bool DeviceExchange::WaitReady() {
    std::string text;
    for (int attempt = 0; attempt < kReadyAttempts; ++attempt) {
        clock_.Sleep(kReadyPollMs);
        (void)port_.ReadStr(text, static_cast<int>(kReadyBanner.size()));
        if (text == kReadyBanner) {
            return true;
        }
    }
    return false;
}

void DeviceExchange::SendByte(std::uint8_t byte) {
    (void)port_.Write(byte);
}

void DeviceExchange::SendBytes(const std::uint8_t* data, int count) {
    (void)port_.Write(data, count);
}

void DeviceExchange::SendAuthBlock(const AuthBlock& block) {
    clock_.Sleep(kAuthPauseMs);
    SendBytes(block.data(), kAuthBlockSize);
}

StatusReply DeviceExchange::WaitStatus(bool checksumReply) {
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

StatusReply DeviceExchange::TransferBlock(std::uint8_t operation, const ConfigImage& bytes) {
    std::array<std::uint8_t, kBlockSize> block{};
    std::copy(bytes.begin(), bytes.end(), block.begin());
    block[kImageSize] = ComputeImageChecksum(bytes);
    SendByte(operation);
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

void DeviceExchange::ShowError(const Message& message) {
    dialogs_.MessageBox(std::string(message.text), std::string(message.caption), kMbError);
}

void DeviceExchange::ShowInformation(const Message& message) {
    dialogs_.MessageBox(std::string(message.text), std::string(message.caption), kMbInformation);
}

FramingOutcome DeviceExchange::RunAuthenticated(const AuthBlock& block,
                                                const FramingMessages& messages) {
    PortReset();
    if (!WaitReady()) {
        ShowError(messages.noReady);
        ClosePort();
        return FramingOutcome::NoReady;
    }
    SendByte(kCmdAuthenticated);
    SendAuthBlock(block);
    switch (WaitStatus()) {
        case StatusReply::Accepted:
            return FramingOutcome::Accepted;
        case StatusReply::WrongPassword:
            ShowError(messages.wrongPassword);
            ClosePort();
            return FramingOutcome::WrongPassword;
        default:
            ShowError(messages.noAnswer);
            ClosePort();
            return FramingOutcome::NoAnswer;
    }
}

}  // namespace zorvik
