// Running the windows' commands.
#include "app/WindowCommandRunner.h"

#include <QApplication>

#include "app/BusyScope.h"

namespace zorvik {

void WindowCommandRunner::RunBusy(const Body& body) {
    const BusyScope busy;
    body();
}

void WindowCommandRunner::Later(Body body) {
    QMetaObject::invokeMethod(qApp, std::move(body), Qt::QueuedConnection);
}

}  // namespace zorvik
