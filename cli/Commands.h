// The handlers of zorvik-cli's commands, one function each, grouped in files by what they work
// on. Each returns the exit status or raises CliError.
#pragma once

#include "cli/CommandTable.h"

namespace zorvik::cli {

// PortCommands.cpp
[[nodiscard]] int Ports(const Invocation& call);
[[nodiscard]] int Detect(const Invocation& call);

// FormCommands.cpp
[[nodiscard]] int Keys(const Invocation& call);
[[nodiscard]] int Dump(const Invocation& call);
[[nodiscard]] int Diff(const Invocation& call);
[[nodiscard]] int Convert(const Invocation& call);

// DeviceCommands.cpp
[[nodiscard]] int Read(const Invocation& call);
[[nodiscard]] int Write(const Invocation& call);

// PasswordCommands.cpp
[[nodiscard]] int Passwd(const Invocation& call);
[[nodiscard]] int Security(const Invocation& call);

// FlashCommand.cpp
[[nodiscard]] int Flash(const Invocation& call);

// ProvisionCommand.cpp
[[nodiscard]] int ProvisionCommand(const Invocation& call);

// DeviceCommands.cpp, from the history
[[nodiscard]] int Restore(const Invocation& call);

// DoctorCommand.cpp
[[nodiscard]] int Doctor(const Invocation& call);

// HistoryCommands.cpp
[[nodiscard]] int History(const Invocation& call);

// SupportCommand.cpp
[[nodiscard]] int SupportReportCommand(const Invocation& call);

}  // namespace zorvik::cli
