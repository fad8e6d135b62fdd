// Port names "COM1".."COM50", and the probe and the list over a map, the same on every platform.
#include "serial/PortMap.h"

#include <algorithm>
#include <cctype>
#include <charconv>

#include "serial/NetworkPort.h"

namespace zorvik {

namespace {

bool LessIgnoringCase(const std::string& a, const std::string& b) {
    return std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
        return std::tolower(static_cast<unsigned char>(x)) <
               std::tolower(static_cast<unsigned char>(y));
    });
}
}  // namespace

std::optional<int> PortMap::ComNumber(std::string_view comName) {
    if (!comName.starts_with(kComPrefix)) {
        return std::nullopt;
    }
    const std::string_view digits = comName.substr(kComPrefix.size());
    if (digits.empty() || digits.front() == '0') {
        return std::nullopt;
    }
    int number = 0;
    const auto [end, ec] = std::from_chars(digits.data(), digits.data() + digits.size(), number);
    if (ec != std::errc{} || end != digits.data() + digits.size()) {
        return std::nullopt;
    }
    if (number < kFirstComPort || number > kLastComPort) {
        return std::nullopt;
    }
    return number;
}

std::optional<int> PortMap::GivenComNumber(std::string_view name) {
    if (name.starts_with(kDeviceNamespace)) {
        name.remove_prefix(kDeviceNamespace.size());
    }
    if (name.size() < kComPrefix.size()) {
        return std::nullopt;
    }
    std::string upper(name);
    for (std::size_t i = 0; i < kComPrefix.size(); ++i) {
        upper[i] = static_cast<char>(std::toupper(static_cast<unsigned char>(upper[i])));
    }
    return ComNumber(upper);
}

bool PortMap::SamePort(std::string_view a, std::string_view b) const {
    const auto first = GivenComNumber(a);
    const auto second = GivenComNumber(b);
    if (first && second && *first == *second) {
        return true;
    }
    // Two numbers may still lead to one device: on Linux a linked name to a fixed one.
    return SameDevice(first ? ComPortName(*first) : std::string(a),
                      second ? ComPortName(*second) : std::string(b));
}

bool PortMap::Linked(int number) {
    return number >= kFirstLinkedPort && number <= kLastLinkedPort;
}

std::optional<std::string> PortMap::DevicePath(std::string_view comName) const {
    const auto number = ComNumber(comName);
    if (!number) {
        return std::nullopt;
    }
    return DevicePath(*number);
}

std::string PortMap::NetworkTarget(std::string_view port) const {
    if (ParseNetworkAddress(port)) {
        return std::string(port);
    }
    const auto number = ComNumber(port);
    if (!number || !Linked(*number) || LinkFolderError() != 0) {
        return "";
    }
    const auto target = LinkTarget(*number);
    return target && ParseNetworkAddress(*target) ? *target : "";
}

void SortPortNames(std::vector<std::string>& names) {
    std::sort(names.begin(), names.end(), LessIgnoringCase);
}

std::string ComPortName(int number) {
    return std::string(kComPrefix) + std::to_string(number);
}

bool ProbeComPort(const PortMap& map, int number) {
    return map.Present(number);
}

bool ProbeComPort(int number) {
    return ProbeComPort(PortMap(), number);
}

void ListSerialPorts(const PortMap& map, std::vector<std::string>& list) {
    list = map.ListPresent();
}

void ListSerialPorts(std::vector<std::string>& list) {
    ListSerialPorts(PortMap(), list);
}

}  // namespace zorvik
