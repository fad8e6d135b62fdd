// The access password change exchange.
#include "device/PasswordChange.h"

namespace zorvik {

namespace {

constexpr FramingNotices kNotices{
    PasswordChangeOutcome::NoReady,
    PasswordChangeOutcome::WrongPassword,
    PasswordChangeOutcome::NoAnswer,
};

}  // namespace

static PasswordChangeOutcome PasswordChangeSteps(DeviceExchange& exchange,
                                                 const std::u16string& currentPassword,
                                                 const std::u16string& newPassword,
                                                 const PasswordChangeHooks& hooks) {
    if (!IsValidAccessPassword(newPassword) || !IsValidAccessPassword(currentPassword)) {
        exchange.Tell(PasswordChangeOutcome::BadLength);
        return PasswordChangeOutcome::BadLength;
    }
    exchange.PortReset();
    if (!exchange.WaitReady()) {
        exchange.Tell(kNotices.noReady);
        exchange.ClosePort();
        return PasswordChangeOutcome::NoReady;
    }
    exchange.Note("command byte");
    exchange.SendByte(kCmdAuthenticated);
    exchange.SendAuthBlock(BuildPasswordChangeBlock(currentPassword, newPassword));

    PasswordChangeOutcome outcome = PasswordChangeOutcome::NoAnswer;
    switch (exchange.WaitStatus()) {
        case StatusReply::Accepted:
            exchange.Tell(PasswordChangeOutcome::Changed);
            // The device already signs with the new password: the next command must too.
            if (hooks.setAccessPassword) {
                hooks.setAccessPassword(newPassword);
            }
            outcome = PasswordChangeOutcome::Changed;
            break;
        case StatusReply::WrongPassword:
            exchange.Tell(kNotices.wrongPassword);
            outcome = PasswordChangeOutcome::WrongPassword;
            break;
        default:
            exchange.Tell(kNotices.noAnswer);
            outcome = PasswordChangeOutcome::NoAnswer;
            break;
    }

    // The device waits for its closing byte whatever it answered.
    exchange.SendByte(kClosePasswordChange);
    if (hooks.clearChangeBox) {
        hooks.clearChangeBox();
    }
    exchange.ClosePort();
    return outcome;
}

// The port is released before an error leaves the command.
PasswordChangeOutcome ChangeAccessPassword(DeviceExchange& exchange,
                                           const std::u16string& currentPassword,
                                           const std::u16string& newPassword,
                                           const PasswordChangeHooks& hooks) {
    return exchange.ReleasingPortOnError(
        [&] { return PasswordChangeSteps(exchange, currentPassword, newPassword, hooks); });
}

}  // namespace zorvik
