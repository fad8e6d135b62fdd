// The stable names udev gives adapters, looked up by the device behind a port.
#pragma once

#include <map>
#include <string>

namespace zorvik::cli {

// The path a link resolves to, or `path` itself when it cannot be resolved.
[[nodiscard]] std::string RealPath(const std::string& path);

// The /dev/serial/by-id name of each device, keyed by the device's real path.
[[nodiscard]] std::map<std::string, std::string> ByIdNames();

// The by-id name of the adapter behind a port as the user gave it, or empty.
[[nodiscard]] std::string ByIdOf(const std::string& given);

}  // namespace zorvik::cli
