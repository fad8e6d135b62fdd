// Program entry: builds the four windows, shows the main one and runs until it closes.
#include <QApplication>

#include "app/Program.h"
#include "app/ProgramLook.h"
#include "app/QtDialogs.h"
#include "app/WindowClock.h"
#include "link/PortMap.h"
#include "link/SerialPort.h"

int main(int /*argc*/, char** argv) {
    // The program reads no command line: Qt sees the program's name only.
    int qtArgc = 1;
    char* qtArgv[] = {argv[0], nullptr};
    QApplication application(qtArgc, qtArgv);
    zorvik::InstallProgramLook(application);

    zorvik::QtDialogs dialogs;
    zorvik::WindowClock clock;
    const zorvik::PortMap ports;
    zorvik::ProgramWindows windows = zorvik::CreateWindows(
        {dialogs, clock, std::make_unique<zorvik::TComPort>(ports), ports, {}});
    windows.Form1->show();
    return QApplication::exec();
}
