// The program's command runner: the general error report around each handler, the busy scope
// around each exchange with the device.
#pragma once

#include "form/ErrorReport.h"

namespace zorvik {

// One for the program: every window runs its handlers through it.
class WindowCommandRunner : public form::ErrorReportRunner {
public:
    using ErrorReportRunner::ErrorReportRunner;

    void RunBusy(const Body& body) override;
    // From a queued call: the click returns at once, and the handler then runs as it always does.
    void Later(Body body) override;
};

}  // namespace zorvik
