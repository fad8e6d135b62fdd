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

// What a record of an image sent says when the device was not heard to hold it.
constexpr std::string_view kNotVerifiedOutcome = "written, not verified";

// Reads the written configuration back and keeps the history record of the image sent, whatever
// the read-back meets: from here on the device holds it, or may. A device that holds other values
// is a data error that names them.
void VerifyWritten(Device& device, const std::u16string& password, const ConfigImage& image,
                   const std::optional<HistoryStore>& history, RecordNote written) {
    const auto keepUnverified = [&](std::string_view why) {
        if (why.ends_with(kNotVerifiedNote)) {
            why.remove_suffix(kNotVerifiedNote.size());
        }
        written.outcome = std::string(kNotVerifiedOutcome) + " (" + std::string(why) + ")";
        KeepRecord(history, written, image);
    };
    ConfigImage back{};
    try {
        Step(device.Label() + ": reading the configuration back");
        back = device.ReadBack(password);
    } catch (const Interrupted& stop) {
        const CliError stopped =
            StoppedWithNote(stop, device, "while reading back" + std::string(kNotVerifiedNote));
        keepUnverified(stopped.what());
        throw stopped;
    } catch (const CliError& error) {
        keepUnverified(error.what());
        throw;
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

// How a stop before the configuration went out ends.
std::string BeforeSending() {
    return "before the configuration was sent; " + std::string(kDeviceNotChanged);
}

// Sends `image`; a stop says whether the device may hold it by then.
void Send(Device& device, const std::u16string& password, const ConfigImage& image) {
    bool sent = false;
    try {
        device.Write(password, image, sent);
    } catch (const Interrupted& stop) {
        throw StoppedWithNote(stop, device,
                              sent
                                  ? "while waiting for the device's answer to the configuration; " +
                                        std::string(kConfigurationMayBeStored)
                                  : BeforeSending());
    }
}

// Reads the configuration the device holds before it is written over, and keeps it in the history
// as `before`, so that a write can be undone. An image that fails its checksum is needed by
// nothing but the history: the failed read is kept instead and the write goes on, unless
// `needed` (for --merge, --dry-run or --backup). Returns the image when it was read.
std::optional<ConfigImage> KeepBefore(Device& device, const std::u16string& password,
                                      const std::optional<HistoryStore>& history, bool needed,
                                      RecordNote before) {
    if (!needed && !history) {
        return std::nullopt;
    }
    Step(device.Label() + ": reading the configuration it holds");
    try {
        const ConfigImage current = device.Read(password);
        KeepRecord(history, before, current);
        return current;
    } catch (const Interrupted& stop) {
        throw StoppedWithNote(stop, device, BeforeSending());
    } catch (const CliError& error) {
        if (needed || error.Code() != Exit::DataError) {
            throw;
        }
        before.outcome = error.what();
        KeepRecord(history, before, std::nullopt);
        return std::nullopt;
    }
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
    // A dry run changes nothing, so it keeps nothing either.
    const auto history = dryRun ? std::nullopt : CommandHistory(call);
    const bool needed = merge || dryRun || backup.has_value();
    const std::optional<ConfigImage> current =
        KeepBefore(device, password, history, needed, Note(call, "before", RequiredPort(call)));
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
    Send(device, password, image);
    RecordNote written = Note(call, "written", RequiredPort(call));
    if (call.args.Has("no-verify")) {
        written.outcome = kNotVerifiedOutcome;
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
    RecordNote before = Note(call, "before", port);
    before.site = call.args.Value("site").value_or(record.site);
    RecordNote written = before;
    written.stage = "written";
    // As write does: a wrong record written over a device can be undone.
    (void)KeepBefore(device, password, history, false, before);
    Step(device.Label() + ": writing the configuration of record " + record.id);
    Send(device, password, image);
    VerifyWritten(device, password, image, history, written);
    Confirm(device.Label() + ": configuration of record " + record.id + " written and verified");
    return ToInt(Exit::Ok);
}

}  // namespace zorvik::cli
