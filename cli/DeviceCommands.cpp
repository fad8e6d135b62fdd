// read and write: the configuration to and from the device.
#include "cli/Commands.h"

#include <iostream>
#include <optional>
#include <string>
#include <vector>

#include "cli/CommandSupport.h"
#include "cli/ConfigForms.h"
#include "cli/Console.h"
#include "cli/Device.h"
#include "cli/ExitCode.h"
#include "cli/Passwords.h"
#include "cli/Sha256.h"
#include "cli/StopWords.h"
#include "config/ConfigDiff.h"
#include "config/Configuration.h"

namespace zorvik::cli {

namespace {

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

// Saves what was read from the device; an image keeps the device's bytes exactly as they came.
void SaveRead(const std::string& path, const ConfigImage& image, Form form) {
    if (form == Form::Image) {
        SaveImageFile(path, image);
    } else {
        SaveConfiguration(path, DecodeConfiguration(image), form);
    }
}

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

// Warns about each setting the form gives that the device will not hold; with --strict they
// refuse the form.
void CheckHeld(const Invocation& call, const std::string& path, const std::string& text,
               const Configuration& wanted) {
    const std::vector<NotHeldSetting> settings = NotHeld(wanted, GivenKeys(text, path));
    if (settings.empty()) {
        return;
    }
    if (call.args.Has("strict")) {
        std::string all;
        for (const NotHeldSetting& setting : settings) {
            all += "\n  " + Describe(setting);
        }
        throw CliError(Exit::FileError,
                       Shown(path) + ": settings the device will not hold (--strict):" + all);
    }
    for (const NotHeldSetting& setting : settings) {
        Warn(Describe(setting));
    }
}

// Reads the written configuration back and keeps the history record: a device that holds other
// values is a data error that names them.
void VerifyWritten(Device& device, const std::u16string& password, const ConfigImage& image,
                   const std::optional<HistoryStore>& history, RecordNote& written) {
    ConfigImage back{};
    try {
        Step(device.Label() + ": reading the configuration back");
        back = device.ReadBack(password);
    } catch (const Interrupted& stop) {
        throw StoppedWithNote(stop, device, "while reading back" + std::string(kNotVerifiedNote));
    }
    if (back != image) {
        const CliError failed = device.Failed(
            Exit::DataError,
            "verification failed: the device holds other values for " + WhatDiffers(image, back));
        written.outcome = failed.what();
        KeepRecord(history, written, image);
        throw failed;
    }
    KeepRecord(history, written, image);
}

}  // namespace

int Read(const Invocation& call) {
    NoOperands(call);
    const std::optional<Form> chosen = ChosenForm(call);
    const auto output = call.args.Value("output");
    std::optional<Form> form;
    if (output) {
        form = OutputForm(call.command, *output, chosen);
        CheckOutputPlace(*output);
    }
    const std::u16string password = AccessPassword(PasswordFile(call.args));
    const auto history = CommandHistory(call);
    Device device(RequiredPort(call), call.trace);
    Step(device.Label() + ": reading the configuration");
    const ConfigImage image = device.Read(password);
    KeepRecord(history, Note(call, "read", RequiredPort(call)), image);
    if (!output) {
        std::cout << Render(DecodeConfiguration(image), chosen.value_or(Form::Text));
        return ToInt(Exit::Ok);
    }
    SaveRead(*output, image, *form);
    Step(*output + ": saved");
    return ToInt(Exit::Ok);
}

int Write(const Invocation& call) {
    const std::string path = PlainOperands(call, 1, "one FILE")[0];
    const bool merge = call.args.Has("merge");
    const bool dryRun = call.args.Has("dry-run");
    const auto backup = call.args.Value("backup");
    std::optional<Form> backupForm;
    if (backup) {
        backupForm = OutputForm(call.command, *backup, ChosenForm(call));
        CheckOutputPlace(*backup);
        RefuseSameFile(*backup, path, "--backup");
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
        wanted = WithPresets(call, DecodeConfiguration(LoadImageFile(path)));
    } else {
        text = FormText(path);
        wanted = WithPresets(call, ParseForm(*text, path, DefaultConfiguration()));
        if (!merge) {
            CheckHeld(call, path, *text, wanted);
        }
    }

    Device device(RequiredPort(call), call.trace);
    const std::string beforeSending =
        "before the configuration was sent; " + std::string(kDeviceNotChanged);
    // A dry run changes nothing, so it keeps nothing either.
    const auto history = dryRun ? std::nullopt : CommandHistory(call);
    const bool needed = merge || dryRun || backup.has_value();
    std::optional<ConfigImage> current;
    if (needed || history) {
        Step(device.Label() + ": reading the configuration it holds");
        try {
            current = device.Read(password);
        } catch (const Interrupted& stop) {
            throw StoppedWithNote(stop, device, beforeSending);
        } catch (const CliError& error) {
            // Read for the history alone, an image that fails its checksum does not stop the
            // write: the failed read is kept instead.
            if (needed || error.Code() != Exit::DataError) {
                throw;
            }
            RecordNote note = Note(call, "before", RequiredPort(call));
            note.outcome = error.what();
            KeepRecord(history, note, std::nullopt);
        }
        if (current) {
            KeepRecord(history, Note(call, "before", RequiredPort(call)), current);
        }
    }
    if (backup) {
        SaveRead(*backup, *current, *backupForm);
        Step(*backup + ": the device's configuration saved");
    }
    if (merge) {
        wanted = WithPresets(call, ParseForm(*text, path, DecodeConfiguration(*current)));
        CheckHeld(call, path, *text, wanted);
    }
    // The same bytes as the window would send after opening the same settings.
    const ConfigImage image = EncodeConfiguration(wanted);
    if (dryRun) {
        // As diff prints them: "-" the device's value, "+" the new one.
        PrintDifferences(Differences(DecodeConfiguration(*current), DecodeConfiguration(image)));
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
            throw StoppedWithNote(stop, device, beforeSending);
        }
        throw StoppedWithNote(stop, device,
                              "while waiting for the device's answer to the configuration; " +
                                  std::string(kConfigurationMayBeStored));
    }
    RecordNote written = Note(call, "written", RequiredPort(call));
    if (call.args.Has("no-verify")) {
        written.outcome = "written, not verified";
        KeepRecord(history, written, image);
        Confirm(device.Label() + ": configuration written (not verified)");
        return ToInt(Exit::Ok);
    }
    // The device holds the new configuration from here on, whatever the read-back meets.
    VerifyWritten(device, password, image, history, written);
    Confirm(device.Label() + ": configuration written and verified");
    return ToInt(Exit::Ok);
}

int Restore(const Invocation& call) {
    const std::string prefix = PlainOperands(call, 1, "one record ID (see zorvik-cli history)")[0];
    const HistoryStore store = KeptHistory(call.command);
    const HistoryRecord record = FindRecord(store, prefix);
    if (!record.hasImage) {
        throw CliError(Exit::FileError,
                       "restore: record " + record.id + " holds no image (" + record.outcome + ")");
    }
    const ConfigImage image = LoadImageFile(store.ImagePath(record));
    if (Sha256Hex(image) != record.sha256) {
        throw CliError(Exit::FileError, "restore: " + store.ImagePath(record) +
                                            " is not the image the record was kept with");
    }
    const std::u16string password = AccessPassword(PasswordFile(call.args));
    const std::string port = RequiredPort(call);
    const auto history = CommandHistory(call);
    Device device(port, call.trace);
    RecordNote written = Note(call, "written", port);
    written.site = call.args.Value("site").value_or(record.site);
    Step(device.Label() + ": writing the configuration of record " + record.id);
    bool sent = false;
    try {
        device.Write(password, image, sent);
    } catch (const Interrupted& stop) {
        throw StoppedWithNote(
            stop, device,
            sent ? "while waiting for the device's answer to the configuration; " +
                       std::string(kConfigurationMayBeStored)
                 : "before the configuration was sent; " + std::string(kDeviceNotChanged));
    }
    VerifyWritten(device, password, image, history, written);
    Confirm(device.Label() + ": configuration of record " + record.id + " written and verified");
    return ToInt(Exit::Ok);
}

}  // namespace zorvik::cli
