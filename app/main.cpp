// Program entry: builds the four windows, shows the main one and runs until it closes.
#include <QApplication>
#include <iostream>
#include <memory>
#include <string>
#include <vector>

#include "Version.h"
#include "app/Program.h"
#include "app/ProgramArguments.h"
#include "app/ProgramLook.h"
#include "app/QtDialogs.h"
#include "app/WindowClock.h"
#include "files/FileError.h"
#include "serial/PortMap.h"
#include "serial/SerialPort.h"
#include "trace/TraceFile.h"

namespace {

constexpr char kUsage[] = R"(Usage: zorvik-gsm [--trace FILE] [--help | --version] [FILE]
Configures a Zorvik GSM device over a serial cable: reads its configuration, shows it on three
pages, writes it back, keeps it in .zvk files, changes its access password, sends its anti-theft
settings, finds the port it is connected to and updates its firmware.

FILE, a configuration file (.zvk), is opened once the window is shown, as "Plik" > "Otwórz"
opens it. A .zvk file can also be dragged onto the window. The window keeps no settings between
runs.

Options:
  --trace FILE  append a byte trace of each command's exchange with the device to FILE
                (also ZORVIK_TRACE=FILE); passwords in it are masked
  --help        show this text and exit
  --version     show the program's version and exit
  --            take what follows as FILE, even when it starts with "-"
)";

}  // namespace

int main(int argc, char** argv) {
    const zorvik::ProgramArguments arguments =
        zorvik::ReadProgramArguments(std::vector<std::string>(argv + 1, argv + argc));
    // Answered before any window exists, so they work without a display.
    if (arguments.help) {
        std::cout << kUsage;
        return 0;
    }
    if (arguments.version) {
        std::cout << "zorvik-gsm " << zorvik::kVersion << '\n';
        return 0;
    }
    if (!arguments.error.empty()) {
        std::cerr << "zorvik-gsm: " << arguments.error << "\nTry 'zorvik-gsm --help'.\n";
        return 2;
    }

    // Qt sees the program's name only: no argument of the window's is taken for one of Qt's.
    int qtArgc = 1;
    char* qtArgv[] = {argv[0], nullptr};
    QApplication application(qtArgc, qtArgv);
    // Lets the desktop show the window under the installed entry's name and icon.
    QGuiApplication::setDesktopFileName(QStringLiteral(ZORVIK_APP_ID));
    zorvik::InstallProgramLook(application);

    zorvik::QtDialogs dialogs;
    zorvik::WindowClock clock;
    const zorvik::PortMap ports;
    zorvik::ProgramWindows windows = zorvik::CreateWindows(
        {dialogs, clock, std::make_unique<zorvik::TComPort>(ports), ports, {}});
    // Made after the windows, so it lets go of their port before they go.
    std::unique_ptr<zorvik::TraceFile> trace;
    const auto tracePath = arguments.trace ? arguments.trace : zorvik::TraceFileFromEnvironment();
    if (const auto& path = tracePath) {
        try {
            trace = std::make_unique<zorvik::TraceFile>(*path, clock);
        } catch (const zorvik::EInOutError& error) {
            std::cerr << "zorvik-gsm: trace " << *path << ": " << error.what() << '\n';
            return 2;
        }
        trace->Log().SectionPerOpen(std::string("zorvik-gsm ") + zorvik::kVersion);
        trace->Attach(*windows.form1->ComPort1);
    }
    windows.Form1->show();
    if (arguments.file) {
        zorvik::OpenWhenShown(*windows.Form1, *arguments.file);
    }
    return QApplication::exec();
}
