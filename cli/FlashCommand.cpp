// flash: programming and verifying the device's firmware.
#include "cli/Commands.h"

#include <cstdint>
#include <cstdio>
#include <string>

#include "cli/CommandSupport.h"
#include "cli/Console.h"
#include "cli/Device.h"
#include "cli/ExitCode.h"
#include "cli/FlashProgress.h"
#include "cli/PortError.h"
#include "cli/StopWords.h"
#include "cli/System.h"
#include "device/FirmwareUpdate.h"
#include "files/FileIo.h"

namespace zorvik::cli {

namespace {

void CheckFirmwareFile(const std::string& path) {
    std::uint64_t size = 0;
    try {
        size = InputFile(path).Size();
    } catch (const EInOutError& error) {
        throw CliError(Exit::FileError, path + ": " + error.what());
    }
    switch (CheckFirmwareFileSize(size)) {
        case FirmwareFileSize::Acceptable:
            return;
        case FirmwareFileSize::TooLarge:
            throw CliError(Exit::FileError, path + ": too large for the device (" +
                                                std::to_string(size) + " bytes, at most " +
                                                std::to_string(kFirmwareMaxSize) + ")");
        case FirmwareFileSize::Empty:
            throw CliError(Exit::FileError,
                           path +
                               ": empty: programming it would leave the device without "
                               "firmware");
        case FirmwareFileSize::PartialRecord:
            break;
    }
    throw CliError(Exit::FileError, path + ": not a whole number of " +
                                        std::to_string(kFirmwareRecordSize) + "-byte records (" +
                                        std::to_string(size) + " bytes)");
}

constexpr const char* kIncomplete = "; the device's firmware is incomplete: flash it again";
constexpr const char* kProgrammedNotVerified =
    "; the firmware was programmed but not verified: flash it again to be sure";

// What a failure leaves on the device, by how far the update got.
std::string FlashNote(FirmwarePhase phase) {
    switch (phase) {
        case FirmwarePhase::NotStarted:
            return "; " + std::string(kDeviceNotChanged);
        case FirmwarePhase::Programming:
            return kIncomplete;
        case FirmwarePhase::Programmed:
            break;
    }
    return kProgrammedNotVerified;
}

}  // namespace

int Flash(const Invocation& call) {
    const std::string path = PlainOperands(call, 1, "one FIRMWARE.bin")[0];
    CheckFirmwareFile(path);
    Device device(RequiredPort(call), call.trace);
    FlashProgress progress(stderr,
                           StandardErrorIsTerminal() && CurrentVerbosity() != Verbosity::Quiet);
    progress.SetQuiet(CurrentVerbosity() == Verbosity::Quiet);
    FirmwareOptions options;
    options.verify = !call.args.Has("no-verify");
    options.reset = !call.args.Has("no-reset");
    FirmwareUpdate update(device.Port(), device.Time(), device.Notifications(), progress);
    FirmwareOutcome outcome = FirmwareOutcome::NoReady;
    Step(device.Label() + ": waiting for the Ready banner, then programming " + path);
    try {
        outcome = update.Run(path, options);
    } catch (const EInOutError& error) {
        throw CliError(Exit::FileError, path + ": " + error.what() + FlashNote(update.Phase()));
    } catch (const EComPort& error) {
        const CliError described = DescribePortError(error, device.Label());
        throw CliError(described.Code(), described.what() + FlashNote(update.Phase()));
    } catch (const Interrupted& stop) {
        const Exit code = stop.Terminated() ? Exit::Terminated : Exit::Interrupted;
        switch (update.Phase()) {
            case FirmwarePhase::NotStarted:
                throw device.Failed(
                    code, std::string(stop.what()) + "; " + std::string(kDeviceNotChanged));
            case FirmwarePhase::Programming:
                throw device.Failed(code,
                                    std::string(stop.what()) + " during programming" + kIncomplete);
            case FirmwarePhase::Programmed:
                break;
        }
        throw device.Failed(
            code, std::string(stop.what()) + " during verification" + kProgrammedNotVerified);
    }
    const std::string note = FlashNote(update.Phase());
    switch (outcome) {
        case FirmwareOutcome::Done: {
            std::string done = "firmware programmed";
            done += options.verify ? " and verified" : " (not verified)";
            done += options.reset ? "; device reset"
                                  : "; the device was not reset (--no-reset): reset it, or "
                                    "switch it off and on, to start the new firmware";
            Confirm(device.Label() + ": " + done);
            return ToInt(Exit::Ok);
        }
        case FirmwareOutcome::NoReady:
            throw device.Failed(Exit::NoDevice,
                                "no Ready banner from the device (" + AfterRefusalNote() +
                                    "); the firmware was not changed" + DoctorHint(device.Label()));
        case FirmwareOutcome::ProgrammingFailed:
            throw device.Failed(Exit::DataError, "the device reported a programming error" + note);
        case FirmwareOutcome::DeviceSilent:
            throw device.Failed(Exit::NoDevice,
                                "the device stopped asking for data during programming" + note);
        case FirmwareOutcome::NoVerifyReady:
            throw device.Failed(Exit::NoDevice,
                                "no Ready banner from the device before verification" + note);
        case FirmwareOutcome::VerificationFailed:
            throw device.Failed(Exit::DataError,
                                "verification failed: the device holds different firmware: flash "
                                "it again");
        case FirmwareOutcome::FileRefused:
            break;
    }
    throw CliError(Exit::FileError, path + ": the file changed since it was checked" + note);
}

}  // namespace zorvik::cli
