// Program entry: builds the four windows, shows the main one and runs until it closes.
#include <QApplication>
#include <cstring>
#include <iostream>
#include <memory>
#include <optional>
#include <string>

#include "Version.h"
#include "app/Program.h"
#include "app/ProgramLook.h"
#include "app/QtDialogs.h"
#include "app/WindowClock.h"
#include "files/FileError.h"
#include "link/PortMap.h"
#include "link/SerialPort.h"
#include "link/TraceFile.h"

namespace {

constexpr char kUsage[] = R"(Usage: zorvik-gsm [--trace FILE] [--help | --version]
Configures a Zorvik GSM device over a serial cable: reads its configuration, shows it on three
pages, writes it back, keeps it in .zvk files, changes its access password, sends its anti-theft
settings, finds the port it is connected to and updates its firmware.

The window reads no other arguments and keeps no settings between runs.

Options:
  --trace FILE  append a byte trace of each command's exchange with the device to FILE
                (also ZORVIK_TRACE=FILE); passwords in it are masked
  --help        show this text and exit
  --version     show the program's version and exit
)";

// True when `argv` asks for `option`; every other argument is left alone.
bool Asks(int argc, char** argv, const char* option) {
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], option) == 0) {
            return true;
        }
    }
    return false;
}

// The trace file asked for with --trace FILE, else in the environment.
std::optional<std::string> TracePath(int argc, char** argv) {
    for (int i = 1; i + 1 < argc; ++i) {
        if (std::strcmp(argv[i], "--trace") == 0) {
            return std::string(argv[i + 1]);
        }
    }
    return zorvik::TraceFileFromEnvironment();
}

}  // namespace

int main(int argc, char** argv) {
    // Answered before any window exists, so they work without a display.
    if (Asks(argc, argv, "--help")) {
        std::cout << kUsage;
        return 0;
    }
    if (Asks(argc, argv, "--version")) {
        std::cout << "zorvik-gsm " << zorvik::kVersion << '\n';
        return 0;
    }

    // The window reads no command line: Qt sees the program's name only.
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
    if (const auto path = TracePath(argc, argv)) {
        try {
            trace = std::make_unique<zorvik::TraceFile>(*path, clock);
        } catch (const zorvik::EInOutError& error) {
            std::cerr << "zorvik-gsm: trace " << *path << ": " << error.what() << '\n';
            return 2;
        }
        trace->Log().SectionPerOpen(std::string("zorvik-gsm ") + zorvik::kVersion);
        trace->Attach(*windows.Form1->ComPort1);
    }
    windows.Form1->show();
    return QApplication::exec();
}
