// The provisioning station: one thread per port, each with its own port, clock and notices, all
// taking rows from one queue in the order their devices answer.
#include "cli/Provision.h"

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <ctime>
#include <filesystem>
#include <map>
#include <memory>
#include <mutex>
#include <set>
#include <system_error>
#include <thread>

#include "cli/CommandSupport.h"
#include "cli/ConfigForms.h"
#include "cli/Console.h"
#include "cli/Csv.h"
#include "cli/Device.h"
#include "cli/ExitCode.h"
#include "cli/HistoryCommands.h"
#include "cli/PortError.h"
#include "cli/PortNames.h"
#include "cli/Presets.h"
#include "cli/ProvisionTable.h"
#include "cli/Sha256.h"
#include "cli/StopWords.h"
#include "cli/System.h"
#include "config/Utf8.h"
#include "device/ReadyListener.h"
#include "files/FileIo.h"
#include "files/UtcTime.h"
#include "station/Attempt.h"
#include "station/Rows.h"
#include "trace/Trace.h"

namespace zorvik::cli {

namespace {

constexpr int kAbsentPortPauseMs = 1000;  // between looks at a port with nothing behind it
// A device answers when its banner comes within the time the exchange's own banner wait allows;
// listening finds it sooner than that wait's polls, which matters once per device.
constexpr std::int64_t kAnswerWithinMicros = std::int64_t{kReadyAttempts} * kReadyPollMs * 1000;
constexpr int kGonePollMs = 250;  // between reads while a finished device is still there
constexpr std::int64_t kGoneAfterMicros = 3'000'000;  // no banner this long: the device has gone
constexpr int kRowWaitMs = 250;  // a device waiting for a row another port may give back
constexpr std::uint64_t kMaxReportSize = 64ull << 20;  // a report of a great many attempts

constexpr const char* kFirstInterruptWarning =
    "stopping once the devices being written now are done; press Ctrl-C again to stop at once";

std::string UtcNow() {
    const std::time_t now = std::time(nullptr);
    const std::tm utc = UtcTime(now);
    char text[32];
    std::strftime(text, sizeof text, "%Y-%m-%dT%H:%M:%SZ", &utc);
    return text;
}

// A failure's text without the port in front, which the report has in a column of its own.
std::string WithoutLabel(const std::string& text, const std::string& label) {
    const std::string prefix = label + ": ";
    return text.starts_with(prefix) ? text.substr(prefix.size()) : text;
}

// The report so far: empty when there is none yet.
std::string ExistingReport(const std::string& path) {
    std::error_code error;
    if (!std::filesystem::exists(NativePath(path), error)) {
        return {};
    }
    try {
        InputFile file(path);
        const std::uint64_t size = file.Size();
        if (size > kMaxReportSize) {
            throw CliError(Exit::FileError, path + ": too large for a report");
        }
        std::string text(static_cast<std::size_t>(size), '\0');
        file.ReadExactly(std::span(reinterpret_cast<std::uint8_t*>(text.data()), text.size()));
        return text;
    } catch (const EInOutError& error) {
        throw CliError(Exit::FileError, path + ": " + error.what());
    }
}

// A password change that did not end with the new password set, after the verified write.
CliError PasswordFailure(PasswordChangeOutcome outcome) {
    const std::string written = "; the configuration was written and verified";
    switch (outcome) {
        case PasswordChangeOutcome::BadLength:
            return CliError(Exit::Usage, "the access passwords must be 4 characters");
        case PasswordChangeOutcome::NoReady:
            return CliError(Exit::NoDevice, "no Ready banner for the password change" + written +
                                                "; the access password was not changed");
        case PasswordChangeOutcome::WrongPassword:
            return CliError(Exit::WrongPassword, "the device refused the password change" +
                                                     written +
                                                     "; the access password was not changed");
        case PasswordChangeOutcome::Changed:
        case PasswordChangeOutcome::NoAnswer:
            break;
    }
    return CliError(Exit::NoDevice, "no answer to the password change" + written + "; " +
                                        MayHoldNewPassword(std::nullopt));
}

// How an attempt that reached the device and did not finish its row ended, worded for `device`.
CliError AttemptFailure(const Device& device, const station::AttemptEnd& end) {
    using Kind = station::AttemptEnd::Kind;
    switch (end.kind) {
        case Kind::Refused:
            return device.Failed(
                Exit::WrongPassword,
                "wrong access password: the device refused the row's password" +
                    std::string(end.triedOthers ? " and the new passwords of the rows done" : "") +
                    "; " + std::string(kDeviceNotChanged));
        case Kind::LookFailed:
            return ReadFailure(device, end.read);
        case Kind::WriteFailed:
            return WriteFailure(device, end.write);
        case Kind::VerifyFailed: {
            const CliError failed = ReadFailure(device, end.read);
            return CliError(failed.Code(), failed.what() + std::string(kNotVerifiedNote));
        }
        case Kind::VerifyDiffers:
            return device.Failed(Exit::DataError,
                                 "verification failed: the device holds other values");
        case Kind::PasswordFailed:
            return PasswordFailure(end.password);
        case Kind::Done:
        case Kind::HoldsFinished:
        case Kind::Stopped:
            break;
    }
    return device.Failed(Exit::NoDevice, "no verdict");
}

// " by SIGTERM" for a stop that a named request to end asked for, so a report says what stopped it.
std::string StoppedBy(const Interrupted& stop) {
    const std::string_view cause = TerminateCause();
    return stop.Terminated() && !cause.empty() ? " by " + std::string(cause) : "";
}

// What a stop leaves on a device whose attempt had got as far as `stage`.
std::string LeftByStop(station::Stage stage) {
    const std::string verified = "the configuration was written and verified";
    switch (stage) {
        case station::Stage::Nothing:
            return std::string(kDeviceNotChanged);
        case station::Stage::ConfigurationSent:
            return std::string(kConfigurationMayBeStored);
        case station::Stage::Verifying:
            return std::string(kNotVerifiedNote.substr(2));
        case station::Stage::Verified:
            return verified;
        case station::Stage::PasswordSent:
            break;
    }
    return verified + "; " + MayHoldNewPassword(std::nullopt);
}

// Whether `given` (a row's port cell) and `port` (a -p value) name the same port: a COM name
// however written, or the same device path.
bool SamePort(const std::string& given, const std::string& port) {
    try {
        return PortMap().SamePort(PortName(given), PortName(port));
    } catch (const CliError&) {
        return false;
    }
}

// One port's byte trace: a section per device, kept in memory and appended to the file whole, so
// that the sections of ports working at the same time never interleave. A section ends with the
// device's outcome as the report gives it, as another command's ends with its exit status.
class PortTrace {
public:
    PortTrace(AppendFile* file, std::mutex& fileMutex, const std::vector<std::string>& words,
              Device& device)
        : file_(file),
          fileMutex_(fileMutex),
          words_(words),
          device_(device),
          trace_(device.Time(), [this](std::string_view lines) { section_ += lines; }) {
        if (file_ != nullptr) {
            device_.Port().SetObserver(&trace_);
        }
    }
    ~PortTrace() {
        End();
        if (file_ != nullptr) {
            device_.Port().SetObserver(nullptr);
        }
    }
    PortTrace(const PortTrace&) = delete;
    PortTrace& operator=(const PortTrace&) = delete;

    void Begin() {
        if (file_ != nullptr) {
            trace_.BeginSection(TraceTitle(words_) + " (" + device_.Label() + ")");
            begun_ = true;
        }
    }

    // What the device's attempt came to; the section ends with it.
    void Outcome(const ReportLine& line) { outcome_ = line; }

    // The section to the file, unless no device came and nothing was stopped.
    void End() noexcept {
        if (!begun_) {
            return;
        }
        begun_ = false;
        if (!outcome_ && !StopRequested()) {
            trace_.Flush();
            section_.clear();
            return;
        }
        if (outcome_ && outcome_->ok) {
            trace_.Note("exit 0");
        } else if (outcome_) {
            trace_.Error("exit " + std::to_string(outcome_->exitStatus) + ": " + outcome_->message);
        } else {
            const Interrupted stop(TerminateRequested());
            trace_.Error(
                "exit " +
                std::to_string(ToInt(stop.Terminated() ? Exit::Terminated : Exit::Interrupted)) +
                ": " + stop.what());
        }
        trace_.Flush();
        outcome_.reset();
        try {
            const std::lock_guard lock(fileMutex_);
            file_->Append(section_);
        } catch (const std::exception& error) {
            Warn("trace: " + std::string(error.what()) + "; the trace of " + device_.Label() +
                 " is incomplete");
        }
        section_.clear();
    }

private:
    AppendFile* file_;
    std::mutex& fileMutex_;
    const std::vector<std::string>& words_;
    Device& device_;
    std::string section_;  // before the trace, which hands its last lines over as it goes
    Trace trace_;
    std::optional<ReportLine> outcome_;
    bool begun_ = false;
};

class Station {
public:
    Station(const ProvisionSetup& setup, const std::vector<station::Row>& rows,
            station::RowBook& book, AppendFile* report, char separator, AppendFile* trace)
        : setup_(setup),
          queue_(rows, SamePort),
          book_(book),
          report_(report),
          separator_(separator),
          trace_(trace) {}

    // One port's life: a device at a time, until the rows run out or a stop is asked for.
    // `given` is the port as the command line named it.
    void Work(Device& device, const std::string& given) {
        device.Exchange().ListenForBanner();
        PortTrace trace(trace_, traceMutex_, setup_.commandLine, device);
        {
            const std::lock_guard lock(outputMutex_);
            traces_[device.Label()] = &trace;
        }
        trace.Begin();
        try {
            while (WaitForDevice(device)) {
                const station::Row* row = TakeRow(device, given);
                if (row == nullptr) {
                    return;
                }
                Attempt(device, *row);
                if (!setup_.watch) {
                    return;
                }
                WaitUntilGone(device);
                trace.End();
                trace.Begin();
            }
        } catch (const Interrupted&) {
            device.Port().Abandon();
        } catch (const std::exception& error) {
            // A report that can no longer be written ends this port's work; the others go on.
            device.Port().Abandon();
            Say(device, std::string("stopped: ") + error.what(), true);
            failed_ = true;
        }
    }

    [[nodiscard]] bool AnyFailed() const { return failed_; }

private:
    // A line on standard error; -q leaves out all but failures.
    void Say(const Device& device, const std::string& text, bool failure = false) {
        if (!failure && CurrentVerbosity() == Verbosity::Quiet) {
            return;
        }
        const std::lock_guard lock(outputMutex_);
        std::fprintf(stderr, "zorvik-cli: %s: %s\n", PrintableText(device.Label()).c_str(),
                     PrintableText(text).c_str());
    }

    void Record(ReportLine line) {
        line.time = UtcNow();
        const std::lock_guard lock(outputMutex_);
        if (!line.ok) {
            failed_ = true;
        }
        if (const auto trace = traces_.find(line.port); trace != traces_.end()) {
            trace->second->Outcome(line);
        }
        if (report_ != nullptr) {
            report_->Append(FormatReportLine(line, separator_));
        }
    }

    [[nodiscard]] bool Over() { return StopRequested() || queue_.RunOut(); }

    // Whether a device answered with its Ready banner. Without --watch a port gets one look, and
    // a port without a device is a failed attempt.
    bool WaitForDevice(Device& device) {
        bool announced = false;
        while (!Over()) {
            std::optional<CliError> why;
            bool portError = false;
            try {
                device.Exchange().PortReset();
                if (BannerWithin(device, kAnswerWithinMicros)) {
                    // The exchange goes on from this banner: one banner wait per device.
                    device.Exchange().BannerSeen();
                    return true;
                }
                device.Exchange().ClosePort();
                if (Over()) {
                    return false;  // the wait was cut short: no verdict on this port
                }
                why = device.Failed(Exit::NoDevice, "no device answered (no Ready banner)" +
                                                        DoctorHint(device.Label()));
            } catch (const EComPort& error) {
                device.Port().Abandon();
                why = DescribePortError(error, device.Label());
                portError = true;
            }
            if (!setup_.watch) {
                ReportLine line;
                line.port = device.Label();
                line.byId = ByIdOf(device.Label());
                line.exitStatus = ToInt(Exit::NoDevice);
                line.message = WithoutLabel(why->what(), device.Label());
                Record(line);
                Say(device, line.message, true);
                return false;
            }
            if (!announced) {
                Say(device, "waiting for a device");
                announced = true;
            }
            if (portError) {
                // A banner wait has paused already; a port that is not there has not.
                device.Time().Sleep(kAbsentPortPauseMs);
            }
        }
        return false;
    }

    // The next row for a device that answered. It waits while another port's row may still come
    // back: a row being written (a device found holding a finished row gives its row back at
    // once), and with --watch also a row tied to a port whose device has not come yet.
    const station::Row* TakeRow(Device& device, const std::string& given) {
        while (true) {
            if (const station::Row* row = queue_.Take(given)) {
                return row;
            }
            if (Over() || (!setup_.watch && !queue_.AnyTaken())) {
                Say(device, "a device answered, but no row is left for it");
                return nullptr;
            }
            device.Exchange().ClosePort();  // the banner seen is stale by the time a row comes
            device.Time().Sleep(kRowWaitMs);
        }
    }

    // Gives the device its row, unless it holds a finished one: then the row goes back and
    // the device is left as it is. A device holding a half-done row's new password gets that
    // row instead. Every attempt that reached the device is a report line saying what it holds.
    void Attempt(Device& device, const station::Row& taken) {
        station::Attempt attempt(
            device.Exchange(), queue_, book_, taken, setup_.password, [this] { return Over(); },
            [this, &device](station::Progress progress, const station::Row& row) {
                switch (progress) {
                    case station::Progress::AnsweredNewPassword:
                        Say(device, "row " + row.id + ": the device answered to the new password");
                        break;
                    case station::Progress::AnsweredOldPassword:
                        Say(device, "row " + row.id + ": the device answered to the old password");
                        break;
                    case station::Progress::Writing:
                        Say(device, "row " + row.id + ": writing");
                        break;
                }
            });
        ReportLine line;
        line.port = device.Label();
        line.byId = ByIdOf(device.Label());
        std::optional<Interrupted> stopped;
        try {
            const station::AttemptEnd end = attempt.Run();
            if (end.kind == station::AttemptEnd::Kind::HoldsFinished) {
                Say(device, "holds row " + end.heldRow +
                                ", which is done: not given another row; the device was not "
                                "changed");
                return;
            }
            if (end.kind == station::AttemptEnd::Kind::Stopped) {
                throw Interrupted(TerminateRequested());
            }
            if (end.kind == station::AttemptEnd::Kind::Done) {
                line.ok = true;
                line.message = "configuration written and verified";
                if (attempt.ForRow().newPassword) {
                    line.message += end.passwordWasAlreadyNew
                                        ? "; the access password was already the new one"
                                        : "; access password changed";
                }
            } else {
                const CliError failed = AttemptFailure(device, end);
                line.exitStatus = ToInt(failed.Code());
                line.message = WithoutLabel(failed.what(), device.Label());
            }
        } catch (const EComPort& error) {
            const station::Stage stage = attempt.Reached();
            const CliError described = DescribePortError(error, device.Label());
            line.exitStatus = ToInt(described.Code());
            line.message = WithoutLabel(described.what(), device.Label());
            if (stage == station::Stage::ConfigurationSent) {
                line.message += "; " + std::string(kConfigurationMayBeStored);
            } else if (stage == station::Stage::Verifying) {
                line.message += kNotVerifiedNote;
            } else if (stage == station::Stage::PasswordSent) {
                line.message += "; " + MayHoldNewPassword(std::nullopt);
            }
        } catch (const Interrupted& stop) {
            line.exitStatus = ToInt(stop.Terminated() ? Exit::Terminated : Exit::Interrupted);
            line.message =
                std::string(stop.what()) + StoppedBy(stop) + "; " + LeftByStop(attempt.Reached());
            stopped = stop;
        }
        const station::Row& row = attempt.ForRow();
        line.row = row.id;
        if (attempt.Reached() >= station::Stage::Verifying) {
            line.sha256 = Sha256Hex(row.image);
        }
        attempt.Settle(line.ok);
        Record(line);
        KeepRecord(setup_.history,
                   {"provision", "written", device.Label(), row.id, line.ok ? "ok" : line.message},
                   row.image);
        Say(device, "row " + row.id + (line.ok ? ": " : " failed: ") + line.message, !line.ok);
        if (stopped) {
            throw *stopped;
        }
    }

    // Whether a whole banner arrives on the open port within `windowMicros`.
    bool BannerWithin(Device& device, std::int64_t windowMicros, int pollMs = kListenPollMs) {
        return ListenForReady(device.Port(), device.Time(), windowMicros, pollMs,
                              [this] { return Over(); });
    }

    // Until the device just done goes away: its port disappears, or no banner comes for 3 s.
    void WaitUntilGone(Device& device) {
        try {
            device.Exchange().PortReset();
            while (!Over() && BannerWithin(device, kGoneAfterMicros, kGonePollMs)) {
            }
            device.Exchange().ClosePort();
        } catch (const EComPort&) {
            device.Port().Abandon();
        }
        if (!Over()) {
            Say(device, "device gone");
        }
    }

    const ProvisionSetup& setup_;
    station::RowQueue queue_;
    station::RowBook& book_;
    AppendFile* report_;
    char separator_;
    AppendFile* trace_;
    std::mutex outputMutex_;  // report lines and progress lines, one whole line at a time
    std::mutex traceMutex_;   // a trace section at a time
    std::map<std::string, PortTrace*> traces_;  // by port, under outputMutex_
    std::atomic<bool> failed_ = false;
};

}  // namespace

int Provision(const ProvisionSetup& setup) {
    const std::string templateText =
        IsImageFile(setup.templatePath) ? std::string() : LoadTextFile(setup.templatePath);
    const Configuration base = ApplyPresets(
        templateText.empty() ? LoadConfiguration(setup.templatePath, DefaultConfiguration())
                             : ParseForm(templateText, setup.templatePath, DefaultConfiguration()),
        setup.presets, setup.presetOverride);
    const std::set<std::string> templateKeys = templateText.empty()
                                                   ? std::set<std::string>()
                                                   : GivenKeys(templateText, setup.templatePath);
    std::vector<ProvisionRow> rows =
        ReadProvisionTable(LoadTextFile(setup.tablePath), setup.tablePath, base, templateKeys);
    std::string notHeld;
    for (const ProvisionRow& row : rows) {
        for (const std::string& note : row.notHeld) {
            notHeld += "\n  " + note;
        }
        if (row.port &&
            std::none_of(setup.ports.begin(), setup.ports.end(),
                         [&row](const std::string& port) { return SamePort(*row.port, port); })) {
            throw CliError(Exit::FileError,
                           setup.tablePath + ": row " + std::to_string(row.number) +
                               ", column port: " + *row.port + " is not one of the ports given");
        }
    }
    if (!notHeld.empty()) {
        if (setup.strict) {
            throw CliError(
                Exit::FileError,
                setup.tablePath + ": values the device will not hold (--strict):" + notHeld);
        }
        for (const ProvisionRow& row : rows) {
            for (const std::string& note : row.notHeld) {
                Warn(setup.tablePath + ": " + note);
            }
        }
    }

    std::unique_ptr<AppendFile> report;
    ReportHistory history;
    if (setup.reportPath) {
        const std::string existing = ExistingReport(*setup.reportPath);
        history = ReadReport(existing, *setup.reportPath);
        if (existing.empty()) {
            history.separator = setup.excel ? kSemicolon : kComma;
        }
        try {
            report = std::make_unique<AppendFile>(*setup.reportPath);
            if (existing.empty()) {
                report->Append((setup.excel ? std::string(kUtf8ByteOrderMark) : std::string()) +
                               CsvLine(ReportColumns(), history.separator));
            }
        } catch (const EInOutError& error) {
            throw CliError(Exit::FileError, *setup.reportPath + ": " + error.what());
        }
    }
    if (!setup.resume) {
        history = ReportHistory{history.separator, {}, {}, {}};
    }
    std::vector<station::Row> all;
    for (const ProvisionRow& row : rows) {
        all.push_back({row.id, row.password, row.newPassword, row.port, row.image});
    }
    station::RowBook book(all, {history.done, history.doneImages, history.mayHoldNewPassword},
                          [](const ConfigImage& image) { return Sha256Hex(image); });
    std::vector<station::Row> todo;
    for (const station::Row& row : all) {
        if (!history.done.contains(row.id)) {
            todo.push_back(row);
        }
    }
    if (todo.empty()) {
        if (CurrentVerbosity() != Verbosity::Quiet) {
            std::fprintf(stderr,
                         "zorvik-cli: every row of %s already has an ok line in the report\n",
                         setup.tablePath.c_str());
        }
        return ToInt(Exit::Ok);
    }
    std::unique_ptr<AppendFile> trace;
    if (setup.tracePath) {
        try {
            trace = std::make_unique<AppendFile>(*setup.tracePath);
        } catch (const EInOutError& error) {
            throw CliError(Exit::FileError, "trace " + *setup.tracePath + ": " + error.what());
        }
    }

    std::vector<std::unique_ptr<Device>> devices;
    for (const std::string& port : setup.ports) {
        devices.push_back(std::make_unique<Device>(port));
    }
    RequireSecondInterrupt(kFirstInterruptWarning);
    Station station(setup, todo, book, report.get(), history.separator, trace.get());
    {
        std::vector<std::jthread> workers;
        for (std::size_t i = 0; i < devices.size(); ++i) {
            workers.emplace_back(
                [&station, &devices, &setup, i] { station.Work(*devices[i], setup.ports[i]); });
        }
    }
    // "rows: 10 done, 1 failed, 1 not started".
    const station::RowCounts counts = book.Counts();
    const bool rowsLeft = counts.failed + counts.notStarted > 0;
    if (CurrentVerbosity() != Verbosity::Quiet || rowsLeft) {
        std::fprintf(stderr, "zorvik-cli: rows: %d done, %d failed, %d not started%s\n",
                     counts.done, counts.failed, counts.notStarted,
                     !rowsLeft          ? ""
                     : setup.reportPath ? "; run again with --resume"
                                        : "; run again with --report REPORT.csv and --resume");
    }
    if (StopRequested()) {
        throw Interrupted(TerminateRequested());
    }
    return ToInt(station.AnyFailed() ? Exit::DeviceFailed : Exit::Ok);
}

}  // namespace zorvik::cli
