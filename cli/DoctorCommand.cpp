// The doctor on this machine.
#include "cli/DoctorCommand.h"

#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdint>
#include <iostream>
#include <span>
#include <vector>

#include <nlohmann/json.hpp>

#include "cli/CommandSupport.h"
#include "cli/Commands.h"
#include "cli/Device.h"
#include "cli/Doctor.h"
#include "cli/Json.h"
#include "cli/PortError.h"
#include "device/Autodetect.h"
#include "files/FileIo.h"
#include "serial/NetworkPort.h"

extern char** environ;

namespace zorvik::cli {

namespace {

Opening OpenAndListen(const std::string& port) {
    try {
        Device device(port);
        return {ListenForBanner(device.Port(), device.Time()) ? Opening::Result::Answered
                                                              : Opening::Result::Silent,
                ""};
    } catch (const EComPort& error) {
        return {Opening::Result::Refused, DescribePortError(error, port, false).what()};
    } catch (const CliError& error) {
        return {Opening::Result::Refused, error.what()};
    }
}

Reaching Reach(const std::string& address) {
    const auto parsed = ParseNetworkAddress(address);
    if (!parsed) {
        return {false, PortFault::Other, "not a network address"};
    }
    try {
        NetworkLine line(*parsed, address);  // opened here, closed as it goes
        return {};
    } catch (const EComPort& error) {
        return {false, ClassifyPortFault(error), address + ": " + PortErrorCause(error, address)};
    }
}

constexpr std::string_view FindingWord(Finding finding) {
    switch (finding) {
        case Finding::Ok:
            return "ok";
        case Finding::Warning:
            return "warning";
        case Finding::Problem:
            return "problem";
    }
    return "problem";
}

DoctorReport Examine(const std::optional<std::string>& port) {
    const DoctorSetup setup{"", PortMap::UserPortFolder(), &SystemAccounts(), OpenAndListen, Reach};
    return RunDoctor(setup, port);
}

void Print(const DoctorReport& report, bool json) {
    if (json) {
        nlohmann::ordered_json checks = nlohmann::ordered_json::array();
        for (const DoctorCheck& check : report.checks) {
            checks.push_back({{"check", check.name},
                              {"ok", check.Ok()},
                              {"warning", check.finding == Finding::Warning},
                              {"detail", check.detail},
                              {"fix", check.fix.empty() ? nlohmann::ordered_json(nullptr)
                                                        : nlohmann::ordered_json(check.fix)}});
        }
        std::cout << IndentedJson(nlohmann::ordered_json{{"port", report.port},
                                                         {"device", report.device},
                                                         {"status", ToInt(report.status)},
                                                         {"checks", checks}});
        return;
    }
    for (const DoctorCheck& check : report.checks) {
        std::cout << check.name << ": " << FindingWord(check.finding) << ": " << check.detail
                  << (check.fix.empty() ? "" : "; fix: " + check.fix) << '\n';
    }
}

std::string CommandLine(const std::vector<std::string>& words) {
    std::string line;
    for (const std::string& word : words) {
        line += (line.empty() ? "" : " ") + word;
    }
    return line;
}

// Runs a command and waits for it; false when it could not run or did not end well.
bool RunCommand(const std::vector<std::string>& words) {
    std::vector<char*> argv;
    for (const std::string& word : words) {
        argv.push_back(const_cast<char*>(word.c_str()));
    }
    argv.push_back(nullptr);
    pid_t child = 0;
    if (::posix_spawnp(&child, argv[0], nullptr, nullptr, argv.data(), environ) != 0) {
        return false;
    }
    int status = 0;
    while (::waitpid(child, &status, 0) < 0) {
    }
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

// The rule for the adapter: written and applied as root, else shown with the commands to do it.
// Returns false when the rule was written but udev did not take it.
bool Fix(const UsbAdapter& adapter) {
    const std::string path = AdapterRulePath("", adapter);
    const std::string rule = AdapterRule(adapter);
    const auto commands = UdevReloadCommands();
    if (::geteuid() != 0) {
        std::cerr << "zorvik-cli: doctor: not root, so nothing was changed. As root, put these "
                     "lines in "
                  << path << ":\n\n"
                  << rule << "\nthen run:\n";
        for (const auto& command : commands) {
            std::cerr << "  sudo " << CommandLine(command) << '\n';
        }
        std::cerr << "or run this command again as root: sudo zorvik-cli doctor -p PORT --fix\n";
        return true;
    }
    ReplaceFileContents(path,
                        std::span(reinterpret_cast<const std::uint8_t*>(rule.data()), rule.size()));
    ::chmod(path.c_str(), 0644);  // rules are read by everyone, as the packaged ones are
    std::cerr << "zorvik-cli: doctor: wrote " << path << '\n';
    for (const auto& command : commands) {
        if (!RunCommand(command)) {
            std::cerr << "zorvik-cli: doctor: " << CommandLine(command) << " failed\n";
            return false;
        }
    }
    return true;
}

}  // namespace

std::string DoctorHint(std::string_view port) {
    return "; run `zorvik-cli doctor -p " + std::string(port) + "`";
}

int Doctor(const Invocation& call) {
    NoOperands(call);
    // "com9" as "COM9", a relative path made absolute; a name that is no port is a usage error.
    const auto port = call.args.Value("port");
    return DoctorCommand(port ? std::optional<std::string>(PortName(*port)) : std::nullopt,
                         call.args.Has("json"), call.args.Has("fix"));
}

int DoctorCommand(const std::optional<std::string>& port, bool json, bool fix) {
    DoctorReport report = Examine(port);
    if (!fix) {
        Print(report, json);
        return ToInt(report.status);
    }
    if (!report.adapter) {
        Print(report, json);
        std::cerr << "zorvik-cli: doctor: " << (report.port.empty() ? "the port" : report.port)
                  << " is no USB adapter, so there is no adapter rule to write\n";
        return ToInt(report.status);
    }
    if (::geteuid() != 0) {
        Print(report, json);
        (void)Fix(*report.adapter);
        return ToInt(report.status);
    }
    if (!Fix(*report.adapter)) {
        Print(report, json);
        return ToInt(Exit::PortUnusable);
    }
    // udev has applied the rule: the checks again, as they stand now.
    report = Examine(port);
    Print(report, json);
    return ToInt(report.status);
}

}  // namespace zorvik::cli
