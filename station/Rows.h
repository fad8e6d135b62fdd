// The rows of a provisioning run as its ports share them: the queue of rows still to do, and the
// book of what is known of every row.
#pragma once

#include <deque>
#include <functional>
#include <map>
#include <mutex>
#include <optional>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "config/ConfigImage.h"

namespace zorvik::station {

// One device's row: what it is to hold, and the passwords around it.
struct Row {
    std::string id;                             // names the device in the report
    std::optional<std::u16string> password;     // the device's current password, if the row says
    std::optional<std::u16string> newPassword;  // set once the configuration is verified
    std::optional<std::string> port;            // the one port the row goes to, if any
    ConfigImage image{};
};

// Whether a row's port and a port being worked name the same port.
using SamePortTest = std::function<bool(const std::string& rowPort, const std::string& port)>;
// The digest a finished image is known by, as a report keeps it.
using ImageDigest = std::function<std::string(const ConfigImage&)>;

// The rows still to do, shared by the ports: a row is taken when a device answers, and a row
// whose device failed goes back to the front for the next device.
class RowQueue {
public:
    RowQueue(const std::vector<Row>& rows, SamePortTest samePort);

    // The next row for a device on `port`: the first waiting that is tied to no other port.
    [[nodiscard]] const Row* Take(const std::string& port);
    // The row `wanted` in place of `taken` when it still waits; `taken` then goes back to the
    // front.
    [[nodiscard]] const Row* Exchange(const Row& taken, const std::string& wanted);
    // `done`: the row is finished; otherwise it goes back to the front for the next device.
    void Finish(const Row& row, bool done);
    // No row waits and none is being written: a failure can no longer bring one back.
    [[nodiscard]] bool RunOut();
    // Whether a row is being written, which may yet come back.
    [[nodiscard]] bool AnyTaken();

private:
    SamePortTest samePort_;
    std::mutex mutex_;
    std::deque<const Row*> pending_;
    int taken_ = 0;
};

// What the report of earlier runs says of the rows.
struct EarlierRuns {
    std::set<std::string> done;                     // rows with an `ok` line
    std::map<std::string, std::string> doneImages;  // the digest of an `ok` line's image, its row
    std::set<std::string> mayHoldNewPassword;       // rows whose device may hold the new password
};

// How many rows are done, failed and not started.
struct RowCounts {
    int done = 0;
    int failed = 0;
    int notStarted = 0;
};

// What is known of the rows: those finished (in the report or in this run) by the digest of
// their image, the ones whose device may hold their new password, and each row's latest verdict.
class RowBook {
public:
    RowBook(const std::vector<Row>& rows, const EarlierRuns& earlier, ImageDigest digest);

    void Finished(const Row& row);
    void Failed(const Row& row, bool mayHoldNewPassword);
    [[nodiscard]] bool MayHoldNewPassword(const Row& row);
    // Whether anything is finished or half done, so that a device must be looked at first.
    [[nodiscard]] bool AnythingToCompare();
    // The passwords a device may answer to besides its row's: the finished rows' new ones (with
    // no id), then those of rows whose device may hold it, each with that row's id.
    [[nodiscard]] std::vector<std::pair<std::u16string, std::string>> OtherPasswords();
    // The finished row a device holds, when its image is one's and it answered to that row's
    // new password (a row that set none: to any). Rows with equal images count as one.
    [[nodiscard]] std::optional<std::string> HeldBy(const ConfigImage& image,
                                                    const std::u16string& answered);
    [[nodiscard]] RowCounts Counts();

private:
    enum class State { NotStarted, Failed, Done };
    struct Entry {
        std::string id;
        std::optional<std::u16string> newPassword;
    };
    ImageDigest digest_;
    std::mutex mutex_;
    std::multimap<std::string, Entry> finished_;                     // by the digest of the image
    std::vector<std::pair<std::u16string, std::string>> passwords_;  // finished rows' new ones
    std::map<std::string, std::u16string> mayHoldNew_;               // by row id
    std::map<std::string, State> states_;
};

}  // namespace zorvik::station
