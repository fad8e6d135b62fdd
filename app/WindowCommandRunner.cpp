// Running the windows' commands.
#include "app/WindowCommandRunner.h"

#include "app/BusyScope.h"
#include "form/ErrorReport.h"

namespace zorvik {

void WindowCommandRunner::Run(const Body& body) {
    RunHandler(dialogs_, body);
}

void WindowCommandRunner::RunBusy(const Body& body) {
    const BusyScope busy;
    body();
}

}  // namespace zorvik
