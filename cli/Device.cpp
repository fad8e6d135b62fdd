// The read and write commands' outcomes in English.
#include "cli/Device.h"

#include <filesystem>
#include <utility>

#include "cli/Passwords.h"
#include "cli/PortError.h"
#include "cli/StopWords.h"
#include "device/ReadyListener.h"
#include "serial/NetworkPort.h"

namespace zorvik::cli {

std::string PortName(const std::string& given) {
    if (ParseNetworkAddress(given)) {
        return given;
    }
    // "com41" as a user types it, or "\\.\COM41" as Windows names it: the window's names are
    // "COM" and the number.
    if (const auto number = PortMap::GivenComNumber(given)) {
        return ComPortName(*number);
    }
    if (given.find('/') != std::string::npos && given.find("://") == std::string::npos) {
        return std::filesystem::absolute(given).lexically_normal().string();
    }
    throw CliError(Exit::Usage, given +
                                    ": not a port; give a COM name (COM1 to COM50, see 'zorvik-cli "
                                    "ports'), a device path such as /dev/ttyUSB0, or a network "
                                    "address rfc2217://HOST:PORT or socket://HOST:PORT");
}

void RefuseSamePortTwice(std::string_view command, const std::vector<std::string>& given) {
    const PortMap map;
    for (std::size_t later = 1; later < given.size(); ++later) {
        for (std::size_t earlier = 0; earlier < later; ++earlier) {
            if (map.SamePort(PortName(given[earlier]), PortName(given[later]))) {
                throw CliError(Exit::Usage, std::string(command) + ": " + given[earlier] + " and " +
                                                given[later] +
                                                " are the same port; give each port once");
            }
        }
    }
}

Device::Device(const std::string& given, TraceFile* trace)
    : label_(PortName(given).find('/') == std::string::npos ? PortName(given) : given),
      port_(map_, PortName(given)),
      exchange_(port_, clock_, notices_),
      trace_(trace) {
    if (trace_ != nullptr) {
        trace_->Attach(port_);
    }
}

Device::~Device() {
    if (trace_ != nullptr) {
        // Closed while the trace still watches, so its last line is the port closed.
        port_.Abandon();
        trace_->Detach();
    }
}

ConfigImage Device::ReadBack(const std::u16string& password) {
    try {
        return Read(password);
    } catch (const CliError& error) {
        throw CliError(error.Code(), error.what() + std::string(kNotVerifiedNote));
    } catch (const EComPort& error) {
        const CliError described = DescribePortError(error, label_);
        throw CliError(described.Code(), described.what() + std::string(kNotVerifiedNote));
    }
}

CliError Device::Failed(Exit code, const std::string& what) const {
    return CliError(code, label_ + ": " + what);
}

// "wrong access password (from ZORVIK_PASSWORD)": which password was refused, so the user
// knows which one to mend.
std::string WrongPasswordWords() {
    const std::string source = AccessPasswordSource();
    return source.empty() ? "wrong access password" : "wrong access password (" + source + ")";
}

std::string AfterRefusalNote() {
    return "a device that has just refused a password stays silent for " +
           std::to_string(kRefusalSilenceMs / 1000) + " s";
}

CliError FramingFailure(const Device& device, FramingOutcome outcome) {
    switch (outcome) {
        case FramingOutcome::NoReady:
            return device.Failed(Exit::NoDevice,
                                 "no Ready banner from the device (is it connected and on? " +
                                     AfterRefusalNote() + ")" + DoctorHint(device.Label()));
        case FramingOutcome::WrongPassword:
            return device.Failed(Exit::WrongPassword, WrongPasswordWords());
        case FramingOutcome::NoAnswer:
        case FramingOutcome::Accepted:
            break;
    }
    return device.Failed(Exit::NoDevice, "device did not answer after the Ready banner");
}

CliError ReadFailure(const Device& device, const ReadResult& result) {
    switch (result.outcome) {
        case ReadOutcome::BadPassword:
            return CliError(Exit::Usage, "the access password is not 4 characters");
        case ReadOutcome::NoReady:
            return FramingFailure(device, FramingOutcome::NoReady);
        case ReadOutcome::WrongPassword:
            return FramingFailure(device, FramingOutcome::WrongPassword);
        case ReadOutcome::NoAnswer:
            return FramingFailure(device, FramingOutcome::NoAnswer);
        case ReadOutcome::Read:
        case ReadOutcome::BadBlock:
            break;
    }
    if (result.received < kBlockSize) {
        return device.Failed(Exit::DataError, "short configuration block from the device (" +
                                                  std::to_string(result.received) + " of " +
                                                  std::to_string(kBlockSize) + " bytes)");
    }
    return device.Failed(Exit::DataError, "the configuration from the device failed its checksum");
}

CliError WriteFailure(const Device& device, WriteOutcome outcome) {
    switch (outcome) {
        case WriteOutcome::BadPassword:
            return CliError(Exit::Usage, "the access password is not 4 characters");
        case WriteOutcome::NoReady:
            return FramingFailure(device, FramingOutcome::NoReady);
        case WriteOutcome::WrongPassword:
            return FramingFailure(device, FramingOutcome::WrongPassword);
        case WriteOutcome::NoAnswer:
            return FramingFailure(device, FramingOutcome::NoAnswer);
        case WriteOutcome::TransferWrongPassword:
            return device.Failed(Exit::WrongPassword,
                                 "the device refused the configuration: " + WrongPasswordWords());
        case WriteOutcome::TransferBadChecksum:
            return device.Failed(Exit::DataError,
                                 "the device found a checksum error in the configuration and did "
                                 "not store it");
        case WriteOutcome::Stored:
        case WriteOutcome::TransferNoAnswer:
            break;
    }
    return device.Failed(Exit::NoDevice, "the device did not confirm the configuration; " +
                                             std::string(kConfigurationMayBeStored));
}

ConfigImage Device::Read(const std::u16string& password) {
    const ReadResult result = ReadConfiguration(exchange_, password);
    if (result.outcome != ReadOutcome::Read) {
        throw ReadFailure(*this, result);
    }
    return *result.image;
}

void Device::Write(const std::u16string& password, const ConfigImage& image, bool& sent) {
    // The image is asked for once the device has accepted the password, right before it is sent.
    WriteOutcome outcome{};
    try {
        outcome = WriteConfiguration(exchange_, password, {}, [&image, &sent] {
            sent = true;
            return image;
        });
    } catch (const EComPort& error) {
        if (!sent) {
            throw;
        }
        // A line lost once the configuration went out says what a stop at that moment says.
        const CliError described = DescribePortError(error, label_);
        throw CliError(described.Code(),
                       described.what() + ("; " + std::string(kConfigurationMayBeStored)));
    }
    if (outcome != WriteOutcome::Stored) {
        throw WriteFailure(*this, outcome);
    }
}

}  // namespace zorvik::cli
