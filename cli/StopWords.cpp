// The words for what a device holds after a command that changes it ended early.
#include "cli/StopWords.h"

namespace zorvik::cli {

std::string MayHoldNewPassword(const std::optional<std::string>& typed) {
    return "the device may hold the new password" + (typed ? " (" + *typed + ")" : std::string()) +
           ": try it first";
}

CliError StoppedWithNote(const Interrupted& stop, const Device& device, std::string_view note) {
    return device.Failed(stop.Terminated() ? Exit::Terminated : Exit::Interrupted,
                         std::string(stop.what()) + " " + std::string(note));
}

}  // namespace zorvik::cli
