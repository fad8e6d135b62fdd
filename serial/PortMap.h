// The map from port names "COM1".."COM50" to this machine's serial devices, and the port probe.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace zorvik {

// Every port name starts so, in capitals.
constexpr std::string_view kComPrefix = "COM";
// Windows' own name of a port puts this before the port name ("\\.\COM5"); COM10 and up are
// opened only so.
constexpr std::string_view kDeviceNamespace = "\\\\.\\";
// Every port name there is, COM1 to COM50, in the order each search goes through them: the
// start-up selection, autodetection and the lists.
constexpr int kFirstComPort = 1;
constexpr int kLastComPort = 50;
// The names that lead through the user's port folder rather than to a fixed device.
constexpr int kFirstLinkedPort = 41;
constexpr int kLastLinkedPort = kLastComPort;
// Where the port folder lies when there is no runtime folder: this stem, the user id, "/ports".
constexpr std::string_view kFallbackPortFolderStem = "/tmp/zorvik-gsm-";

// Port names are "COM" plus a number everywhere the user sees them. On Windows each is the
// system's own port of that name (\\.\COMn): present when the system knows it, listed from the
// serial ports the system registered, and the port folder does not exist. On Linux each number
// stands for one fixed device, so a name never depends on what else is plugged in:
//   COM1..COM8    /dev/ttyS0..7      present when a real UART stands behind it (sysfs type not 0)
//   COM9..COM24   /dev/ttyUSB0..15   present when the node exists
//   COM25..COM40  /dev/ttyACM0..15   present when the node exists
//   COM41..COM50  links named COM41..COM50 in the user's port folder, present when the link
//                 leads to a character device (a pty slave, /dev/serial/by-id/...) or holds a
//                 network address (rfc2217://HOST:PORT, socket://HOST:PORT)
class PortMap {
public:
    struct Roots {
        std::string dev = "/dev";
        std::string sys = "/sys";
        std::string links;  // empty: no linked ports
    };

    PortMap();  // this machine: /dev, /sys, UserPortFolder()
    explicit PortMap(Roots roots);

    // $XDG_RUNTIME_DIR/zorvik-gsm/ports, or /tmp/zorvik-gsm-<uid>/ports without a runtime folder.
    [[nodiscard]] static std::string UserPortFolder();

    // What the names stand for on this platform, as the help tells it: "The numbers are fixed:
    // COM1-COM8 are /dev/ttyS0-7, ..." on Linux.
    [[nodiscard]] static std::string Described();

    // The path COMn maps to, present or not; nullopt outside 1..50 (and for 41..50 without a
    // link folder).
    [[nodiscard]] std::optional<std::string> DevicePath(int number) const;
    // "COM7" → its path; nullopt for any other name ("com7", "COM07", "COM51", "LPT1").
    [[nodiscard]] std::optional<std::string> DevicePath(std::string_view comName) const;

    // What the link COMn (41..50) holds, as written in it; nullopt when there is no such link.
    [[nodiscard]] std::optional<std::string> LinkTarget(int number) const;
    // The network address a port leads to: the name itself ("rfc2217://pi.local:2217") or what
    // the link COMn holds, when the port folder may be followed. Empty for a local port.
    [[nodiscard]] std::string NetworkTarget(std::string_view port) const;

    // Whether COMn is there, without opening the device.
    [[nodiscard]] bool Present(int number) const;
    // The present names, sorted case-insensitively (COM1, COM10, COM3).
    [[nodiscard]] std::vector<std::string> ListPresent() const;

    // 0 when links in the link folder may be followed, else the errno that says why not:
    // ENOENT when the folder is missing, EACCES when someone else could plant links in it.
    [[nodiscard]] int LinkFolderError() const;
    // The folder of the linked ports; empty when there is none.
    [[nodiscard]] const std::string& LinkFolder() const { return roots_.links; }

    // The number of a well-formed name "COMn" with n in 1..50; nullopt otherwise.
    [[nodiscard]] static std::optional<int> ComNumber(std::string_view comName);
    // The number of a COM port as a user may write it: "COM5", "com5", or Windows' own name
    // "\\.\COM5"; nullopt for anything else.
    [[nodiscard]] static std::optional<int> GivenComNumber(std::string_view name);
    // Whether two ports as the user gave them are one port: COM names by their number, and on
    // Linux also a COM name and the device it maps to, or two paths to one device. A network
    // address, or a path that leads to nothing, is never the same as another port.
    [[nodiscard]] bool SamePort(std::string_view a, std::string_view b) const;
    // Whether COMn is one of the names that lead through the link folder (COM41..COM50).
    [[nodiscard]] static bool Linked(int number);

private:
    // Whether two ports, each a COM name in capitals or a path, lead to one device.
    [[nodiscard]] bool SameDevice(const std::string& a, const std::string& b) const;

    Roots roots_;
};

// Sorts port names case-insensitively, as every list shows them (COM1, COM10, COM3).
void SortPortNames(std::vector<std::string>& names);
// What the symbolic link at `path` holds, as written in it; nullopt when `path` is no link.
[[nodiscard]] std::optional<std::string> ReadLink(const std::string& path);

// A serial port as the system itself lists it: its device's name ("\Device\Serial0") and its
// port name ("COM1").
struct ListedPort {
    std::string device;
    std::string name;
};
// Windows' own list of serial ports (HARDWARE\DEVICEMAP\SERIALCOMM), in the registry's order;
// Linux keeps no such list and gives none.
[[nodiscard]] std::vector<ListedPort> SystemListedPorts();

// "COM" followed by `number`.
[[nodiscard]] std::string ComPortName(int number);

// True when "COM" followed by `number` exists; nothing is opened, nothing is raised.
[[nodiscard]] bool ProbeComPort(const PortMap& map, int number);
[[nodiscard]] bool ProbeComPort(int number);

// Replaces the list's content with the present port names, sorted as PortMap::ListPresent.
void ListSerialPorts(const PortMap& map, std::vector<std::string>& list);
void ListSerialPorts(std::vector<std::string>& list);

}  // namespace zorvik
