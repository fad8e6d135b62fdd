// The provisioning station: one thread per port, each with its own port, clock and notices, all
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
#include "cli/StopWords.h"
#include "cli/System.h"
#include "config/Utf8.h"
#include "device/ReadyListener.h"
#include "files/FileIo.h"
#include "files/UtcTime.h"
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

// The new password goes out with the current one in the change's first exchange: from there on
// a stop or a silence may leave the device answering to the new password only.
void ChangePassword(Device& device, const std::u16string& current, const std::u16string& next) {
    const std::string written = "; the configuration was written and verified";
    switch (ChangeAccessPassword(device.Exchange(), current, next, {})) {
        case PasswordChangeOutcome::Changed:
            return;
        case PasswordChangeOutcome::BadLength:
            throw CliError(Exit::Usage, "the access passwords must be 4 characters");
        case PasswordChangeOutcome::NoReady:
            throw CliError(Exit::NoDevice, "no Ready banner for the password change" + written +
                                               "; the access password was not changed");
        case PasswordChangeOutcome::WrongPassword:
            throw CliError(Exit::WrongPassword, "the device refused the password change" + written +
                                                    "; the access password was not changed");
        case PasswordChangeOutcome::NoAnswer:
            break;
    }
    throw CliError(Exit::NoDevice, "no answer to the password change" + written + "; " +
                                       MayHoldNewPassword(std::nullopt));
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

    // The next row for a device on `port`: the first waiting that is tied to no other port.
    const ProvisionRow* Take(const std::string& port) {
        const std::lock_guard lock(mutex_);
        const auto found = std::find_if(pending_.begin(), pending_.end(), [&port](const auto* row) {
            return !row->port || SamePort(*row->port, port);
        });
        if (found == pending_.end()) {
            return nullptr;
        }
        const ProvisionRow* row = *found;
        pending_.erase(found);
        ++taken_;
        return row;
    }

    // The row `wanted` in place of `taken` when it still waits; `taken` then goes back to the
    // front.
    const ProvisionRow* Exchange(const ProvisionRow& taken, const std::string& wanted) {
        const std::lock_guard lock(mutex_);
        const auto found = std::find_if(pending_.begin(), pending_.end(),
                                        [&wanted](const auto* row) { return row->id == wanted; });
        if (found == pending_.end()) {
            return nullptr;
        }
        const ProvisionRow* row = *found;
        pending_.erase(found);
        pending_.push_front(&taken);
        return row;
    }

    // `done`: the row is finished; otherwise it goes back to the front for the next device.
    void Finish(const ProvisionRow& row, bool done) {
        const std::lock_guard lock(mutex_);
        --taken_;
        if (!done) {
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

// What is known of the rows: those finished (in the report or in this run) by the hash of their
// image, the ones whose device may hold their new password, and each row's latest verdict.
class RowBook {
public:
    enum class State { NotStarted, Failed, Done };

    RowBook(const std::vector<ProvisionRow>& rows, const ReportHistory& history) {
        for (const ProvisionRow& row : rows) {
            if (history.done.contains(row.id)) {
                Finished(row);
            } else {
                states_[row.id] = State::NotStarted;
            }
            if (history.mayHoldNewPassword.contains(row.id) && row.newPassword) {
                mayHoldNew_.emplace(row.id, *row.newPassword);
            }
        }
        for (const auto& [hash, id] : history.doneImages) {
            if (!states_.contains(id)) {
                // A row no longer in the table: its image alone tells its devices.
                finished_.emplace(hash, Entry{id, std::nullopt});
            }
        }
    }

    void Finished(const ProvisionRow& row) {
        const std::lock_guard lock(mutex_);
        finished_.emplace(Sha256Hex(row.image), Entry{row.id, row.newPassword});
        if (row.newPassword) {
            passwords_.push_back({*row.newPassword, row.id});
        }
        states_[row.id] = State::Done;
        mayHoldNew_.erase(row.id);
    }

    void Failed(const ProvisionRow& row, bool mayHoldNewPassword) {
        const std::lock_guard lock(mutex_);
        if (states_[row.id] != State::Done) {
            states_[row.id] = State::Failed;
        }
        if (mayHoldNewPassword && row.newPassword) {
            mayHoldNew_.emplace(row.id, *row.newPassword);
        }
    }

    [[nodiscard]] bool MayHoldNewPassword(const ProvisionRow& row) {
        const std::lock_guard lock(mutex_);
        return mayHoldNew_.contains(row.id);
    }

    // Whether anything is finished or half done, so that a device must be looked at first.
    [[nodiscard]] bool AnythingToCompare() {
        const std::lock_guard lock(mutex_);
        return !finished_.empty() || !mayHoldNew_.empty();
    }

    // The passwords a device may answer to besides its row's: the finished rows' new ones, then
    // those of rows whose device may hold it, each with that row's id.
    [[nodiscard]] std::vector<std::pair<std::u16string, std::string>> OtherPasswords() {
        const std::lock_guard lock(mutex_);
        std::vector<std::pair<std::u16string, std::string>> others;
        for (const auto& [password, id] : passwords_) {
            others.emplace_back(password, std::string());
        }
        for (const auto& [id, password] : mayHoldNew_) {
            others.emplace_back(password, id);
        }
        return others;
    }

    // The finished row a device holds, when its image is one's and it answered to that row's
    // new password (a row that set none: to any). Rows with equal images count as one.
    [[nodiscard]] std::optional<std::string> HeldBy(const ConfigImage& image,
                                                    const std::u16string& answered) {
        const std::lock_guard lock(mutex_);
        const auto [first, last] = finished_.equal_range(Sha256Hex(image));
        for (auto at = first; at != last; ++at) {
            if (!at->second.newPassword || *at->second.newPassword == answered) {
                return at->second.id;
            }
        }
        for (const auto& [password, id] : passwords_) {
            if (password == answered) {
                return id;  // only a finished device answers to a finished row's new password
            }
        }
        return std::nullopt;
    }

    // "rows: 10 done, 1 failed, 1 not started".
    [[nodiscard]] std::pair<std::string, bool> Summary() {
        const std::lock_guard lock(mutex_);
        int counts[3] = {};
        for (const auto& [id, state] : states_) {
            ++counts[static_cast<int>(state)];
        }
        return {"rows: " + std::to_string(counts[2]) + " done, " + std::to_string(counts[1]) +
                    " failed, " + std::to_string(counts[0]) + " not started",
                counts[0] + counts[1] > 0};
    }

private:
    struct Entry {
        std::string id;
        std::optional<std::u16string> newPassword;
    };
    std::mutex mutex_;
    std::multimap<std::string, Entry> finished_;                     // by the SHA-256 of the image
    std::vector<std::pair<std::u16string, std::string>> passwords_;  // finished rows' new ones
    std::map<std::string, std::u16string> mayHoldNew_;               // by row id
    std::map<std::string, State> states_;
};

class Station {
public:
    Station(const ProvisionSetup& setup, const std::vector<ProvisionRow>& rows, RowBook& book,
            AppendFile* report, char separator, AppendFile* trace)
        : setup_(setup),
          queue_(rows),
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
                const ProvisionRow* row = TakeRow(device, given);
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

    // The next row for a device that answered; with --watch it waits while another port's row
    // may still come back.
    const ProvisionRow* TakeRow(Device& device, const std::string& given) {
        while (true) {
            if (const ProvisionRow* row = queue_.Take(given)) {
                return row;
            }
            if (!setup_.watch || Over()) {
                Say(device, "a device answered, but no row is left for it");
                return nullptr;
            }
            device.Exchange().ClosePort();  // the banner seen is stale by the time a row comes
            device.Time().Sleep(kRowWaitMs);
        }
    }

    // The password the device answers to and the image it holds, tried in order: a row whose
    // device may hold its new password that one first, then the row's own, then the new
    // passwords of finished rows and of rows half done. Raises CliError when none answers.
    struct Look {
        std::u16string password;
        std::string owner;  // a half-done row whose new password answered, or empty
        ConfigImage image{};
    };
    Look LookAt(Device& device, const ProvisionRow& row, const std::u16string& password) {
        std::vector<std::pair<std::u16string, std::string>> tries;
        if (book_.MayHoldNewPassword(row)) {
            tries.emplace_back(*row.newPassword, row.id);
        }
        tries.emplace_back(password, std::string());
        for (const auto& other : book_.OtherPasswords()) {
            const bool tried = std::any_of(tries.begin(), tries.end(), [&other](const auto& t) {
                return t.first == other.first;
            });
            if (!tried) {
                tries.push_back(other);
            }
        }
        for (const auto& [candidate, owner] : tries) {
            try {
                return {candidate, owner, device.Read(candidate)};
            } catch (const CliError& error) {
                if (error.Code() != Exit::WrongPassword) {
                    throw;
                }
            }
        }
        throw device.Failed(
            Exit::WrongPassword,
            "wrong access password: the device refused the row's password" +
                std::string(tries.size() > 1 ? " and the new passwords of the rows done" : "") +
                "; " + std::string(kDeviceNotChanged));
    }

    // Gives the device its row, unless it holds a finished one: then the row goes back and
    // the device is left as it is. A device holding a half-done row's new password gets that
    // row instead. Every attempt that reached the device is a report line saying what it holds.
    void Attempt(Device& device, const ProvisionRow& taken) {
        const ProvisionRow* chosen = &taken;
        ReportLine line;
        line.row = taken.id;
        line.port = device.Label();
        line.byId = ByIdOf(device.Label());
        enum class Stage { Nothing, ConfigurationSent, Verified, PasswordSent };
        Stage stage = Stage::Nothing;
        bool interrupted = false;
        try {
            std::u16string password = chosen->password.value_or(setup_.password);
            std::optional<Look> look;
            if (book_.AnythingToCompare()) {
                look = LookAt(device, *chosen, password);
                if (const auto held = book_.HeldBy(look->image, look->password)) {
                    queue_.Finish(*chosen, false);
                    Say(device, "holds row " + *held +
                                    ", which is done: not given another row; the device was "
                                    "not changed");
                    return;
                }
                if (!look->owner.empty() && look->owner != chosen->id) {
                    if (const ProvisionRow* owner = queue_.Exchange(*chosen, look->owner)) {
                        chosen = owner;  // this device is the one that row was half written to
                    }
                }
                if (look->owner == chosen->id) {
                    Say(device, "row " + chosen->id + ": the device answered to the new password");
                } else if (book_.MayHoldNewPassword(*chosen)) {
                    Say(device, "row " + chosen->id + ": the device answered to the old password");
                }
                password = look->password;
            }
            const ProvisionRow& row = *chosen;
            line.row = row.id;
            Say(device, "row " + row.id + ": writing");
            bool sent = false;
            try {
                device.Write(password, row.image, sent);
            } catch (...) {
                stage = sent ? Stage::ConfigurationSent : Stage::Nothing;
                throw;
            }
            stage = Stage::ConfigurationSent;
            line.sha256 = Sha256Hex(row.image);
            const ConfigImage back = device.ReadBack(password);
            if (back != row.image) {
                throw device.Failed(Exit::DataError,
                                    "verification failed: the device holds other values");
            }
            stage = Stage::Verified;
            std::string done = "configuration written and verified";
            if (row.newPassword && *row.newPassword != password) {
                stage = Stage::PasswordSent;
                ChangePassword(device, password, *row.newPassword);
                done += "; access password changed";
            } else if (row.newPassword) {
                done += "; the access password was already the new one";
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
            if (stage == Stage::ConfigurationSent) {
                line.message += "; " + std::string(kConfigurationMayBeStored);
            } else if (stage == Stage::PasswordSent) {
                line.message += "; " + MayHoldNewPassword(std::nullopt);
            }
        } catch (const Interrupted&) {
            line.exitStatus = ToInt(Exit::Interrupted);
            line.message = "interrupted; ";
            switch (stage) {
                case Stage::Nothing:
                    line.message += kDeviceNotChanged;
                    break;
                case Stage::ConfigurationSent:
                    line.message += kConfigurationMayBeStored;
                    break;
                case Stage::Verified:
                    line.message += "the configuration was written and verified";
                    break;
                case Stage::PasswordSent:
                    line.message += "the configuration was written and verified; " +
                                    MayHoldNewPassword(std::nullopt);
                    break;
            }
            interrupted = true;
        }
        const ProvisionRow& row = *chosen;
        line.row = row.id;
        queue_.Finish(row, line.ok);
        if (line.ok) {
            book_.Finished(row);
        } else {
            book_.Failed(row, stage == Stage::PasswordSent);
        }
        Record(line);
        KeepRecord(setup_.history,
                   {"provision", "written", device.Label(), row.id, line.ok ? "ok" : line.message},
                   row.image);
        Say(device, "row " + row.id + (line.ok ? ": " : " failed: ") + line.message, !line.ok);
        if (interrupted) {
            throw Interrupted();
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
    RowQueue queue_;
    RowBook& book_;
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
    RowBook book(rows, history);
    std::vector<ProvisionRow> todo;
    for (const ProvisionRow& row : rows) {
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
    const auto [counts, rowsLeft] = book.Summary();
    if (CurrentVerbosity() != Verbosity::Quiet || rowsLeft) {
        std::fprintf(stderr, "zorvik-cli: %s%s\n", counts.c_str(),
                     !rowsLeft          ? ""
                     : setup.reportPath ? "; run again with --resume"
                                        : "; run again with --report REPORT.csv and --resume");
    }
    if (StopRequested()) {
        throw Interrupted();
    }
    return ToInt(station.AnyFailed() ? Exit::DeviceFailed : Exit::Ok);
}

}  // namespace zorvik::cli
