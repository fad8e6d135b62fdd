// Creating the program's windows.
#include "app/Program.h"

#include "app/AboutBox.h"
#include "app/ConfigFileMenu.h"
#include "app/FirmwareWindow.h"
#include "app/PasswordWindow.h"

namespace zorvik {

ProgramWindows CreateWindows(TForm1Services services,
                             const std::function<void(QWidget&)>& created) {
    const auto tell = [&created](QWidget& window) {
        if (created) {
            created(window);
        }
    };
    ProgramWindows windows;
    windows.Form1 = std::make_unique<TForm1>(std::move(services));
    tell(*windows.Form1);
    TForm1& form1 = *windows.Form1;
    // The other windows start and run their commands the main window's way.
    windows.Form2 = new TForm2(
        TForm2Services{*form1.ComPort1, form1.clock(), form1.dialogs(), form1.Runner()}, &form1);
    tell(*windows.Form2);
    windows.Form3 = new TForm3(
        TForm3Services{
            *form1.ComPort1, form1.clock(), form1.dialogs(),
            [&form1] { return form1.Edit21->text().toStdU16String(); },
            PasswordChangeHooks{[&form1](const std::u16string& password) {
                                    form1.Edit21->setText(QString::fromStdU16String(password));
                                },
                                [&form1] { form1.CheckBox36->SetState(CheckState::Unchecked); }},
            form1.Runner()},
        &form1);
    tell(*windows.Form3);
    windows.Form4 = new TForm4(windows.Form1.get());
    tell(*windows.Form4);
    windows.Form1->SetWindows(windows.Form2, windows.Form3, windows.Form4);
    return windows;
}

void OpenWhenShown(TForm1& form, const std::string& path) {
    // Queued behind the showing, so the window is on screen before its settings change or a
    // message about the file stands over it; the name is the one given in the folder the program
    // started in.
    QMetaObject::invokeMethod(
        &form, [&form, full = FullPath(path)] { form.OpenFile(full); }, Qt::QueuedConnection);
}

}  // namespace zorvik
