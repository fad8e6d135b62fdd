// Creating the program's windows.
#include "app/Program.h"

#include "app/WindowClock.h"
#include "files/ConfigFile.h"

namespace zorvik {

void QtModalWindows::ShowModal(form::TForm& window) {
    const auto face = faces_.find(&window);
    if (face == faces_.end()) {
        return;
    }
    if (showModal_) {
        showModal_(*face->second);
    } else {
        face->second->exec();
    }
}

ProgramWindows CreateWindows(ProgramServices services,
                             const std::function<void(QWidget&)>& created) {
    const auto tell = [&created](QWidget& window) {
        if (created) {
            created(window);
        }
    };
    ProgramWindows windows;
    windows.runner = std::make_unique<WindowCommandRunner>(services.dialogs);
    windows.modal = std::make_unique<QtModalWindows>(std::move(services.showModal));
    const form::FormServices lent{services.dialogs, *windows.runner, services.clock, *windows.modal,
                                  services.ports};
    windows.form1 = std::make_unique<form::TForm1>(lent, std::move(services.comPort));
    form::TForm1& form1 = *windows.form1;
    windows.Form1 = std::make_unique<MainWindow>(form1, services.ports);
    tell(*windows.Form1);
    // The other windows start and run their commands the main window's way.
    windows.form2 = std::make_unique<form::TForm2>(form::TForm2Services{
        *form1.ComPort1, services.clock, services.dialogs, *windows.runner, KeepWindowsPainted});
    windows.Form2 = new FirmwareWindow(*windows.form2, windows.Form1.get());
    tell(*windows.Form2);
    windows.form3 = std::make_unique<form::TForm3>(form::TForm3Services{
        *form1.ComPort1, services.clock, services.dialogs, [&form1] { return form1.Edit21.Text(); },
        PasswordChangeHooks{
            [&form1](const std::u16string& password) { form1.Edit21.SetText(password); },
            [&form1] { form1.CheckBox36.SetState(CheckState::Unchecked); }},
        *windows.runner});
    windows.Form3 = new PasswordWindow(*windows.form3, windows.Form1.get());
    tell(*windows.Form3);
    windows.form4 = std::make_unique<form::TForm4>();
    windows.Form4 = new AboutBox(*windows.form4, windows.Form1.get());
    tell(*windows.Form4);
    windows.modal->Add(*windows.form2, *windows.Form2);
    windows.modal->Add(*windows.form3, *windows.Form3);
    windows.modal->Add(*windows.form4, *windows.Form4);
    form1.SetWindows(windows.form2.get(), windows.form3.get(), windows.form4.get());
    return windows;
}

void OpenWhenShown(MainWindow& window, const std::string& path) {
    // Queued behind the showing, so the window is on screen before its settings change or a
    // message about the file stands over it; the name is the one given in the folder the program
    // started in.
    QMetaObject::invokeMethod(
        &window, [&window, file = form::FullPath(path)] { window.Form().OpenFile(file); },
        Qt::QueuedConnection);
}

}  // namespace zorvik
