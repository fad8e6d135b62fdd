// What a device holds when a command that changes it ends before its answer: one wording for
// each moment, which every command (and provisioning's report) uses.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "cli/Console.h"
#include "cli/Device.h"
#include "cli/ExitCode.h"

namespace zorvik::cli {

// Nothing of the change went out.
inline constexpr std::string_view kDeviceNotChanged = "the device was not changed";
// The configuration went out; no answer says whether the device stored it.
inline constexpr std::string_view kConfigurationMayBeStored = "the configuration may be stored";
// The anti-theft settings went out; no answer says whether the device stored them.
inline constexpr std::string_view kSecuritySettingsMayBeStored =
    "the anti-theft settings may be stored";

// The new access password went out: "the device may hold the new password (NNNN): try it first".
// The password is shown only when the user typed it; one from a file or a pipe stays unshown.
[[nodiscard]] std::string MayHoldNewPassword(const std::optional<std::string>& typed);

// The failure a stop ends `device`'s command with: "COM41: interrupted " and `note`, and the
// status of the signal that stopped it.
[[nodiscard]] CliError StoppedWithNote(const Interrupted& stop, const Device& device,
                                       std::string_view note);

}  // namespace zorvik::cli
