// provision: one template and a table of rows written to the devices on many ports.
#include "cli/Commands.h"

#include <algorithm>
#include <string>
#include <vector>

#include "cli/CommandSupport.h"
#include "cli/Device.h"
#include "cli/ExitCode.h"
#include "cli/Passwords.h"
#include "cli/Provision.h"
#include "serial/PortMap.h"
#include "trace/TraceFile.h"

namespace zorvik::cli {

int ProvisionCommand(const Invocation& call) {
    ProvisionSetup setup;
    for (const Operand& operand : call.args.Operands()) {
        if (operand.option == "port") {
            setup.ports.push_back(operand.text);
        } else if (!operand.option.empty()) {
            continue;  // a preset
        } else if (setup.templatePath.empty()) {
            setup.templatePath = operand.text;
        } else {
            throw CliError(Exit::Usage, "provision: expected one TEMPLATE");
        }
    }
    if (setup.templatePath.empty()) {
        throw CliError(Exit::Usage, "provision: expected one TEMPLATE");
    }
    const auto table = call.args.Value("devices");
    if (!table) {
        throw CliError(Exit::Usage, "provision: missing --devices TABLE.csv");
    }
    setup.tablePath = *table;
    if (call.args.Has("all-ports")) {
        for (const std::string& name : PortMap().ListPresent()) {
            setup.ports.push_back(name);
        }
    }
    // A port listed twice would be opened by two workers at once.
    std::vector<std::string> unique;
    for (const std::string& port : setup.ports) {
        if (std::find(unique.begin(), unique.end(), port) == unique.end()) {
            unique.push_back(port);
        }
    }
    setup.ports = std::move(unique);
    if (setup.ports.empty()) {
        throw CliError(Exit::Usage, call.args.Has("all-ports")
                                        ? "provision: no port is present"
                                        : "provision: give -p PORT (repeated) or --all-ports");
    }
    setup.reportPath = call.args.Value("report");
    setup.watch = call.args.Has("watch");
    setup.resume = call.args.Has("resume");
    setup.strict = call.args.Has("strict");
    setup.excel = call.args.Has("excel");
    if (setup.resume && !setup.reportPath) {
        throw CliError(Exit::Usage, "provision: --resume needs --report REPORT.csv");
    }
    for (const std::string& port : setup.ports) {
        (void)PortName(port);  // a name that is no port is a usage error before anything starts
    }
    RefuseSamePortTwice("provision", setup.ports);
    setup.presets = OptionValues(call, "preset");
    setup.presetOverride = call.args.Has("preset-override");
    setup.history = CommandHistory(call);
    setup.password = AccessPassword(PasswordFile(call.args));
    setup.tracePath = call.args.Value("trace");
    if (!setup.tracePath) {
        setup.tracePath = TraceFileFromEnvironment();
    }
    setup.commandLine = call.words;
    return Provision(setup);
}

}  // namespace zorvik::cli
