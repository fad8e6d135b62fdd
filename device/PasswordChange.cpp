// The access password change exchange.
#include "device/PasswordChange.h"

namespace zorvik {

namespace {

// This command words its failures without a full stop, and captions two of them "Error".
constexpr FramingMessages kMessages{
    {"Urządzenie nie odpowiada", "Błąd"},
    {"Błędne Hasło", "Error"},
    {"Urządzenie nie odpowiada", "Error"},
};
constexpr Message kChangedMessage{"Hasło zostało Zmienione", "Powodzenie"};

}  // namespace

bool ClosesPasswordWindow(PasswordChangeOutcome outcome) {
    return outcome != PasswordChangeOutcome::BadLength && outcome != PasswordChangeOutcome::NoReady;
}

static PasswordChangeOutcome PasswordChangeSteps(DeviceExchange& exchange,
                                                 const std::u16string& currentPassword,
                                                 const std::u16string& newPassword,
                                                 const PasswordChangeHooks& hooks) {
    if (!IsValidAccessPassword(newPassword) || !IsValidAccessPassword(currentPassword)) {
        exchange.ShowError(kPasswordLengthMessage);
        return PasswordChangeOutcome::BadLength;
    }
    exchange.PortReset();
    if (!exchange.WaitReady()) {
        exchange.ShowError(kMessages.noReady);
        exchange.ClosePort();
        return PasswordChangeOutcome::NoReady;
    }
    exchange.Note("command byte");
    exchange.SendByte(kCmdAuthenticated);
    exchange.SendAuthBlock(BuildPasswordChangeBlock(currentPassword, newPassword));

    PasswordChangeOutcome outcome = PasswordChangeOutcome::NoAnswer;
    switch (exchange.WaitStatus()) {
        case StatusReply::Accepted:
            exchange.ShowInformation(kChangedMessage);
            // The device already signs with the new password: the next command must too.
            if (hooks.setAccessPassword) {
                hooks.setAccessPassword(newPassword);
            }
            outcome = PasswordChangeOutcome::Changed;
            break;
        case StatusReply::WrongPassword:
            exchange.ShowError(kMessages.wrongPassword);
            outcome = PasswordChangeOutcome::WrongPassword;
            break;
        default:
            exchange.ShowError(kMessages.noAnswer);
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
