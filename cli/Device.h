// One device on one port for one command: the port, the real clock, the console notices and the
// exchange over them, with the commands' outcomes turned into English and exit statuses.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "cli/Console.h"
#include "cli/ExitCode.h"
#include "device/ConfigCommands.h"
#include "device/DeviceExchange.h"
#include "device/PasswordChange.h"
#include "device/SecurityCommand.h"
#include "serial/PortMap.h"
#include "serial/SerialPort.h"
#include "trace/TraceFile.h"

namespace zorvik::cli {

// A COM name as given, or a device path made absolute; anything else raises CliError (status 2).
[[nodiscard]] std::string PortName(const std::string& given);

// Raises CliError (status 2) naming both when two of the ports given lead to the same device (a
// COM link and the path it leads to): opened twice, the second would look held by another program.
void RefuseSamePortTwice(std::string_view command, const std::vector<std::string>& given);

// Ends the message of a read-back that failed after the configuration was written.
inline constexpr std::string_view kNotVerifiedNote =
    "; the configuration was written but could not be verified";

class Device {
public:
    // `given` is the -p value; raises CliError (status 2) when it names no port. `trace`, when
    // given, watches the port while the object lives.
    explicit Device(const std::string& given, TraceFile* trace = nullptr);
    ~Device();
    Device(const Device&) = delete;
    Device& operator=(const Device&) = delete;

    [[nodiscard]] const std::string& Label() const { return label_; }
    [[nodiscard]] TComPort& Port() { return port_; }
    [[nodiscard]] ConsoleClock& Time() { return clock_; }
    [[nodiscard]] ConsoleNotices& Notifications() { return notices_; }
    [[nodiscard]] DeviceExchange& Exchange() { return exchange_; }

    // The image on the device; raises CliError for every other outcome.
    [[nodiscard]] ConfigImage Read(const std::u16string& password);
    // Returns once the device has stored `image`; raises CliError otherwise. `sent` becomes true
    // as the image goes out, so a stop after it knows the configuration may be stored.
    void Write(const std::u16string& password, const ConfigImage& image, bool& sent);

    // The image read back after a write. The device holds the new configuration by then, so
    // every failure, a port error too, is raised as a CliError that says so.
    [[nodiscard]] ConfigImage ReadBack(const std::u16string& password);

    // The failure an outcome stands for, worded for this port.
    [[nodiscard]] CliError Failed(Exit code, const std::string& what) const;

private:
    std::string label_;
    PortMap map_;
    TComPort port_;
    ConsoleClock clock_;
    ConsoleNotices notices_;
    DeviceExchange exchange_;
    TraceFile* trace_;
};

// Said with a missing banner: why a device that is there may not answer for a moment.
[[nodiscard]] std::string AfterRefusalNote();

// The English of the framing failures every authenticated command shares.
[[nodiscard]] CliError FramingFailure(const Device& device, FramingOutcome outcome);
// The English of a read, or of a write, that did not end with the image read or stored.
[[nodiscard]] CliError ReadFailure(const Device& device, const ReadResult& result);
[[nodiscard]] CliError WriteFailure(const Device& device, WriteOutcome outcome);

}  // namespace zorvik::cli
