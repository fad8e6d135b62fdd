// The command line of zorvik-sim: what it accepts and its help text.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "sim/DeviceModel.h"

namespace zorvik {

struct SimOptions {
    std::string port;      // COM41 to COM50, or empty for the first free one
    std::string portsDir;  // empty for the user's port folder
    bool pacing = true;    // send at 57600 baud
    bool verbose = false;  // also log every byte
    std::optional<double> unplugAfterSeconds;
    std::string firmwareIn;             // initial flash contents
    std::string firmwareOut;            // written after each firmware update
    std::string latencyReport;          // written after each firmware update
    std::string imageIn;                // initial configuration image (256 bytes)
    std::u16string password = u"9466";  // initial access password
    std::string passwordFile;           // its first line is the initial access password
    std::string replayFile;             // a byte trace whose device side is played instead
    DeviceFaults faults;
    bool help = false;
    bool version = false;
};

struct SimOptionsResult {
    std::optional<SimOptions> options;  // nothing when the command line is wrong
    std::string error;                  // what is wrong with it
};

// `args` without the program name.
[[nodiscard]] SimOptionsResult ParseSimOptions(const std::vector<std::string>& args);

// The text of --help.
[[nodiscard]] std::string SimUsage();

// True for "COM" followed by a number from 1 to 255 without leading zeros.
[[nodiscard]] bool IsComPortName(const std::string& name);

}  // namespace zorvik
