// The provisioning station: one thread per port, each with its own port, clock and dialogs, all
// taking rows from one queue in the order their devices answer.
#include "cli/Provision.h"

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <ctime>
#include <deque>
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
#include "files/FileIo.h"
#include "trace/Trace.h"

namespace zorvik::cli {

namespace {

constexpr int kAbsentPortPauseMs = 1000;  // between looks at a port with nothing behind it
// A device answers when its banner comes within the time the exchange's own banner wait allows;
// polling faster than that wait does finds it sooner, which matters once per device.
constexpr std::int64_t kAnswerWithinMicros = std::int64_t{kReadyAttempts} * kReadyPollMs * 1000;
constexpr int kAnswerPollMs = 20;  // between reads while waiting for a device to answer
constexpr int kGonePollMs = 250;   // between reads while a finished device is still there
constexpr std::int64_t kGoneAfterMicros = 3'000'000;  // no banner this long: the device has gone
constexpr int kBannerReadCount = 64;                  // characters taken per read
constexpr int kRowWaitMs = 250;  // a device waiting for a row another port may give back
constexpr std::uint64_t kMaxReportSize = 64ull << 20;  // a report of a great many attempts

constexpr const char* kFirstInterruptWarning =
    "stopping once the devices being written now are done; press Ctrl-C again to stop at once";

std::string UtcNow() {
    const std::time_t now = std::time(nullptr);
    std::tm utc{};
    ::gmtime_r(&now, &utc);
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
    if (!std::filesystem::exists(path, error)) {
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

void ChangePassword(Device& device, const std::u16string& current, const std::u16string& next) {
    const std::string notChanged = "; the configuration was written and verified, but ";
    switch (ChangeAccessPassword(device.Exchange(), current, next, {})) {
        case PasswordChangeOutcome::Changed:
            return;
        case PasswordChangeOutcome::BadLength:
            throw CliError(Exit::Usage, "the access passwords must be 4 characters");
        case PasswordChangeOutcome::NoReady:
            throw CliError(Exit::NoDevice, "no Ready banner for the password change" + notChanged +
                                               "the access password was not changed");
        case PasswordChangeOutcome::WrongPassword:
            throw CliError(Exit::WrongPassword, "the device refused the password change" +
                                                    notChanged +
                                                    "the access password was not "
                                                    "changed");
        case PasswordChangeOutcome::NoAnswer:
            break;
    }
    throw CliError(Exit::NoDevice, "no answer to the password change" + notChanged +
                                       "the access password may not have been changed");
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
            trace_.Error("exit " + std::to_string(ToInt(Exit::Interrupted)) + ": interrupted");
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

// The rows still to do, shared by the ports: a row is taken when a device answers, and a row
// whose device failed goes back to the front for the next device.
class RowQueue {
public:
    explicit RowQueue(const std::vector<ProvisionRow>& rows) {
        for (const ProvisionRow& row : rows) {
            pending_.push_back(&row);
        }
    }

    // The next row, or nothing when none is waiting.
    const ProvisionRow* Take() {
        const std::lock_guard lock(mutex_);
        if (pending_.empty()) {
            return nullptr;
        }
        const ProvisionRow* row = pending_.front();
        pending_.pop_front();
        ++taken_;
        return row;
    }

    void Finish(const ProvisionRow& row, bool ok) {
        const std::lock_guard lock(mutex_);
        --taken_;
        if (!ok) {
            pending_.push_front(&row);
        }
    }

    // No row waits and none is being written: a failure can no longer bring one back.
    [[nodiscard]] bool RunOut() {
        const std::lock_guard lock(mutex_);
        return pending_.empty() && taken_ == 0;
    }

private:
    std::mutex mutex_;
    std::deque<const ProvisionRow*> pending_;
    int taken_ = 0;
};

class Station {
public:
    Station(const ProvisionSetup& setup, const std::vector<ProvisionRow>& rows, AppendFile* report,
            AppendFile* trace)
        : setup_(setup), queue_(rows), report_(report), trace_(trace) {}

    // One port's life: a device at a time, until the rows run out or a stop is asked for.
    void Work(Device& device) {
        PortTrace trace(trace_, traceMutex_, setup_.commandLine, device);
        {
            const std::lock_guard lock(outputMutex_);
            traces_[device.Label()] = &trace;
        }
        trace.Begin();
        try {
            while (WaitForDevice(device)) {
                const ProvisionRow* row = TakeRow(device);
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
        std::fprintf(stderr, "zorvik-cli: %s: %s\n", device.Label().c_str(), text.c_str());
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
            report_->Append(FormatReportLine(line));
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
                const bool ready = BannerWithin(device, kAnswerWithinMicros, kAnswerPollMs);
                device.Exchange().ClosePort();
                if (ready) {
                    return true;
                }
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

    // The next row for a device that answered; with --watch it waits while another port's row
    // may still come back.
    const ProvisionRow* TakeRow(Device& device) {
        while (true) {
            if (const ProvisionRow* row = queue_.Take()) {
                return row;
            }
            if (!setup_.watch || Over()) {
                Say(device, "a device answered, but no row is left for it");
                return nullptr;
            }
            device.Time().Sleep(kRowWaitMs);
        }
    }

    void Attempt(Device& device, const ProvisionRow& row) {
        Say(device, "row " + row.id + ": writing");
        ReportLine line;
        line.row = row.id;
        line.port = device.Label();
        line.byId = ByIdOf(device.Label());
        const std::u16string password = row.password.value_or(setup_.password);
        bool interrupted = false;
        try {
            bool sent = false;
            device.Write(password, row.image, sent);
            const ConfigImage back = device.ReadBack(password);
            line.sha256 = Sha256Hex(back);
            if (back != row.image) {
                throw device.Failed(Exit::DataError,
                                    "verification failed: the device holds other values");
            }
            std::string done = "configuration written and verified";
            if (row.newPassword) {
                ChangePassword(device, password, *row.newPassword);
                done += "; access password changed";
            }
            line.ok = true;
            line.message = done;
        } catch (const CliError& error) {
            line.exitStatus = ToInt(error.Code());
            line.message = WithoutLabel(error.what(), device.Label());
        } catch (const EComPort& error) {
            const CliError described = DescribePortError(error, device.Label());
            line.exitStatus = ToInt(described.Code());
            line.message = WithoutLabel(described.what(), device.Label());
        } catch (const Interrupted&) {
            line.exitStatus = ToInt(Exit::Interrupted);
            line.message = "interrupted";
            interrupted = true;
        }
        queue_.Finish(row, line.ok);
        Record(line);
        KeepRecord(setup_.history,
                   {"provision", "written", device.Label(), row.id, line.ok ? "ok" : line.message},
                   row.image);
        Say(device, "row " + row.id + (line.ok ? ": " : " failed: ") + line.message, !line.ok);
        if (interrupted) {
            throw Interrupted();
        }
    }

    // Whether a whole banner arrives on the open port within `windowMicros`, reading every
    // `pollMs`. A banner split between two reads still counts.
    bool BannerWithin(Device& device, std::int64_t windowMicros, int pollMs) {
        const std::int64_t start = device.Time().NowMicros();
        std::string seen;
        while (!Over()) {
            device.Time().Sleep(pollMs);
            std::string text;
            device.Port().ReadStr(text, kBannerReadCount);
            seen += text;
            if (seen.find(kReadyBanner) != std::string::npos) {
                return true;
            }
            if (seen.size() >= kReadyBanner.size()) {
                seen.erase(0, seen.size() - (kReadyBanner.size() - 1));
            }
            if (device.Time().NowMicros() - start >= windowMicros) {
                return false;
            }
        }
        return false;
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
    RowQueue queue_;
    AppendFile* report_;
    AppendFile* trace_;
    std::mutex outputMutex_;  // report lines and progress lines, one whole line at a time
    std::mutex traceMutex_;   // a trace section at a time
    std::map<std::string, PortTrace*> traces_;  // by port, under outputMutex_
    std::atomic<bool> failed_ = false;
};

}  // namespace

int Provision(const ProvisionSetup& setup) {
    const Configuration base =
        ApplyPresets(LoadConfiguration(setup.templatePath, DefaultConfiguration()), setup.presets,
                     setup.presetOverride);
    std::vector<ProvisionRow> rows =
        ReadProvisionTable(LoadTextFile(setup.tablePath), setup.tablePath, base);

    std::unique_ptr<AppendFile> report;
    if (setup.reportPath) {
        const std::string existing = ExistingReport(*setup.reportPath);
        const std::set<std::string> done = RowsDoneInReport(existing, *setup.reportPath);
        if (setup.resume) {
            std::erase_if(rows, [&done](const ProvisionRow& row) { return done.contains(row.id); });
        }
        try {
            report = std::make_unique<AppendFile>(*setup.reportPath);
            if (existing.empty()) {
                report->Append(CsvLine(ReportColumns()));
            }
        } catch (const EInOutError& error) {
            throw CliError(Exit::FileError, *setup.reportPath + ": " + error.what());
        }
    }
    if (rows.empty()) {
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
    Station station(setup, rows, report.get(), trace.get());
    {
        std::vector<std::jthread> workers;
        for (const auto& device : devices) {
            workers.emplace_back([&station, &device] { station.Work(*device); });
        }
    }
    if (StopRequested()) {
        throw Interrupted();
    }
    return ToInt(station.AnyFailed() ? Exit::DeviceFailed : Exit::Ok);
}

}  // namespace zorvik::cli
