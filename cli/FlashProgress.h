// The firmware update's progress on standard error: a bar redrawn in place on a terminal, plain
// percentage lines in a log. Also where a flash becomes something Ctrl-C should not cut short.
#pragma once

#include <cstdio>
#include <string>

#include "device/FirmwareUpdate.h"

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

    // With -q nothing is drawn; Ctrl-C is handled all the same.
    void SetQuiet(bool quiet) { quiet_ = quiet; }

private:
    void Draw(bool force);
    [[nodiscard]] int Percent() const;

    std::FILE* out_;
    bool terminal_;
    int phase_ = 0;  // 1 programming, 2 verification
    int maximum_ = 0;
    int position_ = 0;
    int shownPercent_ = -1;
    bool quiet_ = false;
};

}  // namespace zorvik::cli
