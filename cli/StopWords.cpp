// The words for what a device holds after a command that changes it ended early.
#include "cli/StopWords.h"

namespace zorvik::cli {

std::string MayHoldNewPassword(const std::optional<std::string>& typed) {
    return "the device may hold the new password" + (typed ? " (" + *typed + ")" : std::string()) +
           ": try it first";
}

}  // namespace zorvik::cli
