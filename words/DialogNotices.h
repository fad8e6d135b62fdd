// What the commands tell, shown as the window's message boxes in the window's words.
#pragma once

#include "words/Dialogs.h"
#include "device/Notice.h"

namespace zorvik {

class DialogNotices : public Notices {
public:
    explicit DialogNotices(Dialogs& dialogs) : dialogs_(dialogs) {}

    // The trace first, then the message box, which the command waits on.
    void Notify(const Notice& notice, PortObserver* trace) override;

private:
    Dialogs& dialogs_;
};

}  // namespace zorvik
