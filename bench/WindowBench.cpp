// bench-window: the window's start-up, from the program's start to its main window shown, and
// the memory it holds then, over several runs of a child that builds the windows as the program
// does and ends once the main window is exposed. Runs on the screen it is given
// (QT_QPA_PLATFORM, DISPLAY), so before and after a change are measured alike.
#include <QApplication>
#include <QWindow>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "app/Program.h"
#include "app/ProgramLook.h"
#include "app/QtDialogs.h"
#include "app/WindowClock.h"
#include "bench/BenchSupport.h"
#include "serial/PortMap.h"
#include "serial/SerialPort.h"

namespace {

constexpr int kRuns = 15;

int ShowAndEnd(int argc, char** argv) {
    QApplication application(argc, argv);
    zorvik::InstallProgramLook(application);
    zorvik::QtDialogs dialogs;
    zorvik::WindowClock clock;
    const zorvik::PortMap ports;
    zorvik::ProgramWindows windows = zorvik::CreateWindows(
        {dialogs, clock, std::make_unique<zorvik::TComPort>(ports), ports, {}});
    windows.Form1->show();
    while (windows.Form1->windowHandle() == nullptr ||
           !windows.Form1->windowHandle()->isExposed()) {
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 10);
    }
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc > 1 && std::string(argv[1]) == "--child") {
        return ShowAndEnd(1, argv);
    }
    std::vector<double> startMs;
    std::vector<double> residentMiB;
    for (int run = 0; run < kRuns; ++run) {
        const zorvik::bench::ChildRun child = zorvik::bench::RunChild({argv[0], "--child"});
        if (child.status != 0) {
            std::fprintf(stderr, "bench-window: the window did not come up (status %d)\n",
                         child.status);
            return 1;
        }
        startMs.push_back(static_cast<double>(child.wallMicros) / 1000.0);
        residentMiB.push_back(static_cast<double>(child.residentKiB) / 1024.0);
    }
    std::printf("window start-up to shown: median %.1f ms, fastest %.1f ms (%d runs)\n",
                zorvik::bench::Percentile(startMs, 0.5), zorvik::bench::Percentile(startMs, 0.0),
                kRuns);
    std::printf("resident memory once shown: median %.1f MiB\n",
                zorvik::bench::Percentile(residentMiB, 0.5));
    return 0;
}
