// ports and detect: the serial ports present, and the ones a device answers on.
#include "cli/Commands.h"

#include <cerrno>
#include <iostream>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include <nlohmann/json.hpp>

#include "cli/CommandSupport.h"
#include "cli/Console.h"
#include "cli/ExitCode.h"
#include "cli/Json.h"
#include "cli/PortError.h"
#include "cli/PortNames.h"
#include "device/Autodetect.h"
#include "serial/PortFault.h"
#include "serial/PortMap.h"
#include "serial/SerialPort.h"
#include "trace/TraceFile.h"

namespace zorvik::cli {

namespace {

struct PortEntry {
    std::string name;
    std::string device;
    std::optional<std::string> byId;
};

// The port folder's links are not followed when others could change it; say so rather than list
// its ports as if there were none.
void WarnIfPortFolderSkipped(const PortMap& map) {
    const int error = map.LinkFolderError();
    if (error != 0 && error != ENOENT) {
        std::cerr << kProgramName << ": warning: the port folder " << map.LinkFolder()
                  << " is skipped: others could change it (make it yours with mode 700)\n";
    }
}

// What a port answered when listened to.
struct PortAnswer {
    std::string name;
    std::string device;
    std::string state;  // "ready", "silent", "busy" or "unusable"
    std::string why;    // for "busy" and "unusable": the port's error in English
};

// Nothing for a port that turns out not to be there when opened: Wine claims every COM name
// without a device behind it.
std::optional<PortAnswer> Listen(const PortMap& map, TComPort& port, ConsoleClock& clock,
                                 int number) {
    PortAnswer answer;
    answer.name = ComPortName(number);
    answer.device = RealPath(map.DevicePath(number).value_or(""));
    Step(answer.name + ": listening for the Ready banner");
    try {
        port.SetPort(answer.name);
        answer.state = ListenForBanner(port, clock) ? "ready" : "silent";
    } catch (const EComPort& error) {
        const PortFault fault = ClassifyPortFault(error);
        if (fault == PortFault::NoDevice) {
            return std::nullopt;
        }
        answer.state = fault == PortFault::Busy ? "busy" : "unusable";
        answer.why = DescribePortError(error, answer.name).what();
    }
    return answer;
}

}  // namespace

int Ports(const Invocation& call) {
    NoOperands(call);
    const PortMap map;
    WarnIfPortFolderSkipped(map);
    const auto byId = ByIdNames();
    std::vector<PortEntry> entries;
    for (const std::string& name : map.ListPresent()) {
        // A link holding a network address is listed with the address.
        const std::string address = map.NetworkTarget(name);
        const std::string device = address.empty() ? RealPath(*map.DevicePath(name)) : address;
        const auto found = byId.find(device);
        entries.push_back(
            {name, device,
             found == byId.end() ? std::nullopt : std::optional<std::string>(found->second)});
    }
    if (call.args.Has("json")) {
        nlohmann::json array = nlohmann::json::array();
        for (const PortEntry& entry : entries) {
            array.push_back({{"name", entry.name},
                             {"device", entry.device},
                             {"by_id", entry.byId ? nlohmann::json(*entry.byId) : nullptr}});
        }
        std::cout << IndentedJson(array);
        return ToInt(Exit::Ok);
    }
    for (const PortEntry& entry : entries) {
        std::cout << entry.name << '\t' << entry.device;
        if (entry.byId) {
            std::cout << '\t' << *entry.byId;
        }
        std::cout << '\n';
    }
    return ToInt(Exit::Ok);
}

int Detect(const Invocation& call) {
    NoOperands(call);
    const bool all = call.args.Has("all");
    const PortMap map;
    TComPort port(map);
    ConsoleClock clock;
    const TraceWatch watch(call.trace, port);
    std::vector<PortAnswer> answers;
    bool found = false;
    for (int number = kFirstComPort; number <= kLastComPort; ++number) {
        if (!ProbeComPort(map, number)) {
            continue;
        }
        auto answer = Listen(map, port, clock, number);
        if (!answer) {
            continue;
        }
        answers.push_back(std::move(*answer));
        found = found || answers.back().state == "ready";
        if (found && !all) {
            break;
        }
    }
    if (call.args.Has("json")) {
        nlohmann::ordered_json array = nlohmann::ordered_json::array();
        for (const PortAnswer& answer : answers) {
            array.push_back(
                {{"name", answer.name}, {"device", answer.device}, {"state", answer.state}});
        }
        std::cout << IndentedJson(array);
    } else {
        for (const PortAnswer& answer : answers) {
            if (answer.state == "ready") {
                std::cout << answer.name << '\n';
            }
        }
    }
    std::string busy;
    for (const PortAnswer& answer : answers) {
        if (answer.state == "busy") {
            // A device may stand behind a port another program holds: said, not passed over.
            Warn(answer.why);
            busy += (busy.empty() ? "" : ", ") + answer.name;
        }
    }
    if (!found) {
        throw CliError(Exit::NoDevice, "no device answered on any port (COM1 to COM50)" +
                                           (busy.empty() ? "" : "; busy: " + busy));
    }
    return ToInt(Exit::Ok);
}

}  // namespace zorvik::cli
