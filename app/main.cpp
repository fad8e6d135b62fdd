// Program entry: builds the four windows, shows the main one and runs until it closes.
#include <QApplication>
#include <iostream>
#include <memory>
#include <string>
#include <vector>

#include "Version.h"
#include "app/Program.h"
#include "app/ProgramLook.h"
#include "app/QtDialogs.h"
#include "app/WindowClock.h"
#include "files/FileError.h"
#include "form/ProgramArguments.h"
#include "serial/PortMap.h"
#include "serial/SerialPort.h"
#include "trace/TraceFile.h"

int main(int argc, char** argv) {
    const zorvik::ProgramArguments arguments =
        zorvik::ReadProgramArguments(std::vector<std::string>(argv + 1, argv + argc));
    // Answered before any window exists, so they work without a display.
    if (arguments.help) {
        std::cout << zorvik::kProgramUsage;
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
