// The commands of zorvik-cli, each a thin layer over the same exchange code as the window.
#include "cli/Cli.h"

#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <functional>
#include <iostream>
#include <map>
#include <optional>
#include <string>
#include <system_error>
#include <vector>

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
#include "cli/SecurityForm.h"
#include "config/ConfigDiff.h"
#include "config/ConfigText.h"
#include "config/Configuration.h"
#include "files/FileIo.h"
#include "firmware/FirmwareUpdate.h"
#include "link/Autodetect.h"

namespace zorvik::cli {

namespace {

constexpr const char* kProgramName = "zorvik-cli";
constexpr const char* kByIdFolder = "/dev/serial/by-id";  // udev's stable names of adapters

const OptionDef kHelpOption{"help", 'h', false, false};
const OptionDef kPortOption{"port", 'p', true, false};
const OptionDef kPasswordFileOption{"password-file", 0, true, false};
const OptionDef kJsonOption{"json", 0, false, false};

// What every command gets: its arguments, already parsed.
struct Invocation {
    std::string command;
    Args args;
};

std::optional<std::string> PasswordFile(const Args& args) {
    return args.Value("password-file");
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

std::string RealPath(const std::string& path) {
    std::error_code error;
    const auto real = std::filesystem::canonical(path, error);
    return error ? path : real.string();
}

// The by-id name of each device, keyed by the device's real path.
std::map<std::string, std::string> ByIdNames() {
    std::map<std::string, std::string> names;
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator(kByIdFolder, error)) {
        names.emplace(RealPath(entry.path().string()), entry.path().string());
    }
    return names;
}

int Ports(const Invocation& call) {
    NoOperands(call);
    const PortMap map;
    const auto byId = ByIdNames();
    std::vector<PortEntry> entries;
    for (const std::string& name : map.ListPresent()) {
        const std::string device = RealPath(*map.DevicePath(name));
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

int Detect(const Invocation& call) {
    NoOperands(call);
    const PortMap map;
    TComPort port(map);
    ConsoleClock clock;
    const auto found =
        ScanForDevice(port, clock, {[&map](int number) { return ProbeComPort(map, number); }, {}});
    if (!found) {
        throw CliError(Exit::NoDevice, "no device answered on any port (COM1 to COM50)");
    }
    std::cout << *found << '\n';
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

int Read(const Invocation& call) {
    NoOperands(call);
    const std::optional<Form> chosen = ChosenForm(call);
    const std::u16string password = AccessPassword(PasswordFile(call.args));
    Device device(RequiredPort(call));
    const ConfigImage image = device.Read(password);
    const Configuration value = DecodeConfiguration(image);
    const auto output = call.args.Value("output");
    if (!output) {
        std::cout << Render(value, chosen.value_or(Form::Text));
        return ToInt(Exit::Ok);
    }
    const Form form = chosen ? *chosen : FormOfName(*output, Form::Image);
    if (form == Form::Image) {
        // A backup keeps the device's bytes exactly as they came.
        SaveImageFile(*output, image);
    } else {
        SaveConfiguration(*output, value, form);
    }
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
    for (const Operand& operand : operands) {
        if (operand.option.empty()) {
            sides.push_back(LoadConfiguration(operand.text, DefaultConfiguration()));
            continue;
        }
        if (!password) {
            password = AccessPassword(PasswordFile(call.args));
        }
        Device device(operand.text);
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

// The configuration a file asks for. Keys a text or JSON form leaves out take the untouched
// window's values, or with --merge the device's current ones.
Configuration WantedConfiguration(const Invocation& call, const std::string& path, Device& device,
                                  const std::u16string& password) {
    const bool merge = call.args.Has("merge");
    if (IsImageFile(path)) {
        if (merge) {
            throw CliError(Exit::Usage, "write: --merge applies to text and JSON forms only");
        }
        return DecodeConfiguration(LoadImageFile(path));
    }
    const std::string text = LoadTextFile(path);
    // Checked before the device is touched, whatever the base.
    const Configuration fromDefaults = ParseForm(text, path, DefaultConfiguration());
    if (!merge) {
        return fromDefaults;
    }
    return ParseForm(text, path, DecodeConfiguration(device.Read(password)));
}

int Write(const Invocation& call) {
    const std::string path = Operands(call, 1, "one FILE")[0];
    const std::u16string password = AccessPassword(PasswordFile(call.args));
    Device device(RequiredPort(call));
    // The same bytes as the window would send after opening the same settings.
    const ConfigImage image =
        EncodeConfiguration(WantedConfiguration(call, path, device, password));
    device.Write(password, image);
    if (call.args.Has("no-verify")) {
        std::cout << device.Label() << ": configuration written (not verified)\n";
        return ToInt(Exit::Ok);
    }
    ConfigImage back{};
    try {
        back = device.Read(password);
    } catch (const CliError& error) {
        throw CliError(error.Code(), std::string(error.what()) +
                                         " (reading back; the configuration was written)");
    }
    if (back != image) {
        throw device.Failed(
            Exit::DataError,
            "verification failed: the device holds other values for " + WhatDiffers(image, back));
    }
    std::cout << device.Label() << ": configuration written and verified\n";
    return ToInt(Exit::Ok);
}

// passwd --------------------------------------------------------------------------------------

int Passwd(const Invocation& call) {
    NoOperands(call);
    const std::u16string current = AccessPassword(PasswordFile(call.args));
    Device device(RequiredPort(call));
    PasswordReader reader(call.args.Has("new-password-stdin"), "--new-password-stdin");
    const std::u16string next =
        FromUtf8(reader.Read("New access password: ", "Retype new access password: "));
    if (!IsValidAccessPassword(next)) {
        throw CliError(Exit::Usage, "passwd: the new access password must be 4 characters");
    }
    switch (ChangeAccessPassword(device.Exchange(), current, next, {})) {
        case PasswordChangeOutcome::Changed:
            std::cout << device.Label()
                      << ": access password changed; the device now answers only to the new "
                         "one\n";
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
    const std::u16string access = AccessPassword(PasswordFile(call.args));
    const SecurityForm form = ParseSecurityForm(LoadTextFile(path), path);
    Device device(RequiredPort(call));

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
    }
    panel.reportSwitchOn = form.reportSwitchOn;
    panel.reportSimChange = form.reportSimChange;
    panel.reportCyclic = form.reportCyclic;
    panel.reportInterval = form.reportInterval;
    panel.reportStartHour = form.reportStartHour;
    CheckPanel(panel);

    switch (SendSecuritySettings(device.Exchange(), access, panel)) {
        case SecurityOutcome::Updated:
            std::cout << device.Label() << ": anti-theft settings sent\n";
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
        case FirmwareFileSize::PartialRecord:
            break;
    }
    throw CliError(Exit::FileError, path + ": not a whole number of " +
                                        std::to_string(kFirmwareRecordSize) + "-byte records (" +
                                        std::to_string(size) + " bytes)");
}

int Flash(const Invocation& call) {
    const std::string path = Operands(call, 1, "one FIRMWARE.bin")[0];
    CheckFirmwareFile(path);
    Device device(RequiredPort(call));
    FlashProgress progress(stderr, ::isatty(STDERR_FILENO) == 1);
    FirmwareOptions options;
    options.verify = !call.args.Has("no-verify");
    options.reset = !call.args.Has("no-reset");
    FirmwareUpdate update(device.Port(), device.Time(), device.Messages(), progress);
    FirmwareOutcome outcome = FirmwareOutcome::NoReady;
    try {
        outcome = update.Run(path, options);
    } catch (const EInOutError& error) {
        throw CliError(Exit::FileError, path + ": " + error.what());
    } catch (const Interrupted&) {
        if (progress.Started()) {
            throw device.Failed(Exit::Interrupted,
                                "interrupted during programming; the device's firmware is "
                                "incomplete: flash it again");
        }
        throw device.Failed(Exit::Interrupted, "interrupted; the device was not changed");
    }
    switch (outcome) {
        case FirmwareOutcome::Done: {
            std::string done = "firmware programmed";
            done += options.verify ? " and verified" : " (not verified)";
            done += options.reset ? "; device reset" : "";
            std::cout << device.Label() << ": " << done << '\n';
            return ToInt(Exit::Ok);
        }
        case FirmwareOutcome::NoReady:
            throw device.Failed(Exit::NoDevice,
                                "no Ready banner from the device; the firmware was not changed");
        case FirmwareOutcome::ProgrammingFailed:
            throw device.Failed(Exit::DataError, "the device reported a programming error");
        case FirmwareOutcome::DeviceSilent:
            throw device.Failed(Exit::NoDevice,
                                "the device stopped asking for data during programming");
        case FirmwareOutcome::NoVerifyReady:
            throw device.Failed(Exit::NoDevice,
                                "no Ready banner from the device before verification");
        case FirmwareOutcome::VerificationFailed:
            throw device.Failed(Exit::DataError,
                                "verification failed: the device holds different firmware");
        case FirmwareOutcome::FileRefused:
            break;
    }
    throw CliError(Exit::FileError, path + ": the file changed while it was being programmed");
}

// dispatch ------------------------------------------------------------------------------------

struct Command {
    std::function<int(const Invocation&)> run;
    std::vector<OptionDef> options;
};

const std::map<std::string, Command>& Commands() {
    static const std::map<std::string, Command> commands = {
        {"ports", {Ports, {kJsonOption}}},
        {"detect", {Detect, {}}},
        {"read",
         {Read,
          {kPortOption,
           kPasswordFileOption,
           kJsonOption,
           {"output", 'o', true, false},
           {"text", 0, false, false}}}},
        {"write",
         {Write,
          {kPortOption,
           kPasswordFileOption,
           {"no-verify", 0, false, false},
           {"merge", 0, false, false}}}},
        {"dump", {Dump, {kJsonOption}}},
        {"diff", {Diff, {{"port", 'p', true, true}, kPasswordFileOption, kJsonOption}}},
        {"passwd",
         {Passwd, {kPortOption, kPasswordFileOption, {"new-password-stdin", 0, false, false}}}},
        {"security",
         {Security, {kPortOption, kPasswordFileOption, {"passwords-stdin", 0, false, false}}}},
        {"flash",
         {Flash, {kPortOption, {"no-verify", 0, false, false}, {"no-reset", 0, false, false}}}},
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
        std::cout << ProgramHelp();
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
            return ToInt(Exit::FileError);
        }
        return status;
    } catch (const CliError& error) {
        std::cout.flush();
        std::cerr << kProgramName << ": " << error.what() << '\n';
        return ToInt(error.Code());
    } catch (const EComPort& error) {
        std::cout.flush();
        const CliError described = DescribePortError(error, error.Port());
        std::cerr << kProgramName << ": " << described.what() << '\n';
        return ToInt(described.Code());
    } catch (const Interrupted&) {
        std::cerr << '\n' << kProgramName << ": interrupted\n";
        return ToInt(Exit::Interrupted);
    } catch (const EInOutError& error) {
        std::cerr << kProgramName << ": " << error.what() << '\n';
        return ToInt(Exit::FileError);
    }
}

}  // namespace zorvik::cli
