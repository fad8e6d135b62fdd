// Port names on Windows: the system's own COM ports, probed and listed as the system knows them.
#include "serial/PortMap.h"

#include <windows.h>

#include <cerrno>
#include <utility>

namespace zorvik {

namespace {

// Where Windows lists the serial ports it found: one value a port, its data the port's name.
constexpr const wchar_t* kSerialCommKey = L"HARDWARE\\DEVICEMAP\\SERIALCOMM";
constexpr DWORD kValueNameChars = 256;  // room for one value's name ...
constexpr DWORD kValueDataBytes = 256;  // ... and its data; a longer one ends the list

}  // namespace

PortMap::PortMap() : PortMap(Roots{"", "", ""}) {}

PortMap::PortMap(Roots roots) : roots_(std::move(roots)) {}

std::string PortMap::UserPortFolder() {
    return "";  // Windows names its ports itself
}

std::string PortMap::Described() {
    return ComPortName(kFirstComPort) + "-" + ComPortName(kLastComPort) +
           " are the system's own ports of those names (" + std::string(kDeviceNamespace) +
           "COMn), as Device Manager lists them under \"Ports (COM & LPT)\"";
}

std::optional<std::string> PortMap::DevicePath(int number) const {
    if (number < kFirstComPort || number > kLastComPort) {
        return std::nullopt;
    }
    return std::string(kDeviceNamespace) + ComPortName(number);
}

std::optional<std::string> PortMap::LinkTarget(int /*number*/) const {
    return std::nullopt;
}

// A COM name is no file here, and a port is only ever a COM name or a network address.
bool PortMap::SameDevice(const std::string& /*a*/, const std::string& /*b*/) const {
    return false;
}

int PortMap::LinkFolderError() const {
    return ENOENT;
}

bool PortMap::Present(int number) const {
    if (number < kFirstComPort || number > kLastComPort) {
        return false;
    }
    // Asks whether the system knows the port, without opening it.
    const std::string name = ComPortName(number);
    const std::wstring wide(name.begin(), name.end());
    COMMCONFIG config{};
    DWORD size = sizeof config;
    return ::GetDefaultCommConfigW(wide.c_str(), &config, &size) != 0;
}

std::vector<ListedPort> SystemListedPorts() {
    std::vector<ListedPort> ports;
    HKEY key = nullptr;
    if (::RegOpenKeyExW(HKEY_LOCAL_MACHINE, kSerialCommKey, 0, KEY_READ, &key) != ERROR_SUCCESS) {
        return ports;
    }
    for (DWORD index = 0;; ++index) {
        wchar_t valueName[kValueNameChars];
        DWORD nameChars = kValueNameChars;
        BYTE data[kValueDataBytes];
        DWORD dataBytes = kValueDataBytes;
        DWORD type = 0;
        if (::RegEnumValueW(key, index, valueName, &nameChars, nullptr, &type, data, &dataBytes) !=
            ERROR_SUCCESS) {
            break;  // the end of the values, or one too long: what was found stands
        }
        if (type != REG_SZ) {
            continue;
        }
        const auto* text = reinterpret_cast<const wchar_t*>(data);
        std::size_t chars = dataBytes / sizeof(wchar_t);
        while (chars > 0 && text[chars - 1] == L'\0') {
            --chars;
        }
        // Port and device names are plain ASCII ("COM3", "\Device\Serial0").
        ports.push_back(
            {std::string(valueName, valueName + nameChars), std::string(text, text + chars)});
    }
    ::RegCloseKey(key);
    return ports;
}

std::vector<std::string> PortMap::ListPresent() const {
    std::vector<std::string> names;
    for (const ListedPort& port : SystemListedPorts()) {
        names.push_back(port.name);
    }
    SortPortNames(names);
    return names;
}

}  // namespace zorvik
