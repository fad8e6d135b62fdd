// The steps of one device's attempt at a row, on the device's own exchange.
#include "station/Attempt.h"

#include <algorithm>
#include <cstdint>

#include "device/PasswordChange.h"
#include "device/ReadyListener.h"

namespace zorvik::station {

Attempt::Attempt(DeviceExchange& exchange, RowQueue& queue, RowBook& book, const Row& taken,
                 std::u16string password, std::function<bool()> stop,
                 std::function<void(Progress, const Row&)> progress)
    : exchange_(exchange),
      queue_(queue),
      book_(book),
      row_(&taken),
      password_(taken.password.value_or(std::move(password))),
      stop_(std::move(stop)),
      progress_(std::move(progress)) {}

AttemptEnd Attempt::Run() {
    if (Look() && Write() && Verify() && SetNewPassword()) {
        end_.kind = AttemptEnd::Kind::Done;
    }
    return end_;
}

bool Attempt::Ends(AttemptEnd::Kind kind) {
    end_.kind = kind;
    return false;
}

bool Attempt::WaitOutRefusal() {
    // Listening from a fresh open finds the banner of a device that reopening woke at once, and
    // that of one that heard nothing of it, once its silence is over.
    exchange_.PortReset();
    const std::int64_t window =
        (std::int64_t{kRefusalSilenceMs} + std::int64_t{kReadyAttempts} * kReadyPollMs) * 1000;
    if (ListenForReady(exchange_.Port(), exchange_.Time(), window, kListenPollMs, stop_)) {
        exchange_.BannerSeen();
        return true;
    }
    // No banner: the next read's own wait says so.
    return !(stop_ && stop_());
}

bool Attempt::Look() {
    if (!book_.AnythingToCompare()) {
        return true;
    }
    // The password the device answers to, tried in order: a row whose device may hold its new
    // password that one first, then the row's own, then the new passwords of finished rows and of
    // rows half done.
    std::vector<std::pair<std::u16string, std::string>> tries;
    if (book_.MayHoldNewPassword(*row_)) {
        tries.emplace_back(*row_->newPassword, row_->id);
    }
    tries.emplace_back(password_, std::string());
    for (const auto& other : book_.OtherPasswords()) {
        if (std::none_of(tries.begin(), tries.end(),
                         [&other](const auto& tried) { return tried.first == other.first; })) {
            tries.push_back(other);
        }
    }
    for (std::size_t i = 0; i < tries.size(); ++i) {
        const auto& [candidate, owner] = tries[i];
        const ReadResult result = ReadConfiguration(exchange_, candidate);
        if (result.outcome == ReadOutcome::WrongPassword) {
            if (i + 1 < tries.size() && !WaitOutRefusal()) {
                return Ends(AttemptEnd::Kind::Stopped);
            }
            continue;
        }
        if (result.outcome != ReadOutcome::Read) {
            end_.read = result;
            return Ends(AttemptEnd::Kind::LookFailed);
        }
        if (const auto held = book_.HeldBy(*result.image, candidate)) {
            queue_.Finish(*row_, false);
            end_.heldRow = *held;
            return Ends(AttemptEnd::Kind::HoldsFinished);
        }
        if (!owner.empty() && owner != row_->id) {
            if (const Row* half = queue_.Exchange(*row_, owner)) {
                row_ = half;  // this device is the one that row was half written to
            }
        }
        if (progress_ && owner == row_->id) {
            progress_(Progress::AnsweredNewPassword, *row_);
        } else if (progress_ && book_.MayHoldNewPassword(*row_)) {
            progress_(Progress::AnsweredOldPassword, *row_);
        }
        password_ = candidate;
        return true;
    }
    end_.triedOthers = tries.size() > 1;
    return Ends(AttemptEnd::Kind::Refused);
}

bool Attempt::Write() {
    if (progress_) {
        progress_(Progress::Writing, *row_);
    }
    const WriteOutcome outcome = WriteConfiguration(exchange_, password_, {}, [this] {
        stage_ = Stage::ConfigurationSent;
        return row_->image;
    });
    if (outcome != WriteOutcome::Stored) {
        end_.write = outcome;
        return Ends(AttemptEnd::Kind::WriteFailed);
    }
    stage_ = Stage::Verifying;
    return true;
}

bool Attempt::Verify() {
    const ReadResult back = ReadConfiguration(exchange_, password_);
    if (back.outcome != ReadOutcome::Read) {
        end_.read = back;
        return Ends(AttemptEnd::Kind::VerifyFailed);
    }
    if (*back.image != row_->image) {
        return Ends(AttemptEnd::Kind::VerifyDiffers);
    }
    stage_ = Stage::Verified;
    return true;
}

bool Attempt::SetNewPassword() {
    if (!row_->newPassword) {
        return true;
    }
    if (*row_->newPassword == password_) {
        end_.passwordWasAlreadyNew = true;
        return true;
    }
    // The new password goes out with the current one in the change's first exchange: from there
    // on a stop or a silence may leave the device answering to the new password only.
    stage_ = Stage::PasswordSent;
    end_.password = ChangeAccessPassword(exchange_, password_, *row_->newPassword, {});
    return end_.password == PasswordChangeOutcome::Changed ||
           Ends(AttemptEnd::Kind::PasswordFailed);
}

void Attempt::Settle(bool ok) {
    queue_.Finish(*row_, ok);
    if (ok) {
        book_.Finished(*row_);
    } else {
        book_.Failed(*row_, stage_ == Stage::PasswordSent);
    }
}

}  // namespace zorvik::station
