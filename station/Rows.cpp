// The row queue and the book of rows, each behind its own lock: every port's thread uses them.
#include "station/Rows.h"

#include <algorithm>

namespace zorvik::station {

RowQueue::RowQueue(const std::vector<Row>& rows, SamePortTest samePort)
    : samePort_(std::move(samePort)) {
    for (const Row& row : rows) {
        pending_.push_back(&row);
    }
}

const Row* RowQueue::Take(const std::string& port) {
    const std::lock_guard lock(mutex_);
    const auto found = std::find_if(pending_.begin(), pending_.end(), [&](const Row* row) {
        return !row->port || samePort_(*row->port, port);
    });
    if (found == pending_.end()) {
        return nullptr;
    }
    const Row* row = *found;
    pending_.erase(found);
    ++taken_;
    return row;
}

const Row* RowQueue::Exchange(const Row& taken, const std::string& wanted) {
    const std::lock_guard lock(mutex_);
    const auto found = std::find_if(pending_.begin(), pending_.end(),
                                    [&wanted](const Row* row) { return row->id == wanted; });
    if (found == pending_.end()) {
        return nullptr;
    }
    const Row* row = *found;
    pending_.erase(found);
    pending_.push_front(&taken);
    return row;
}

void RowQueue::Finish(const Row& row, bool done) {
    const std::lock_guard lock(mutex_);
    --taken_;
    if (!done) {
        pending_.push_front(&row);
    }
}

bool RowQueue::RunOut() {
    const std::lock_guard lock(mutex_);
    return pending_.empty() && taken_ == 0;
}

bool RowQueue::AnyTaken() {
    const std::lock_guard lock(mutex_);
    return taken_ > 0;
}

RowBook::RowBook(const std::vector<Row>& rows, const EarlierRuns& earlier, ImageDigest digest)
    : digest_(std::move(digest)) {
    for (const Row& row : rows) {
        if (earlier.done.contains(row.id)) {
            Finished(row);
        } else {
            states_[row.id] = State::NotStarted;
        }
        if (earlier.mayHoldNewPassword.contains(row.id) && row.newPassword) {
            mayHoldNew_.emplace(row.id, *row.newPassword);
        }
    }
    for (const auto& [digest, id] : earlier.doneImages) {
        if (!states_.contains(id)) {
            // A row no longer in the table: its image alone tells its devices.
            finished_.emplace(digest, Entry{id, std::nullopt});
        }
    }
}

void RowBook::Finished(const Row& row) {
    const std::lock_guard lock(mutex_);
    finished_.emplace(digest_(row.image), Entry{row.id, row.newPassword});
    if (row.newPassword) {
        passwords_.emplace_back(*row.newPassword, row.id);
    }
    states_[row.id] = State::Done;
    mayHoldNew_.erase(row.id);
}

void RowBook::Failed(const Row& row, bool mayHoldNewPassword) {
    const std::lock_guard lock(mutex_);
    if (states_[row.id] != State::Done) {
        states_[row.id] = State::Failed;
    }
    if (mayHoldNewPassword && row.newPassword) {
        mayHoldNew_.emplace(row.id, *row.newPassword);
    }
}

bool RowBook::MayHoldNewPassword(const Row& row) {
    const std::lock_guard lock(mutex_);
    return mayHoldNew_.contains(row.id);
}

bool RowBook::AnythingToCompare() {
    const std::lock_guard lock(mutex_);
    return !finished_.empty() || !mayHoldNew_.empty();
}

std::vector<std::pair<std::u16string, std::string>> RowBook::OtherPasswords() {
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

std::optional<std::string> RowBook::HeldBy(const ConfigImage& image,
                                           const std::u16string& answered) {
    const std::lock_guard lock(mutex_);
    const auto [first, last] = finished_.equal_range(digest_(image));
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

RowCounts RowBook::Counts() {
    const std::lock_guard lock(mutex_);
    RowCounts counts;
    for (const auto& [id, state] : states_) {
        switch (state) {
            case State::NotStarted:
                ++counts.notStarted;
                break;
            case State::Failed:
                ++counts.failed;
                break;
            case State::Done:
                ++counts.done;
                break;
        }
    }
    return counts;
}

}  // namespace zorvik::station
