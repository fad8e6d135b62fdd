// Port autodetection: every port name, COM1 to COM50, searched in turn for the device's Ready
// banner.
#pragma once

#include <functional>
#include <optional>
#include <string>

#include "device/Notice.h"
#include "serial/Clock.h"
#include "serial/ComPort.h"

namespace zorvik {

constexpr int kScanSettlePauses = 7;     // pauses after opening a port, for the banner to arrive
constexpr int kScanSettlePauseMs = 100;  // length of each of those pauses
constexpr int kScanReadCount = 5;        // characters read per port, in one read
constexpr int kScanAfterReadMs = 100;    // pause after the read

// What the search needs besides the port: whether COMn exists, and the selector to follow it.
struct AutodetectHooks {
    std::function<bool(int)> probe;                        // ProbeComPort
    std::function<void(const std::string&)> showPortName;  // the selector's text
};

// Opens the port under its present name, listens for the banner as the search does (the same
// pauses and one read), and closes it again. True when exactly "Ready" arrived. A port error
// (typically: another program holds the port) is raised with the port closed.
[[nodiscard]] bool ListenForBanner(TCustomComPort& port, Clock& clock);

// Searches the ports in ascending order and returns the first on which exactly "Ready" arrived,
// leaving it as the port's name. Without a find the port keeps the last present name. Port
// errors on one port are not reported: the search goes on with the next.
[[nodiscard]] std::optional<std::string> ScanForDevice(TCustomComPort& port, Clock& clock,
                                                       const AutodetectHooks& hooks);

// The search with its one notice, AutodetectOutcome::NotFound when nothing was found.
[[nodiscard]] std::optional<std::string> Autodetect(TCustomComPort& port, Clock& clock,
                                                    Notices& notices, const AutodetectHooks& hooks);

}  // namespace zorvik
