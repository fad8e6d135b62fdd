// The support report's part on Windows: the serial ports the system lists and each one's driver
// as the registry has it.
#include <windows.h>

#include <array>
#include <optional>
#include <string>
#include <vector>

#include "Version.h"
#include "cli/SupportReport.h"
#include "files/WideText.h"

namespace zorvik::cli {

namespace {

// Each device Windows knows, as bus\device\instance below this key; a serial port's instance
// has its port name in "Device Parameters" and its driver's service beside it.
constexpr const wchar_t* kEnumKey = L"SYSTEM\\CurrentControlSet\\Enum";
constexpr DWORD kKeyNameChars = 256;  // longer than any name of a bus, device or instance
constexpr DWORD kTextBytes = 1024;    // room for a value read as text

// Closes a registry key on every way out.
struct Key {
    HKEY handle = nullptr;
    Key(HKEY parent, const std::wstring& name) {
        if (::RegOpenKeyExW(parent, name.c_str(), 0, KEY_READ, &handle) != ERROR_SUCCESS) {
            handle = nullptr;
        }
    }
    ~Key() {
        if (handle != nullptr) {
            ::RegCloseKey(handle);
        }
    }
    Key(const Key&) = delete;
    Key& operator=(const Key&) = delete;

    [[nodiscard]] std::vector<std::wstring> Children() const {
        std::vector<std::wstring> names;
        for (DWORD index = 0; handle != nullptr; ++index) {
            std::array<wchar_t, kKeyNameChars> name{};
            DWORD chars = kKeyNameChars;
            if (::RegEnumKeyExW(handle, index, name.data(), &chars, nullptr, nullptr, nullptr,
                                nullptr) != ERROR_SUCCESS) {
                break;
            }
            names.emplace_back(name.data(), chars);
        }
        return names;
    }

    // A text value of this key or of its subkey `under` (empty: the key itself).
    [[nodiscard]] std::string Text(const wchar_t* under, const wchar_t* value) const {
        std::array<wchar_t, kTextBytes / sizeof(wchar_t)> text{};
        DWORD bytes = kTextBytes;
        if (handle == nullptr || ::RegGetValueW(handle, under, value, RRF_RT_REG_SZ, nullptr,
                                                text.data(), &bytes) != ERROR_SUCCESS) {
            return "";
        }
        return Narrow(text.data());
    }
};

// A device's description as the registry keeps it, "@oem3.inf,%desc%;USB Serial Port" or
// plainly "USB Serial Port": the text after the last ';'.
std::string Description(const std::string& text) {
    const auto semicolon = text.rfind(';');
    return semicolon == std::string::npos ? text : text.substr(semicolon + 1);
}

// The driver of the port named `port`: its service and description, "usbser (USB Serial
// Device)"; nothing when the registry does not say.
std::optional<std::string> Driver(const std::string& port) {
    const Key devices(HKEY_LOCAL_MACHINE, kEnumKey);
    for (const std::wstring& bus : devices.Children()) {
        const Key busKey(devices.handle, bus);
        for (const std::wstring& device : busKey.Children()) {
            const Key deviceKey(busKey.handle, device);
            for (const std::wstring& instance : deviceKey.Children()) {
                const Key instanceKey(deviceKey.handle, instance);
                if (instanceKey.Text(L"Device Parameters", L"PortName") != port) {
                    continue;
                }
                const std::string service = instanceKey.Text(nullptr, L"Service");
                const std::string description =
                    Description(instanceKey.Text(nullptr, L"DeviceDesc"));
                return (service.empty() ? "unknown service" : service) +
                       (description.empty() ? "" : " (" + description + ")");
            }
        }
    }
    return std::nullopt;
}

// The version as the system itself has it.
std::string SystemName() {
    // The version as the system itself has it, which GetVersionEx hides from programs without a
    // manifest; Wine says which Wine it is as well.
    std::string name = "Windows";
    if (const HMODULE ntdll = ::GetModuleHandleW(L"ntdll.dll")) {
        using GetVersion = LONG(WINAPI*)(OSVERSIONINFOW*);
        using WineVersion = const char*(CDECL*)();
        if (const auto get = reinterpret_cast<GetVersion>(
                reinterpret_cast<void*>(::GetProcAddress(ntdll, "RtlGetVersion")))) {
            OSVERSIONINFOW info{};
            info.dwOSVersionInfoSize = sizeof info;
            if (get(&info) == 0) {
                name += " " + std::to_string(info.dwMajorVersion) + "." +
                        std::to_string(info.dwMinorVersion) + "." +
                        std::to_string(info.dwBuildNumber);
            }
        }
        if (const auto wine = reinterpret_cast<WineVersion>(
                reinterpret_cast<void*>(::GetProcAddress(ntdll, "wine_get_version")))) {
            name += std::string(" (Wine ") + wine() + ")";
        }
    }
    return name;
}

}  // namespace

std::string_view SupportReportContents() {
    return "the program's version, the Windows version, the serial ports Windows lists "
           "(HARDWARE\\DEVICEMAP\\SERIALCOMM) and each present port's driver as the registry has "
           "it";
}

void DescribeThisSystem(std::ostream& out, const PortMap& map) {
    out << "program: zorvik " << kVersion << '\n';
    out << "system: " << SystemName() << '\n';
    out << "\nserial ports Windows lists (SERIALCOMM):\n";
    const std::vector<ListedPort> listed = SystemListedPorts();
    if (listed.empty()) {
        out << "none\n";
    }
    for (const ListedPort& port : listed) {
        out << "  " << port.device << " = " << port.name << '\n';
    }
    out << "\nports:\n";
    const std::vector<std::string> present = map.ListPresent();
    if (present.empty()) {
        out << "none present\n";
    }
    for (const std::string& name : present) {
        out << name << '\n';
        out << "  device: " << map.DevicePath(name).value_or("unknown") << '\n';
        out << "  driver: " << Driver(name).value_or("not in the registry") << '\n';
    }
}

}  // namespace zorvik::cli
