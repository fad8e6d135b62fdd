// passwd and security: the access password and the anti-theft settings.
#include "cli/Commands.h"

#include <optional>
#include <string>

#include "cli/CommandSupport.h"
#include "cli/Console.h"
#include "cli/Device.h"
#include "cli/ExitCode.h"
#include "cli/Passwords.h"
#include "cli/SecurityForm.h"
#include "cli/StopWords.h"

namespace zorvik::cli {

namespace {

constexpr const char* kNoTelephone =
    "security: protection is on, but the form gives no telephone number; the device was not "
    "changed";

// The checks in English; the window's order decides which is reported first.
void CheckSettings(const AntiTheftSettings& settings) {
    SecurityCheck check = BuildSecurityRecord(settings).outcome;
    if (check == SecurityCheck::Ok) {
        check = CheckCurrentPassword(settings.currentPassword);
    }
    switch (check) {
        case SecurityCheck::Ok:
            return;
        case SecurityCheck::NoPassword:
            throw CliError(Exit::Usage, "security: no current security password given");
        case SecurityCheck::NoTelephone:
            throw CliError(Exit::FileError, kNoTelephone);
        case SecurityCheck::NewPasswordsDiffer:
            throw CliError(Exit::Usage, "security: the new security passwords do not match");
        case SecurityCheck::NewPasswordLength:
            throw CliError(Exit::Usage,
                           "security: the new security password must be 10 characters");
        case SecurityCheck::CurrentPasswordLength:
            break;
    }
    throw CliError(Exit::Usage, "security: the current security password must be 10 characters");
}

}  // namespace

int Passwd(const Invocation& call) {
    NoOperands(call);
    const std::u16string current = AccessPassword(PasswordFile(call.args));
    Device device(RequiredPort(call), call.trace);
    PasswordReader reader(call.args.Has("new-password-stdin"), "--new-password-stdin");
    const std::u16string next = FromUtf8(reader.Read(
        "New access password: ", "Retype new access password: ", [](const std::string& typed) {
            const std::u16string password = FromUtf8(typed);
            if (!IsValidAccessPassword(password)) {
                throw CliError(Exit::Usage,
                               "passwd: the new access password must be 4 characters; the device "
                               "was not changed");
            }
            if (!IsPlainAscii(password)) {
                throw CliError(Exit::Usage,
                               "passwd: the new access password must be letters, digits or signs "
                               "of ASCII: the device compares bytes, and other characters are not "
                               "sent as typed; the device was not changed");
            }
        }));
    Step(device.Label() + ": changing the access password");
    // The new password is named in what the device may hold only when the user typed it: one
    // from a pipe or a script stays out of the terminal and its logs.
    std::optional<std::string> typed;
    if (!call.args.Has("new-password-stdin")) {
        typed = std::string(next.begin(), next.end());
    }
    PasswordChangeOutcome outcome = PasswordChangeOutcome::NoAnswer;
    try {
        outcome = ChangeAccessPassword(device.Exchange(), current, next, {});
    } catch (const Interrupted& stop) {
        throw StoppedWithNote(
            stop, device,
            device.Exchange().ChangeSent()
                ? "after the new password went out; " + MayHoldNewPassword(typed)
                : "before the new password went out; " + std::string(kDeviceNotChanged));
    }
    switch (outcome) {
        case PasswordChangeOutcome::Changed:
            Confirm(device.Label() +
                    ": access password changed; the device now answers only to the new one");
            return ToInt(Exit::Ok);
        case PasswordChangeOutcome::BadLength:
            throw CliError(Exit::Usage, "passwd: the access passwords must be 4 characters");
        case PasswordChangeOutcome::NoReady:
            throw FramingFailure(device, FramingOutcome::NoReady);
        case PasswordChangeOutcome::WrongPassword:
            throw FramingFailure(device, FramingOutcome::WrongPassword);
        case PasswordChangeOutcome::NoAnswer:
            break;
    }
    // The new password went out: the device may have taken it and its answer been lost.
    throw device.Failed(Exit::NoDevice,
                        "device did not answer the password change; " + MayHoldNewPassword(typed));
}

int Security(const Invocation& call) {
    const std::string path = PlainOperands(call, 1, "one FILE")[0];
    OneReaderOfStandardInput(call, path, call.args.Has("passwords-stdin"));
    const std::u16string access = AccessPassword(PasswordFile(call.args));
    AntiTheftSettings settings = ParseSecurityForm(FormText(path), Shown(path));
    if (settings.protection && settings.telephone.empty()) {
        // Said before three passwords are asked for, not after.
        throw CliError(Exit::FileError, kNoTelephone);
    }
    Device device(RequiredPort(call), call.trace);

    PasswordReader reader(call.args.Has("passwords-stdin"), "--passwords-stdin");
    settings.currentPassword = FromUtf8(reader.Read("Current security password: ", std::nullopt));
    if (settings.protection && settings.changePassword) {
        settings.newPassword =
            FromUtf8(reader.Read("New security password: ", "Retype new security password: "));
        settings.repeatedPassword = settings.newPassword;
        if (!IsPlainAscii(settings.newPassword)) {
            throw CliError(Exit::Usage,
                           "security: the new security password must be letters, digits or "
                           "signs of ASCII: the device compares bytes");
        }
    }
    CheckSettings(settings);
    Step(device.Label() + ": sending the anti-theft settings");

    SecurityOutcome outcome = SecurityOutcome::NoTransferAnswer;
    try {
        outcome = SendSecuritySettings(device.Exchange(), access, settings);
    } catch (const Interrupted& stop) {
        throw StoppedWithNote(
            stop, device,
            device.Exchange().ChangeSent()
                ? "after the anti-theft settings went out; " +
                      std::string(kSecuritySettingsMayBeStored)
                : "before the anti-theft settings went out; " + std::string(kDeviceNotChanged));
    }
    switch (outcome) {
        case SecurityOutcome::Updated:
            Confirm(device.Label() + ": anti-theft settings sent");
            return ToInt(Exit::Ok);
        case SecurityOutcome::AccessPasswordLength:
        case SecurityOutcome::PanelCheckFailed:
        case SecurityOutcome::CurrentPasswordLength:
            throw CliError(Exit::Usage, "security: the settings were refused before sending");
        case SecurityOutcome::NoReady:
            throw FramingFailure(device, FramingOutcome::NoReady);
        case SecurityOutcome::WrongPassword:
            throw FramingFailure(device, FramingOutcome::WrongPassword);
        case SecurityOutcome::NoAnswer:
            throw FramingFailure(device, FramingOutcome::NoAnswer);
        case SecurityOutcome::RecordRefused:
            throw device.Failed(Exit::WrongPassword,
                                "the device refused the anti-theft settings: wrong security "
                                "password");
        case SecurityOutcome::BadChecksum:
            throw device.Failed(Exit::DataError,
                                "the device found a checksum error in the anti-theft settings "
                                "and did not store them");
        case SecurityOutcome::NoTransferAnswer:
            break;
    }
    throw device.Failed(Exit::NoDevice, "the device did not confirm the anti-theft settings; " +
                                            std::string(kSecuritySettingsMayBeStored));
}

}  // namespace zorvik::cli
