// The program's command runner: the general error report around each handler, the busy scope
// around each exchange with the device.
#pragma once

#include "form/Form.h"
#include "words/Dialogs.h"

namespace zorvik {

// One for the program: every window runs its handlers through it.
class WindowCommandRunner : public form::CommandRunner {
public:
    explicit WindowCommandRunner(Dialogs& dialogs) : dialogs_(dialogs) {}

    void Run(const Body& body) override;
    void RunBusy(const Body& body) override;
    // From a queued call: the click returns at once, and the handler then runs as it always does.
    void Later(Body body) override;

private:
    Dialogs& dialogs_;
};

}  // namespace zorvik
