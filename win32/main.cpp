// zorvik-gsm.exe: the configurator's window on Windows, the four windows' logic over the native
// face.
#include "win32/Windows.h"

#include <commctrl.h>
#include <objbase.h>
#include <shellapi.h>

#include <memory>
#include <string>
#include <vector>

#include "Version.h"
#include "files/FileError.h"
#include "form/Form1.h"
#include "form/Form2.h"
#include "form/Form3.h"
#include "form/Form4.h"
#include "form/ProgramArguments.h"
#include "serial/PortMap.h"
#include "serial/SerialPort.h"
#include "trace/TraceFile.h"
#include "win32/NativeWindow.h"
#include "win32/WinServices.h"
#include "win32/WinText.h"

namespace {

constexpr int kExitUsage = 2;  // a command line the program cannot take, as zorvik-gsm on Linux

// The arguments after the program's name, as UTF-8.
std::vector<std::string> Arguments() {
    int count = 0;
    LPWSTR* wide = CommandLineToArgvW(GetCommandLineW(), &count);
    std::vector<std::string> arguments;
    for (int i = 1; i < count; ++i) {
        arguments.push_back(zorvik::win32::Utf8Of(wide[i]));
    }
    LocalFree(wide);
    return arguments;
}

}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    using namespace zorvik;
    win32::WinDialogs dialogs;
    // A window program has no console: what the Linux window prints goes into a message box.
    const ProgramArguments arguments = ReadProgramArguments(Arguments());
    if (arguments.help) {
        dialogs.MessageBox(kProgramUsage, "zorvik-gsm", kMbInformation);
        return 0;
    }
    if (arguments.version) {
        dialogs.MessageBox(std::string("zorvik-gsm ") + kVersion, "zorvik-gsm", kMbInformation);
        return 0;
    }
    if (!arguments.error.empty()) {
        dialogs.MessageBox("zorvik-gsm: " + arguments.error + "\nzorvik-gsm --help", "zorvik-gsm",
                           kMbError);
        return kExitUsage;
    }

    // For the screen readers' names of the fields without a label before them.
    (void)CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_STANDARD_CLASSES | ICC_TAB_CLASSES |
                                                       ICC_UPDOWN_CLASS | ICC_PROGRESS_CLASS};
    InitCommonControlsEx(&controls);

    const PortMap ports;
    const auto listPorts = [&ports] { return ports.ListPresent(); };
    win32::WinClock clock;
    win32::WinCommandRunner runner(dialogs);
    win32::WinModalWindows windows(listPorts);
    const form::FormServices services{dialogs, runner, clock, windows, ports};
    form::TForm1 form1(services, std::make_unique<TComPort>(ports));
    form::TForm2 form2(
        form::TForm2Services{*form1.ComPort1, clock, dialogs, runner, win32::PumpWithoutInput});
    form::TForm3 form3(form::TForm3Services{
        *form1.ComPort1, clock, dialogs, [&form1] { return form1.Edit21.Text(); },
        PasswordChangeHooks{
            [&form1](const std::u16string& password) { form1.Edit21.SetText(password); },
            [&form1] { form1.CheckBox36.SetState(CheckState::Unchecked); }},
        runner});
    form::TForm4 form4;
    form1.SetWindows(&form2, &form3, &form4);

    // Made after the windows' logic, so it lets go of their port before they go.
    std::unique_ptr<TraceFile> trace;
    if (const auto path = arguments.trace ? arguments.trace : TraceFileFromEnvironment()) {
        try {
            trace = std::make_unique<TraceFile>(*path, clock);
        } catch (const EInOutError& error) {
            dialogs.MessageBox("zorvik-gsm: trace " + *path + ": " + error.what(), "zorvik-gsm",
                               kMbError);
            return kExitUsage;
        }
        trace->Log().SectionPerOpen(std::string("zorvik-gsm ") + kVersion);
        trace->Attach(*form1.ComPort1);
    }

    // The selector's list, read again when it drops down and when a device comes or goes, is
    // the one the window's logic keeps, its chosen port included.
    win32::NativeWindow window(form1, [&form1] {
        form1.RefreshPorts();
        return form1.ComComboBox1.Items();
    });
    // A dropped configuration file opens once the drop has returned to Explorer.
    window.SetFileDrop([&form1, &runner](const std::vector<std::string>& paths) {
        if (const auto path = form::DroppedConfigFile(paths)) {
            runner.Later([&form1, file = *path] { form1.OpenFile(file); });
        }
    });
    window.Show();
    if (arguments.file) {
        // Once the window is on screen; the name is the one given in the folder the program
        // started in.
        runner.Later([&form1, file = form::FullPath(*arguments.file)] { form1.OpenFile(file); });
    }
    win32::RunMessages([&window] { return window.Closed(); });
    return 0;
}
