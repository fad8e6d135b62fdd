// zorvik-gsm.exe: the configurator's window on Windows.
#include "win32/Windows.h"

#include <commctrl.h>

#include "serial/PortMap.h"
#include "win32/NativeWindow.h"
#include "win32/WinServices.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    using namespace zorvik;
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_STANDARD_CLASSES | ICC_TAB_CLASSES |
                                                       ICC_UPDOWN_CLASS | ICC_PROGRESS_CLASS};
    InitCommonControlsEx(&controls);

    PortMap ports;
    const auto listPorts = [&ports] { return ports.ListPresent(); };
    win32::WinDialogs dialogs;
    win32::WinClock clock;
    win32::WinCommandRunner runner(dialogs, Form1Design().caption);
    win32::WinModalWindows windows(listPorts);
    form::FormServices services{dialogs, runner, clock, windows, ports};
    static_cast<void>(services);

    // The main window's logic is wired here: until then, its controls over their models alone.
    form::TForm main(Form1Design());

    win32::NativeWindow window(main, listPorts);
    window.Show();
    win32::RunMessages([&window] { return window.Closed(); });
    return 0;
}
