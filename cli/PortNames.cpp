// The by-id names of adapters, from udev's folder of links.
#include "cli/PortNames.h"

#include <filesystem>
#include <system_error>

#include "cli/Device.h"
#include "serial/PortMap.h"

namespace zorvik::cli {

namespace {

constexpr const char* kByIdFolder = "/dev/serial/by-id";  // udev's stable names of adapters

}  // namespace

std::string RealPath(const std::string& path) {
    std::error_code error;
    const auto real = std::filesystem::canonical(path, error);
    return error ? path : real.string();
}

std::map<std::string, std::string> ByIdNames() {
    std::map<std::string, std::string> names;
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator(kByIdFolder, error)) {
        names.emplace(RealPath(entry.path().string()), entry.path().string());
    }
    return names;
}

std::string ByIdOf(const std::string& given) {
    std::optional<std::string> path;
    if (PortMap::ComNumber(given)) {
        path = PortMap().DevicePath(given);
    } else {
        path = PortName(given);
    }
    if (!path) {
        return {};
    }
    const auto names = ByIdNames();
    const auto found = names.find(RealPath(*path));
    return found == names.end() ? std::string() : found->second;
}

}  // namespace zorvik::cli
