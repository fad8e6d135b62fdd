// The read and write configuration commands over one device exchange.
#include "device/ConfigCommands.h"

#include <algorithm>
#include <array>
#include <span>

#include "config/Configuration.h"
#include "config/Crc8.h"
#include "config/ImageLayout.h"

namespace zorvik {

namespace {

// The SIM PIN's digits, and the checksum, from which a PIN of a few digits could be worked out:
// a trace shows them masked, in the image read and in the image written alike.
constexpr std::array<SecretBytes, 2> kImageSecrets{{
    {image::kPin + 1, kPinDigits},
    {kImageSize, 1},
}};

constexpr FramingNotices kReadFraming{
    ReadOutcome::NoReady,
    ReadOutcome::WrongPassword,
    ReadOutcome::NoAnswer,
};
constexpr FramingNotices kWriteFraming{
    WriteOutcome::NoReady,
    WriteOutcome::WrongPassword,
    WriteOutcome::NoAnswer,
};

using Block = std::array<std::uint8_t, kBlockSize>;

[[nodiscard]] std::uint8_t ChecksumOf(const Block& block) {
    return ComputeImageChecksum(
        std::span<const std::uint8_t, kImageSize>(block.data(), kImageSize));
}

template <typename Outcome>
[[nodiscard]] Outcome FromFraming(FramingOutcome framing, Outcome noReady, Outcome wrongPassword,
                                  Outcome noAnswer) {
    switch (framing) {
        case FramingOutcome::NoReady:
            return noReady;
        case FramingOutcome::WrongPassword:
            return wrongPassword;
        default:
            return noAnswer;
    }
}

}  // namespace

static ReadResult ReadSteps(DeviceExchange& exchange, const std::u16string& password) {
    if (!IsValidAccessPassword(password)) {
        exchange.Tell(ReadOutcome::BadPassword);
        return {ReadOutcome::BadPassword, std::nullopt};
    }
    const FramingOutcome framing =
        exchange.RunAuthenticated(BuildAuthBlock(password), kReadFraming);
    if (framing != FramingOutcome::Accepted) {
        return {FromFraming(framing, ReadOutcome::NoReady, ReadOutcome::WrongPassword,
                            ReadOutcome::NoAnswer),
                std::nullopt};
    }

    exchange.Note("transfer");
    exchange.SendByte(kOpReadImage);
    exchange.PauseMillis(kBlockPauses);
    Block block{};
    for (const SecretBytes& secret : kImageSecrets) {
        exchange.NoteSecretInReads(secret);
    }
    const int received = exchange.ReadBlock(block.data(), kBlockSize);
    // Judged below as well, after the port is closed; the trace hears it here, beside the block.
    exchange.NoteBlockJudged(received == kBlockSize && ChecksumOf(block) == block[kImageSize]);
    exchange.SendByte(kCloseAfterRead);
    exchange.ClosePort();

    // A block cut short would leave zeros in its tail, and a missing one (all zeros, checksum
    // 0x00) would pass the checksum and wipe the window, so the count is judged as well.
    if (received < kBlockSize || ChecksumOf(block) != block[kImageSize]) {
        exchange.Tell(ReadOutcome::BadBlock);
        return {ReadOutcome::BadBlock, std::nullopt, received};
    }
    exchange.Tell(ReadOutcome::Read);
    ConfigImage image{};
    std::copy_n(block.begin(), kImageSize, image.begin());
    return {ReadOutcome::Read, image, received};
}

static WriteOutcome WriteSteps(DeviceExchange& exchange, const std::u16string& password,
                               const std::function<void()>& onPasswordAccepted,
                               const std::function<ConfigImage()>& encodeImage) {
    if (!IsValidAccessPassword(password)) {
        exchange.Tell(WriteOutcome::BadPassword);
        return WriteOutcome::BadPassword;
    }
    const FramingOutcome framing =
        exchange.RunAuthenticated(BuildAuthBlock(password), kWriteFraming);
    if (framing != FramingOutcome::Accepted) {
        return FromFraming(framing, WriteOutcome::NoReady, WriteOutcome::WrongPassword,
                           WriteOutcome::NoAnswer);
    }

    if (onPasswordAccepted) {
        onPasswordAccepted();
    }
    switch (exchange.TransferBlock(kOpWriteImage, encodeImage(), kImageSecrets)) {
        case StatusReply::Accepted:
            exchange.SendByte(kCloseAfterWrite);
            exchange.ClosePort();
            exchange.Tell(WriteOutcome::Stored);
            return WriteOutcome::Stored;
        case StatusReply::WrongPassword:
            exchange.Tell(WriteOutcome::TransferWrongPassword);
            exchange.ClosePort();
            return WriteOutcome::TransferWrongPassword;
        case StatusReply::BadChecksum:
            exchange.Tell(WriteOutcome::TransferBadChecksum);
            exchange.ClosePort();
            return WriteOutcome::TransferBadChecksum;
        case StatusReply::None:
            break;
    }
    exchange.Tell(WriteOutcome::TransferNoAnswer);
    exchange.ClosePort();
    return WriteOutcome::TransferNoAnswer;
}

// Every command releases the port before an error leaves it.
ReadResult ReadConfiguration(DeviceExchange& exchange, const std::u16string& password) {
    return exchange.ReleasingPortOnError([&] { return ReadSteps(exchange, password); });
}

WriteOutcome WriteConfiguration(DeviceExchange& exchange, const std::u16string& password,
                                const std::function<void()>& onPasswordAccepted,
                                const std::function<ConfigImage()>& encodeImage) {
    return exchange.ReleasingPortOnError(
        [&] { return WriteSteps(exchange, password, onPasswordAccepted, encodeImage); });
}

}  // namespace zorvik
