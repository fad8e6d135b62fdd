// The commands of zorvik-cli, each a thin layer over the same exchange code as the window.
#include "cli/Cli.h"

#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <functional>
#include <iostream>
#include <map>
#include <memory>
#include <new>
#include <optional>
#include <string>
#include <system_error>
#include <vector>

#include <nlohmann/json.hpp>

#include "Version.h"
#include "cli/Args.h"
#include "cli/ConfigForms.h"
#include "cli/Console.h"
#include "cli/Device.h"
#include "cli/ExitCode.h"
#include "cli/FlashProgress.h"
#include "cli/Help.h"
#include "cli/Json.h"
#include "cli/Passwords.h"
#include "cli/PortError.h"
#include "cli/PortNames.h"
#include "cli/Provision.h"
#include "cli/SecurityForm.h"
#include "cli/SupportReport.h"
#include "config/ConfigDiff.h"
#include "config/ConfigText.h"
#include "config/Configuration.h"
#include "device/Autodetect.h"
#include "device/FirmwareUpdate.h"
#include "files/FileIo.h"
#include "serial/PortFault.h"
#include "trace/TraceFile.h"

namespace zorvik::cli {

namespace {

constexpr const char* kProgramName = "zorvik-cli";

const OptionDef kHelpOption{"help", 'h', false, false};
const OptionDef kPortOption{"port", 'p', true, false};
const OptionDef kPasswordFileOption{"password-file", 0, true, false};
const OptionDef kJsonOption{"json", 0, false, false};
const OptionDef kTraceOption{"trace", 0, true, false};

const OptionDef kVerboseOption{"verbose", 'v', false, false};
const OptionDef kQuietOption{"quiet", 'q', false, false};

// A command's closing confirmation on standard output; -q leaves it out.
void Confirm(const std::string& text) {
    if (CurrentVerbosity() != Verbosity::Quiet) {
        std::cout << text << '\n';
    }
}

// What every command gets: its arguments, already parsed.
struct Invocation {
    std::string command;
    Args args;
    TraceFile* trace = nullptr;  // the byte trace asked for, if any
};

// "2026-12-09 07:40:12 UTC", for the title of a trace or report.
std::string UtcNow() {
    const std::time_t now = std::time(nullptr);
    std::tm parts{};
    gmtime_r(&now, &parts);
    char text[32];
    std::strftime(text, sizeof text, "%Y-%m-%d %H:%M:%S UTC", &parts);
    return text;
}

// The trace of the command that runs, from its start to its exit status.
SystemClock gTraceClock;
std::unique_ptr<TraceFile> gTrace;

// Opens the trace a command that talks to a device was asked for, and begins its section.
void StartTrace(Invocation& call, const std::vector<std::string>& words) {
    std::optional<std::string> path = call.args.Value("trace");
    if (!path) {
        path = TraceFileFromEnvironment();
    }
    if (!path) {
        return;
    }
    try {
        gTrace = std::make_unique<TraceFile>(*path, gTraceClock);
    } catch (const EInOutError& error) {
        throw CliError(Exit::FileError, "trace " + *path + ": " + error.what());
    }
    std::string title = std::string(kProgramName) + " " + kVersion + ", " + UtcNow() + ":";
    for (const std::string& word : words) {
        title += " " + word;
    }
    gTrace->Log().BeginSection(title);
    call.trace = gTrace.get();
}

// The command's end in the trace, which is then complete on disk.
void EndTrace(int status, const std::string& message) {
    if (!gTrace) {
        return;
    }
    if (status == 0) {
        gTrace->Log().Note("exit 0");
    } else {
        gTrace->Log().Error("exit " + std::to_string(status) + ": " + message);
    }
    gTrace->Log().Flush();
    if (const auto& failure = gTrace->Log().Failure()) {
        std::cerr << kProgramName << ": warning: trace " << gTrace->Path()
                  << " is incomplete: " << *failure << '\n';
    }
    gTrace.reset();
}

std::optional<std::string> PasswordFile(const Args& args) {
    return args.Value("password-file");
}

// Standard input can feed one reader only: a form and a password cannot both come from it.
void OneReaderOfStandardInput(const Invocation& call, const std::string& form,
                              bool passwordsFromStdin) {
    const auto file = PasswordFile(call.args);
    const bool formFromStdin = IsStandardInput(form);
    const bool passwordFromStdin = file && IsStandardInput(*file);
    if ((formFromStdin ? 1 : 0) + (passwordFromStdin ? 1 : 0) + (passwordsFromStdin ? 1 : 0) > 1) {
        throw CliError(Exit::Usage, call.command +
                                        ": standard input can give either the form or a "
                                        "password, not both; put one of them in a file");
    }
}

std::string RequiredPort(const Invocation& call) {
    const auto port = call.args.Value("port");
    if (!port) {
        throw CliError(Exit::Usage, call.command + ": missing -p PORT");
    }
    return *port;
}

// The plain operands, exactly `count` of them.
std::vector<std::string> Operands(const Invocation& call, std::size_t count, const char* what) {
    std::vector<std::string> plain;
    for (const Operand& operand : call.args.Operands()) {
        plain.push_back(operand.text);
    }
    if (plain.size() != count) {
        throw CliError(Exit::Usage, call.command + ": expected " + what);
    }
    return plain;
}

void NoOperands(const Invocation& call) {
    (void)Operands(call, 0, "no arguments");
}

// ports ---------------------------------------------------------------------------------------

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

// detect --------------------------------------------------------------------------------------

// What a port answered when listened to.
struct PortAnswer {
    std::string name;
    std::string device;
    std::string state;  // "ready", "silent", "busy" or "unusable"
    std::string why;    // for "busy" and "unusable": the port's error in English
};

PortAnswer Listen(const PortMap& map, TComPort& port, ConsoleClock& clock, int number) {
    PortAnswer answer;
    answer.name = "COM" + std::to_string(number);
    answer.device = RealPath(map.DevicePath(number).value_or(""));
    Step(answer.name + ": listening for the Ready banner");
    try {
        port.SetPort(answer.name);
        answer.state = ListenForBanner(port, clock) ? "ready" : "silent";
    } catch (const EComPort& error) {
        answer.state = ClassifyPortFault(error) == PortFault::Busy ? "busy" : "unusable";
        answer.why = DescribePortError(error, answer.name).what();
    }
    return answer;
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
        answers.push_back(Listen(map, port, clock, number));
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

// keys ----------------------------------------------------------------------------------------

int Keys(const Invocation& call) {
    NoOperands(call);
    for (const ConfigEntry& key : ConfigKeyValues()) {
        std::cout << key.key << '\t' << key.value << '\n';
    }
    return ToInt(Exit::Ok);
}

// read ----------------------------------------------------------------------------------------

// The form asked for with --text or --json, if any.
std::optional<Form> ChosenForm(const Invocation& call) {
    if (call.args.Has("text") && call.args.Has("json")) {
        throw CliError(Exit::Usage, call.command + ": --text and --json exclude each other");
    }
    if (call.args.Has("text")) {
        return Form::Text;
    }
    if (call.args.Has("json")) {
        return Form::Json;
    }
    return std::nullopt;
}

// The form a configuration is saved in under `path`: `chosen` if given, else by its name, an
// image for a name of no known form. A .zvk name holds an image only.
Form OutputForm(const Invocation& call, const std::string& path, std::optional<Form> chosen) {
    if (chosen && *chosen != Form::Image && FormOfName(path, Form::Text) == Form::Image) {
        throw CliError(Exit::Usage, call.command + ": " + path +
                                        ": a .zvk file holds a 256-byte image; give the text or "
                                        "JSON form a name ending in .txt or .json");
    }
    return chosen ? *chosen : FormOfName(path, Form::Image);
}

// Saves what was read from the device; an image keeps the device's bytes exactly as they came.
void SaveRead(const std::string& path, const ConfigImage& image, Form form) {
    if (form == Form::Image) {
        SaveImageFile(path, image);
    } else {
        SaveConfiguration(path, DecodeConfiguration(image), form);
    }
}

int Read(const Invocation& call) {
    NoOperands(call);
    const std::optional<Form> chosen = ChosenForm(call);
    const auto output = call.args.Value("output");
    std::optional<Form> form;
    if (output) {
        form = OutputForm(call, *output, chosen);
        CheckOutputPlace(*output);
    }
    const std::u16string password = AccessPassword(PasswordFile(call.args));
    Device device(RequiredPort(call), call.trace);
    Step(device.Label() + ": reading the configuration");
    const ConfigImage image = device.Read(password);
    if (!output) {
        std::cout << Render(DecodeConfiguration(image), chosen.value_or(Form::Text));
        return ToInt(Exit::Ok);
    }
    SaveRead(*output, image, *form);
    Step(*output + ": saved");
    return ToInt(Exit::Ok);
}

// dump and diff -------------------------------------------------------------------------------

int Dump(const Invocation& call) {
    const std::string path = Operands(call, 1, "one FILE")[0];
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
        // Each side as its line of the text form, so a "+" line can be pasted into a form.
        const auto line = [](const std::string& key, const std::string& value) {
            return key + " =" + (value.empty() ? "" : " " + value) + "\n";
        };
        for (const Difference& difference : differences) {
            std::cout << '-' << line(difference.key, difference.a) << '+'
                      << line(difference.key, difference.b);
        }
    }
    return ToInt(differences.empty() ? Exit::Ok : Exit::Differ);
}

// write ---------------------------------------------------------------------------------------

// The keys whose values differ, or the byte offsets where no key tells the difference.
std::string WhatDiffers(const ConfigImage& sent, const ConfigImage& back) {
    const std::vector<Difference> differences =
        Differences(DecodeConfiguration(sent), DecodeConfiguration(back));
    std::string list;
    constexpr std::size_t kNamed = 8;  // the rest is summed up
    for (std::size_t i = 0; i < differences.size() && i < kNamed; ++i) {
        list += (list.empty() ? "" : ", ") + differences[i].key;
    }
    if (differences.size() > kNamed) {
        list += " and " + std::to_string(differences.size() - kNamed) + " more";
    }
    if (!list.empty()) {
        return list;
    }
    for (int i = 0; i < kImageSize; ++i) {
        if (sent[static_cast<std::size_t>(i)] != back[static_cast<std::size_t>(i)]) {
            list += (list.empty() ? "byte " : ", ") + std::to_string(i);
        }
    }
    return list;
}

// The settings the device would not hold as given (a number whose telephone is not in use,
// timings given for a Wardeno, ...): what it would store differs from what the form says.
std::vector<std::string> NotHeld(const Configuration& wanted) {
    std::vector<std::string> notes;
    const Configuration stored = DecodeConfiguration(EncodeConfiguration(wanted));
    for (const Difference& difference : Differences(wanted, stored)) {
        const auto line = [&difference](const std::string& value) {
            return difference.key + " =" + (value.empty() ? "" : " " + value);
        };
        notes.push_back("the device will not hold " + line(difference.a) + "; it will store " +
                        line(difference.b));
    }
    return notes;
}

// Warns about each setting the device will not hold; with --strict they refuse the form.
void CheckHeld(const Invocation& call, const std::string& path, const Configuration& wanted) {
    const std::vector<std::string> notes = NotHeld(wanted);
    if (notes.empty()) {
        return;
    }
    if (call.args.Has("strict")) {
        std::string all;
        for (const std::string& note : notes) {
            all += "\n  " + note;
        }
        throw CliError(Exit::FileError,
                       (path == "-" ? std::string("standard input") : path) +
                           ": settings the device will not hold (--strict):" + all);
    }
    for (const std::string& note : notes) {
        Warn(note);
    }
}

std::string FormText(const std::string& path) {
    std::string text = LoadTextFile(path);
    if (IsEmptyForm(text)) {
        throw CliError(Exit::FileError, (path == "-" ? std::string("standard input") : path) +
                                            ": the form is empty: it gives no setting");
    }
    return text;
}

// Prints the settings a write would change, as diff does: "-" the device's, "+" the new.
void PrintChanges(const ConfigImage& current, const ConfigImage& wanted) {
    const auto line = [](const std::string& key, const std::string& value) {
        return key + " =" + (value.empty() ? "" : " " + value) + "\n";
    };
    for (const Difference& difference :
         Differences(DecodeConfiguration(current), DecodeConfiguration(wanted))) {
        std::cout << '-' << line(difference.key, difference.a) << '+'
                  << line(difference.key, difference.b);
    }
}

CliError StoppedWithNote(const Interrupted& stop, const Device& device, const std::string& note) {
    return device.Failed(stop.Terminated() ? Exit::Terminated : Exit::Interrupted,
                         std::string(stop.what()) + " " + note);
}

int Write(const Invocation& call) {
    const std::string path = Operands(call, 1, "one FILE")[0];
    const bool merge = call.args.Has("merge");
    const bool dryRun = call.args.Has("dry-run");
    const auto backup = call.args.Value("backup");
    std::optional<Form> backupForm;
    if (backup) {
        backupForm = OutputForm(call, *backup, std::nullopt);
        CheckOutputPlace(*backup);
    }
    OneReaderOfStandardInput(call, path, false);
    const std::u16string password = AccessPassword(PasswordFile(call.args));

    // The whole form is checked before the device is touched, whatever the base.
    std::optional<std::string> text;
    Configuration wanted;
    if (IsImageFile(path)) {
        if (merge) {
            throw CliError(Exit::Usage, "write: --merge applies to text and JSON forms only");
        }
        wanted = DecodeConfiguration(LoadImageFile(path));
    } else {
        text = FormText(path);
        wanted = ParseForm(*text, path, DefaultConfiguration());
        if (!merge) {
            CheckHeld(call, path, wanted);
        }
    }

    Device device(RequiredPort(call), call.trace);
    std::optional<ConfigImage> current;
    if (merge || dryRun || backup) {
        Step(device.Label() + ": reading the configuration it holds");
        current = device.Read(password);
    }
    if (backup) {
        SaveRead(*backup, *current, *backupForm);
        Step(*backup + ": the device's configuration saved");
    }
    if (merge) {
        wanted = ParseForm(*text, path, DecodeConfiguration(*current));
        CheckHeld(call, path, wanted);
    }
    // The same bytes as the window would send after opening the same settings.
    const ConfigImage image = EncodeConfiguration(wanted);
    if (dryRun) {
        PrintChanges(*current, image);
        if (CurrentVerbosity() != Verbosity::Quiet) {
            std::cerr << kProgramName << ": " << device.Label() << ": dry run: nothing was sent\n";
        }
        return ToInt(Exit::Ok);
    }

    Step(device.Label() + ": writing the configuration");
    bool sent = false;
    try {
        device.Write(password, image, sent);
    } catch (const Interrupted& stop) {
        if (!sent) {
            throw StoppedWithNote(stop, device,
                                  "before the configuration was sent; nothing changed");
        }
        throw StoppedWithNote(stop, device,
                              "while waiting for the device's answer to the configuration; the "
                              "device may have stored it");
    }
    if (call.args.Has("no-verify")) {
        Confirm(device.Label() + ": configuration written (not verified)");
        return ToInt(Exit::Ok);
    }
    // The device holds the new configuration from here on, whatever the read-back meets.
    ConfigImage back{};
    try {
        Step(device.Label() + ": reading the configuration back");
        back = device.ReadBack(password);
    } catch (const Interrupted& stop) {
        throw StoppedWithNote(stop, device, "while reading back" + std::string(kNotVerifiedNote));
    }
    if (back != image) {
        throw device.Failed(
            Exit::DataError,
            "verification failed: the device holds other values for " + WhatDiffers(image, back));
    }
    Confirm(device.Label() + ": configuration written and verified");
    return ToInt(Exit::Ok);
}

// provision and convert -----------------------------------------------------------------------

int ProvisionCommand(const Invocation& call) {
    ProvisionSetup setup;
    for (const Operand& operand : call.args.Operands()) {
        if (!operand.option.empty()) {
            setup.ports.push_back(operand.text);
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
    if (setup.resume && !setup.reportPath) {
        throw CliError(Exit::Usage, "provision: --resume needs --report REPORT.csv");
    }
    for (const std::string& port : setup.ports) {
        (void)PortName(port);  // a name that is no port is a usage error before anything starts
    }
    setup.password = AccessPassword(PasswordFile(call.args));
    return Provision(setup);
}

int Convert(const Invocation& call) {
    const std::vector<std::string> paths = Operands(call, 2, "IN and OUT");
    // Read as `write` reads it; OUT holds the bytes `write` would send, or their settings.
    const ConfigImage image =
        EncodeConfiguration(LoadConfiguration(paths[0], DefaultConfiguration()));
    const Form form = FormOfName(paths[1], Form::Text);
    if (form == Form::Image) {
        SaveImageFile(paths[1], image);
    } else {
        SaveConfiguration(paths[1], DecodeConfiguration(image), form);
    }
    return ToInt(Exit::Ok);
}

// passwd --------------------------------------------------------------------------------------

int Passwd(const Invocation& call) {
    NoOperands(call);
    const std::u16string current = AccessPassword(PasswordFile(call.args));
    Device device(RequiredPort(call), call.trace);
    PasswordReader reader(call.args.Has("new-password-stdin"), "--new-password-stdin");
    const std::u16string next =
        FromUtf8(reader.Read("New access password: ", "Retype new access password: "));
    if (!IsValidAccessPassword(next)) {
        throw CliError(Exit::Usage, "passwd: the new access password must be 4 characters");
    }
    if (!IsPlainAscii(next)) {
        throw CliError(Exit::Usage,
                       "passwd: the new access password must be letters, digits or signs of "
                       "ASCII: the device compares bytes, and other characters are not sent as "
                       "typed");
    }
    Step(device.Label() + ": changing the access password");
    switch (ChangeAccessPassword(device.Exchange(), current, next, {})) {
        case PasswordChangeOutcome::Changed:
            Confirm(device.Label() +
                    ": access password changed; the device now answers only to the new one");
            return ToInt(Exit::Ok);
        case PasswordChangeOutcome::BadLength:
            throw CliError(Exit::Usage, "passwd: the access passwords must be 4 characters");
        case PasswordChangeOutcome::NoReady:
            throw FramingFailure(device, FramingOutcome::NoReady);
        case PasswordChangeOutcome::WrongPassword:
            throw FramingFailure(device, FramingOutcome::WrongPassword);
        case PasswordChangeOutcome::NoAnswer:
            break;
    }
    throw device.Failed(Exit::NoDevice,
                        "device did not answer after the Ready banner; the password was not "
                        "changed");
}

// security ------------------------------------------------------------------------------------

// The panel checks in English; the window's order decides which is reported first.
void CheckPanel(const SecurityPanel& panel) {
    SecurityCheck check = BuildSecurityRecord(panel).outcome;
    if (check == SecurityCheck::Ok) {
        check = CheckCurrentPassword(panel.currentPassword);
    }
    switch (check) {
        case SecurityCheck::Ok:
            return;
        case SecurityCheck::NoPassword:
            throw CliError(Exit::Usage, "security: no current security password given");
        case SecurityCheck::NoTelephone:
            throw CliError(Exit::FileError,
                           "security: protection is on, but the form gives no telephone number");
        case SecurityCheck::NewPasswordsDiffer:
            throw CliError(Exit::Usage, "security: the new security passwords do not match");
        case SecurityCheck::NewPasswordLength:
            throw CliError(Exit::Usage,
                           "security: the new security password must be 10 characters");
        case SecurityCheck::CurrentPasswordLength:
            break;
    }
    throw CliError(Exit::Usage, "security: the current security password must be 10 characters");
}

int Security(const Invocation& call) {
    const std::string path = Operands(call, 1, "one FILE")[0];
    OneReaderOfStandardInput(call, path, call.args.Has("passwords-stdin"));
    const std::u16string access = AccessPassword(PasswordFile(call.args));
    const SecurityForm form =
        ParseSecurityForm(FormText(path), path == "-" ? std::string("standard input") : path);
    Device device(RequiredPort(call), call.trace);

    PasswordReader reader(call.args.Has("passwords-stdin"), "--passwords-stdin");
    SecurityPanel panel;
    panel.currentPassword = FromUtf8(reader.Read("Current security password: ", std::nullopt));
    panel.protection = form.protection;
    panel.telephone = TelephoneMaskText(form.telephone);
    panel.changePassword = form.changePassword;
    if (form.protection && form.changePassword) {
        panel.newPassword =
            FromUtf8(reader.Read("New security password: ", "Retype new security password: "));
        panel.repeatedPassword = panel.newPassword;
        if (!IsPlainAscii(panel.newPassword)) {
            throw CliError(Exit::Usage,
                           "security: the new security password must be letters, digits or "
                           "signs of ASCII: the device compares bytes");
        }
    }
    panel.reportSwitchOn = form.reportSwitchOn;
    panel.reportSimChange = form.reportSimChange;
    panel.reportCyclic = form.reportCyclic;
    panel.reportInterval = form.reportInterval;
    panel.reportStartHour = form.reportStartHour;
    CheckPanel(panel);
    Step(device.Label() + ": sending the anti-theft settings");

    switch (SendSecuritySettings(device.Exchange(), access, panel)) {
        case SecurityOutcome::Updated:
            Confirm(device.Label() + ": anti-theft settings sent");
            return ToInt(Exit::Ok);
        case SecurityOutcome::AccessPasswordLength:
        case SecurityOutcome::PanelCheckFailed:
        case SecurityOutcome::CurrentPasswordLength:
            throw CliError(Exit::Usage, "security: the settings were refused before sending");
        case SecurityOutcome::NoReady:
            throw FramingFailure(device, FramingOutcome::NoReady);
        case SecurityOutcome::WrongPassword:
            throw FramingFailure(device, FramingOutcome::WrongPassword);
        case SecurityOutcome::NoAnswer:
            throw FramingFailure(device, FramingOutcome::NoAnswer);
        case SecurityOutcome::RecordRefused:
            throw device.Failed(Exit::WrongPassword,
                                "the device refused the anti-theft settings: wrong security "
                                "password");
        case SecurityOutcome::BadChecksum:
            throw device.Failed(Exit::DataError,
                                "the device found a checksum error in the anti-theft settings "
                                "and did not store them");
        case SecurityOutcome::NoTransferAnswer:
            break;
    }
    throw device.Failed(Exit::NoDevice,
                        "the device did not confirm the anti-theft settings; they may not have "
                        "been stored");
}

// flash ---------------------------------------------------------------------------------------

void CheckFirmwareFile(const std::string& path) {
    std::uint64_t size = 0;
    try {
        size = InputFile(path).Size();
    } catch (const EInOutError& error) {
        throw CliError(Exit::FileError, path + ": " + error.what());
    }
    switch (CheckFirmwareFileSize(size)) {
        case FirmwareFileSize::Acceptable:
            return;
        case FirmwareFileSize::TooLarge:
            throw CliError(Exit::FileError, path + ": too large for the device (" +
                                                std::to_string(size) + " bytes, at most " +
                                                std::to_string(kFirmwareMaxSize) + ")");
        case FirmwareFileSize::Empty:
            throw CliError(Exit::FileError,
                           path +
                               ": empty: programming it would leave the device without "
                               "firmware");
        case FirmwareFileSize::PartialRecord:
            break;
    }
    throw CliError(Exit::FileError, path + ": not a whole number of " +
                                        std::to_string(kFirmwareRecordSize) + "-byte records (" +
                                        std::to_string(size) + " bytes)");
}

constexpr const char* kIncomplete = "; the device's firmware is incomplete: flash it again";
constexpr const char* kProgrammedNotVerified =
    "; the firmware was programmed but not verified: flash it again to be sure";

// What a failure leaves on the device, by how far the update got.
std::string FlashNote(FirmwarePhase phase) {
    switch (phase) {
        case FirmwarePhase::NotStarted:
            return "; the device was not changed";
        case FirmwarePhase::Programming:
            return kIncomplete;
        case FirmwarePhase::Programmed:
            break;
    }
    return kProgrammedNotVerified;
}

int Flash(const Invocation& call) {
    const std::string path = Operands(call, 1, "one FIRMWARE.bin")[0];
    CheckFirmwareFile(path);
    Device device(RequiredPort(call), call.trace);
    FlashProgress progress(stderr,
                           ::isatty(STDERR_FILENO) == 1 && CurrentVerbosity() != Verbosity::Quiet);
    progress.SetQuiet(CurrentVerbosity() == Verbosity::Quiet);
    FirmwareOptions options;
    options.verify = !call.args.Has("no-verify");
    options.reset = !call.args.Has("no-reset");
    FirmwareUpdate update(device.Port(), device.Time(), device.Messages(), progress);
    FirmwareOutcome outcome = FirmwareOutcome::NoReady;
    Step(device.Label() + ": waiting for the Ready banner, then programming " + path);
    try {
        outcome = update.Run(path, options);
    } catch (const EInOutError& error) {
        throw CliError(Exit::FileError, path + ": " + error.what() + FlashNote(update.Phase()));
    } catch (const EComPort& error) {
        const CliError described = DescribePortError(error, device.Label());
        throw CliError(described.Code(), described.what() + FlashNote(update.Phase()));
    } catch (const Interrupted& stop) {
        const Exit code = stop.Terminated() ? Exit::Terminated : Exit::Interrupted;
        switch (update.Phase()) {
            case FirmwarePhase::NotStarted:
                throw device.Failed(code,
                                    std::string(stop.what()) + "; the device was not changed");
            case FirmwarePhase::Programming:
                throw device.Failed(code,
                                    std::string(stop.what()) + " during programming" + kIncomplete);
            case FirmwarePhase::Programmed:
                break;
        }
        throw device.Failed(
            code, std::string(stop.what()) + " during verification" + kProgrammedNotVerified);
    }
    const std::string note = FlashNote(update.Phase());
    switch (outcome) {
        case FirmwareOutcome::Done: {
            std::string done = "firmware programmed";
            done += options.verify ? " and verified" : " (not verified)";
            done += options.reset ? "; device reset" : "";
            Confirm(device.Label() + ": " + done);
            return ToInt(Exit::Ok);
        }
        case FirmwareOutcome::NoReady:
            throw device.Failed(Exit::NoDevice,
                                "no Ready banner from the device; the firmware was not changed");
        case FirmwareOutcome::ProgrammingFailed:
            throw device.Failed(Exit::DataError, "the device reported a programming error" + note);
        case FirmwareOutcome::DeviceSilent:
            throw device.Failed(Exit::NoDevice,
                                "the device stopped asking for data during programming" + note);
        case FirmwareOutcome::NoVerifyReady:
            throw device.Failed(Exit::NoDevice,
                                "no Ready banner from the device before verification" + note);
        case FirmwareOutcome::VerificationFailed:
            throw device.Failed(Exit::DataError,
                                "verification failed: the device holds different firmware: flash "
                                "it again");
        case FirmwareOutcome::FileRefused:
            break;
    }
    throw CliError(Exit::FileError, path + ": the file changed since it was checked" + note);
}

// support-report ------------------------------------------------------------------------------

int SupportReportCommand(const Invocation& call) {
    NoOperands(call);
    const auto trace = call.args.Value("trace");
    std::string report;
    try {
        report = SupportReport(PortMap(), trace);
    } catch (const EInOutError& error) {
        throw CliError(Exit::FileError, "trace " + trace.value_or("") + ": " + error.what());
    }
    if (const auto output = call.args.Value("output")) {
        ReplaceFileContents(*output, std::span(reinterpret_cast<const std::uint8_t*>(report.data()),
                                               report.size()));
        return ToInt(Exit::Ok);
    }
    std::cout << report;
    return ToInt(Exit::Ok);
}

// dispatch ------------------------------------------------------------------------------------

struct Command {
    std::function<int(const Invocation&)> run;
    std::vector<OptionDef> options;
};

const std::map<std::string, Command>& Commands() {
    static const std::map<std::string, Command> commands = {
        {"ports", {Ports, {kJsonOption}}},
        {"detect", {Detect, {{"all", 0, false, false}, kJsonOption, kTraceOption}}},
        {"keys", {Keys, {}}},
        {"read",
         {Read,
          {kPortOption,
           kPasswordFileOption,
           kJsonOption,
           kTraceOption,
           {"output", 'o', true, false},
           {"text", 0, false, false}}}},
        {"write",
         {Write,
          {kPortOption,
           kPasswordFileOption,
           kTraceOption,
           {"no-verify", 0, false, false},
           {"merge", 0, false, false},
           {"strict", 0, false, false},
           {"dry-run", 0, false, false},
           {"backup", 0, true, false}}}},
        {"dump", {Dump, {kJsonOption}}},
        {"provision",
         {ProvisionCommand,
          {{"port", 'p', true, true},
           kPasswordFileOption,
           {"devices", 0, true, false},
           {"all-ports", 0, false, false},
           {"report", 0, true, false},
           {"watch", 0, false, false},
           {"resume", 0, false, false}}}},
        {"convert", {Convert, {}}},
        {"diff",
         {Diff, {{"port", 'p', true, true}, kPasswordFileOption, kJsonOption, kTraceOption}}},
        {"passwd",
         {Passwd,
          {kPortOption,
           kPasswordFileOption,
           kTraceOption,
           {"new-password-stdin", 0, false, false}}}},
        {"security",
         {Security,
          {kPortOption, kPasswordFileOption, kTraceOption, {"passwords-stdin", 0, false, false}}}},
        {"flash",
         {Flash,
          {kPortOption,
           kTraceOption,
           {"no-verify", 0, false, false},
           {"no-reset", 0, false, false}}}},
        // Its --trace names a trace to include, not one to write.
        {"support-report",
         {SupportReportCommand, {{"output", 'o', true, false}, {"trace", 0, true, false}}}},
    };
    return commands;
}

[[noreturn]] void UsageError(const std::string& message, const std::string& command) {
    const std::string more = command.empty() ? "--help" : command + " --help";
    throw CliError(Exit::Usage, message + "\nTry '" + std::string(kProgramName) + " " + more +
                                    "' for more information.");
}

int Run(const std::vector<std::string>& words) {
    if (words.empty()) {
        UsageError("missing command", "");
    }
    const std::string& first = words[0];
    if (first == "--help" || first == "-h" || first == "help") {
        // "help read" is "read --help".
        if (first == "help" && words.size() > 1 && Commands().contains(words[1])) {
            std::cout << CommandHelp(words[1]);
        } else {
            std::cout << ProgramHelp();
        }
        return ToInt(Exit::Ok);
    }
    if (first == "--version") {
        std::cout << kProgramName << ' ' << kVersion << '\n';
        return ToInt(Exit::Ok);
    }
    const auto found = Commands().find(first);
    if (found == Commands().end()) {
        UsageError("'" + first + "' is not a command", "");
    }
    std::vector<OptionDef> defs = found->second.options;
    defs.push_back(kHelpOption);
    defs.push_back(kVerboseOption);
    defs.push_back(kQuietOption);
    Invocation call{first, {}};
    try {
        call.args = Args::Parse(std::vector<std::string>(words.begin() + 1, words.end()), defs);
    } catch (const CliError& error) {
        UsageError(first + ": " + error.what(), first);
    }
    if (call.args.Has("help")) {
        std::cout << CommandHelp(first);
        return ToInt(Exit::Ok);
    }
    if (call.args.Has("verbose") && call.args.Has("quiet")) {
        UsageError(first + ": -v and -q exclude each other", first);
    }
    SetVerbosity(call.args.Has("verbose") ? Verbosity::Verbose
                 : call.args.Has("quiet") ? Verbosity::Quiet
                                          : Verbosity::Normal);
    const auto& options = found->second.options;
    if (first != "support-report" &&
        std::any_of(options.begin(), options.end(),
                    [](const OptionDef& option) { return option.name == kTraceOption.name; })) {
        StartTrace(call, words);
    }
    return found->second.run(call);
}

}  // namespace

int Main(int argc, char** argv) {
    InstallInterruptHandler();
    std::vector<std::string> words(argv + 1, argv + argc);
    try {
        const int status = Run(words);
        // A result that could not be written (a full disk, a closed pipe) is not a success.
        if (!std::cout.flush()) {
            std::cerr << kProgramName << ": cannot write to standard output\n";
            EndTrace(ToInt(Exit::FileError), "cannot write to standard output");
            return ToInt(Exit::FileError);
        }
        EndTrace(status, "");
        return status;
    } catch (const CliError& error) {
        std::cout.flush();
        std::cerr << kProgramName << ": " << error.what() << '\n';
        EndTrace(ToInt(error.Code()), error.what());
        return ToInt(error.Code());
    } catch (const EComPort& error) {
        std::cout.flush();
        const CliError described = DescribePortError(error, error.Port());
        std::cerr << kProgramName << ": " << described.what() << '\n';
        EndTrace(ToInt(described.Code()), described.what());
        return ToInt(described.Code());
    } catch (const Interrupted& stop) {
        std::cerr << '\n' << kProgramName << ": " << stop.what() << '\n';
        const Exit code = stop.Terminated() ? Exit::Terminated : Exit::Interrupted;
        EndTrace(ToInt(code), stop.what());
        return ToInt(code);
    } catch (const EInOutError& error) {
        std::cerr << kProgramName << ": " << error.what() << '\n';
        EndTrace(ToInt(Exit::FileError), error.what());
        return ToInt(Exit::FileError);
    } catch (const std::bad_alloc&) {
        // An input too large for the memory left is a file that cannot be read, not a crash.
        std::cerr << kProgramName << ": not enough memory to read the input\n";
        return ToInt(Exit::FileError);
    }
}

}  // namespace zorvik::cli
