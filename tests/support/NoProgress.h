// A firmware update with no one watching its bar, for the tests and benches on a real pty.
#pragma once

#include "device/FirmwareUpdate.h"

namespace zorvik::testing {

class NoProgress : public FirmwareProgress {
public:
    void ShowBar() override {}
    void HideBar() override {}
    void SetMaximum(int) override {}
    void SetPosition(int) override {}
    void Advance(int) override {}
};

}  // namespace zorvik::testing
