// keys, dump, diff and convert: configurations as files and forms.
#include "cli/Commands.h"

#include <iostream>
#include <optional>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "cli/CommandSupport.h"
#include "cli/ConfigForms.h"
#include "cli/Console.h"
#include "cli/Device.h"
#include "cli/ExitCode.h"
#include "cli/Json.h"
#include "cli/Passwords.h"
#include "config/ConfigDiff.h"
#include "config/ConfigText.h"
#include "config/Configuration.h"

namespace zorvik::cli {

int Keys(const Invocation& call) {
    NoOperands(call);
    for (const ConfigEntry& key : ConfigKeyValues()) {
        std::cout << key.key << '\t' << key.value << '\n';
    }
    return ToInt(Exit::Ok);
}

int Dump(const Invocation& call) {
    const std::string path = PlainOperands(call, 1, "one FILE")[0];
    const Configuration value = LoadConfiguration(path, DefaultConfiguration());
    std::cout << Render(value, call.args.Has("json") ? Form::Json : Form::Text);
    return ToInt(Exit::Ok);
}

int Diff(const Invocation& call) {
    const std::vector<Operand>& operands = call.args.Operands();
    if (operands.size() != 2) {
        throw CliError(Exit::Usage, "diff: expected two configurations (FILE or -p PORT)");
    }
    std::optional<std::u16string> password;
    std::vector<Configuration> sides;
    const bool fromDevice = operands[0].option == "port" || operands[1].option == "port";
    for (const Operand& operand : operands) {
        if (operand.option.empty() && fromDevice) {
            OneReaderOfStandardInput(call, operand.text, false);
        }
    }
    for (const Operand& operand : operands) {
        if (operand.option.empty()) {
            // A form is compared as what `write` would store from it, as a device side is: the
            // timing rows a Wardeno does not store are then no difference.
            sides.push_back(DecodeConfiguration(
                EncodeConfiguration(LoadConfiguration(operand.text, DefaultConfiguration()))));
            continue;
        }
        if (!password) {
            password = AccessPassword(PasswordFile(call.args));
        }
        Device device(operand.text, call.trace);
        Step(device.Label() + ": reading the configuration");
        sides.push_back(DecodeConfiguration(device.Read(*password)));
    }
    const std::vector<Difference> differences = Differences(sides[0], sides[1]);
    if (call.args.Has("json")) {
        nlohmann::json array = nlohmann::json::array();
        for (const Difference& difference : differences) {
            array.push_back({{"key", difference.key}, {"a", difference.a}, {"b", difference.b}});
        }
        std::cout << IndentedJson(array);
    } else {
        PrintDifferences(differences);
    }
    return ToInt(differences.empty() ? Exit::Ok : Exit::Differ);
}

int Convert(const Invocation& call) {
    const std::vector<std::string> paths = PlainOperands(call, 2, "IN and OUT");
    // Read as `write` reads it; OUT holds the bytes `write` would send, or their settings.
    const ConfigImage image =
        EncodeConfiguration(WithPresets(call, LoadConfiguration(paths[0], DefaultConfiguration())));
    std::optional<Form> chosen;
    if (call.args.Has("text") && call.args.Has("json")) {
        throw CliError(Exit::Usage, "convert: --text and --json exclude each other");
    }
    if (call.args.Has("text") || call.args.Has("json")) {
        chosen = call.args.Has("text") ? Form::Text : Form::Json;
    }
    const Form form = OutputForm(call.command, paths[1], chosen);
    RefuseSameFile(paths[1], paths[0], "convert");
    if (form == Form::Image) {
        SaveImageFile(paths[1], image);
    } else {
        SaveConfiguration(paths[1], DecodeConfiguration(image), form);
    }
    return ToInt(Exit::Ok);
}

}  // namespace zorvik::cli
