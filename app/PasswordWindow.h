// The access password change window: a new password box and the button that sends it.
#pragma once

#include <QDialog>
#include <functional>
#include <string>

#include "app/CommandRunner.h"
#include "words/Dialogs.h"
#include "device/PasswordChange.h"
#include "serial/Clock.h"
#include "serial/ComPort.h"

class QLabel;
class QLineEdit;
class QPushButton;

namespace zorvik {

// What the window needs of the main window, which owns the port and the password box.
struct TForm3Services {
    TCustomComPort& port;
    Clock& clock;
    Dialogs& dialogs;
    std::function<std::u16string()> accessPassword;  // the text of the access password box
    PasswordChangeHooks hooks;                       // the new password in, the change box cleared
    CommandRunner& runner;  // the program's, as the main window's commands use it
};

class TForm3 : public QDialog {
    Q_OBJECT

public:
    explicit TForm3(TForm3Services services, QWidget* parent = nullptr);

    QLabel* Label1 = nullptr;
    QLineEdit* Edit1 = nullptr;
    QPushButton* Button1 = nullptr;

    // Runs the change; closes the window unless it ended before the status reply.
    void Button1Click();
    // Every way of closing the window comes through here: the change box is cleared.
    void FormClose();

    // Closing in any way (close button, Escape, the change itself) runs FormClose first.
    void done(int result) override;

protected:
    void showEvent(QShowEvent* event) override;

private:
    TForm3Services services_;
};

}  // namespace zorvik
