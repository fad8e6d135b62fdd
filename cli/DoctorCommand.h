// zorvik-cli doctor on this machine: the checks with the real seams, their lines, and --fix.
#pragma once

#include <optional>
#include <string>

namespace zorvik::cli {

// Prints one line per check (or JSON) and returns 0 when the port can be used, 3 when it cannot,
// 4 when it opens but no device answers. With `fix`, as root, writes the adapter's udev rule,
// has udev apply it and checks again; otherwise prints the rule and the commands.
[[nodiscard]] int DoctorCommand(const std::optional<std::string>& port, bool json, bool fix);

}  // namespace zorvik::cli
