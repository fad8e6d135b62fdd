// The firmware update's progress on standard error: a bar redrawn in place on a terminal, plain
// percentage lines in a log. Also where a flash becomes something Ctrl-C should not cut short.
#pragma once

#include <cstdio>
#include <string>

#include "firmware/FirmwareUpdate.h"

namespace zorvik::cli {

class FlashProgress : public FirmwareProgress {
public:
    // `out` is standard error; `terminal` whether it is one.
    FlashProgress(std::FILE* out, bool terminal) : out_(out), terminal_(terminal) {}

    void ShowBar() override;
    void HideBar() override;
    void SetMaximum(int maximum) override;
    void SetPosition(int position) override;
    void Advance(int step) override;
    void KeepPainted() override;

    // Whether the programming phase began, so the device has been told to erase its flash.
    [[nodiscard]] bool Started() const { return phase_ > 0; }

private:
    void Draw(bool force);
    [[nodiscard]] int Percent() const;

    std::FILE* out_;
    bool terminal_;
    int phase_ = 0;  // 1 programming, 2 verification
    int maximum_ = 0;
    int position_ = 0;
    int shownPercent_ = -1;
};

}  // namespace zorvik::cli
