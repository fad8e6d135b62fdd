// Drawing the firmware update's progress.
#include "cli/FlashProgress.h"

#include <algorithm>

#include "cli/Console.h"

namespace zorvik::cli {

namespace {

constexpr int kBarWidth = 40;  // characters of the bar on a terminal
constexpr int kLogStep = 10;   // percent between two lines in a log
constexpr int kFull = 100;

constexpr const char* kEraseWarning =
    "programming has begun: stopping now leaves the device without complete firmware; "
    "press Ctrl-C again to stop anyway";

}  // namespace

void FlashProgress::ShowBar() {
    ++phase_;
    if (phase_ == 1) {
        // The command byte has just gone out: the device is erasing its flash.
        RequireSecondInterrupt(kEraseWarning);
    } else {
        // Every page is programmed: stopping the read-back harms nothing.
        RequireSecondInterrupt({});
    }
    position_ = 0;
    shownPercent_ = -1;
    Draw(true);
}

void FlashProgress::HideBar() {
    if (terminal_ && !quiet_) {
        std::fputc('\n', out_);
        std::fflush(out_);
    }
}

void FlashProgress::SetMaximum(int maximum) {
    maximum_ = maximum;
}

void FlashProgress::SetPosition(int position) {
    position_ = position;
}

void FlashProgress::Advance(int step) {
    position_ = std::min(position_ + step, maximum_);
    Draw(false);
}

void FlashProgress::KeepPainted() {
    StopIfInterrupted();
}

int FlashProgress::Percent() const {
    if (maximum_ <= 0) {
        return kFull;
    }
    // Programming moves the bar by the page bytes only (256 of each 257), so it is measured
    // against the pages; verification moves past the file's size and stops at its end.
    const long long whole =
        phase_ == 1 ? static_cast<long long>(maximum_) / kFirmwareRecordSize * kFirmwarePageSize
                    : maximum_;
    return static_cast<int>(std::min<long long>(kFull, position_ * 100LL / std::max(whole, 1LL)));
}

void FlashProgress::Draw(bool force) {
    if (quiet_) {
        return;
    }
    const int percent = Percent();
    const char* what = phase_ == 1 ? "programming" : "verifying";
    if (terminal_) {
        if (!force && percent == shownPercent_) {
            return;
        }
        shownPercent_ = percent;
        const int filled = percent * kBarWidth / kFull;
        std::fprintf(out_, "\r%-11s [%s%s] %3d%%", what, std::string(filled, '#').c_str(),
                     std::string(kBarWidth - filled, '.').c_str(), percent);
        std::fflush(out_);
        return;
    }
    const int step = percent / kLogStep * kLogStep;
    if (!force && step == shownPercent_) {
        return;
    }
    shownPercent_ = step;
    std::fprintf(out_, "%s: %d%%\n", what, step);
    std::fflush(out_);
}

}  // namespace zorvik::cli
