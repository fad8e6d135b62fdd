// The access password change window: a new password box and the button that sends it.
#pragma once

#include <functional>
#include <string>

#include "device/PasswordChange.h"
#include "form/Form.h"
#include "serial/Clock.h"
#include "serial/ComPort.h"

namespace zorvik::form {

// What the window needs of the main window, which owns the port and the password box.
struct TForm3Services {
    TCustomComPort& port;
    Clock& clock;
    WindowDialogs& dialogs;
    std::function<std::u16string()> accessPassword;  // the text of the access password box
    PasswordChangeHooks hooks;                       // the new password in, the change box cleared
    CommandRunner& runner;  // the program's, as the main window's commands use it
};

class TForm3 : public TForm {
public:
    explicit TForm3(TForm3Services services);

    TLabel& Label1 = Control<TLabel>("Label1");
    TEdit& Edit1 = Control<TEdit>("Edit1");
    TButton& Button1 = Control<TButton>("Button1");

    // Runs the change; closes the window unless it ended before the status reply.
    void Button1Click();
    // Every way of closing the window comes through here: the change box is cleared.
    void FormClose() override;

private:
    TForm3Services services_;
};

}  // namespace zorvik::form
