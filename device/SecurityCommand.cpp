// The security settings command.
#include "device/SecurityCommand.h"

#include <array>

namespace zorvik {

namespace {

constexpr FramingNotices kNotices{
    SecurityOutcome::NoReady,
    SecurityOutcome::WrongPassword,
    SecurityOutcome::NoAnswer,
};

}  // namespace

static SecurityOutcome SecuritySteps(DeviceExchange& exchange, const std::u16string& accessPassword,
                                     const AntiTheftSettings& settings) {
    if (!IsValidAccessPassword(accessPassword)) {
        exchange.Tell(SecurityOutcome::AccessPasswordLength);
        return SecurityOutcome::AccessPasswordLength;
    }
    // The record is complete before the port is opened.
    const SecurityBuild build = BuildSecurityRecord(settings);
    if (build.outcome != SecurityCheck::Ok) {
        exchange.Tell(build.outcome);
        return SecurityOutcome::PanelCheckFailed;
    }

    exchange.PortReset();
    if (!exchange.WaitReady()) {
        exchange.Tell(kNotices.noReady);
        exchange.ClosePort();
        return SecurityOutcome::NoReady;
    }
    exchange.Note("command byte");
    exchange.SendByte(kCmdAuthenticated);
    const AuthBlock auth = BuildAuthBlock(accessPassword);
    // The security password's length is only tested here, after the command byte; the device
    // then gets no authentication block and falls back to idle on its own.
    if (const SecurityCheck current = CheckCurrentPassword(settings.currentPassword);
        current != SecurityCheck::Ok) {
        exchange.Tell(current);
        exchange.ClosePort();
        return SecurityOutcome::CurrentPasswordLength;
    }
    exchange.SendAuthBlock(auth);
    switch (exchange.WaitStatus()) {
        case StatusReply::Accepted:
            break;
        case StatusReply::WrongPassword:
            exchange.Tell(kNotices.wrongPassword);
            exchange.ClosePort();
            return SecurityOutcome::WrongPassword;
        default:
            exchange.Tell(kNotices.noAnswer);
            exchange.ClosePort();
            return SecurityOutcome::NoAnswer;
    }

    // Both security passwords, and the checksum, which is computed over them.
    constexpr std::array<SecretBytes, 3> kSecrets{{
        {security::kCurrentPassword, security::kSecurityPasswordLength},
        {security::kNewPassword, security::kSecurityPasswordLength},
        {kImageSize, 1},
    }};
    switch (exchange.TransferBlock(kOpSecurityRecord, build.record, kSecrets)) {
        case StatusReply::Accepted:
            // The device waits for its closing byte until the user has read the notice.
            exchange.Tell(SecurityOutcome::Updated);
            exchange.SendByte(kCloseSecurityRecord);
            exchange.ClosePort();
            return SecurityOutcome::Updated;
        case StatusReply::WrongPassword:
            exchange.Tell(SecurityOutcome::RecordRefused);
            exchange.ClosePort();
            return SecurityOutcome::RecordRefused;
        case StatusReply::BadChecksum:
            exchange.Tell(SecurityOutcome::BadChecksum);
            exchange.ClosePort();
            return SecurityOutcome::BadChecksum;
        case StatusReply::None:
            break;
    }
    exchange.Tell(SecurityOutcome::NoTransferAnswer);
    exchange.ClosePort();
    return SecurityOutcome::NoTransferAnswer;
}

// The port is released before an error leaves the command.
SecurityOutcome SendSecuritySettings(DeviceExchange& exchange, const std::u16string& accessPassword,
                                     const AntiTheftSettings& settings) {
    return exchange.ReleasingPortOnError(
        [&] { return SecuritySteps(exchange, accessPassword, settings); });
}

}  // namespace zorvik
