// The program's four windows, created in their fixed order: each window's logic, then its face.
#pragma once

#include <QDialog>
#include <functional>
#include <map>
#include <memory>
#include <string>

#include "app/AboutBox.h"
#include "app/FirmwareWindow.h"
#include "app/MainWindow.h"
#include "app/PasswordWindow.h"
#include "app/WindowCommandRunner.h"
#include "form/Form1.h"
#include "form/Form2.h"
#include "form/Form3.h"
#include "form/Form4.h"

namespace zorvik {

// What the windows work with, handed in so that tests can replace each part.
struct ProgramServices {
    WindowDialogs& dialogs;
    Clock& clock;
    std::unique_ptr<TCustomComPort> comPort;  // becomes ComPort1; the program passes a TComPort
    const PortMap& ports;                     // start-up port selection and the selector's list
    std::function<void(QDialog&)> showModal;  // runs Form2/Form3/Form4 modally; empty: exec()
};

// Shows the other windows modally through their faces.
class QtModalWindows : public form::ModalWindows {
public:
    explicit QtModalWindows(std::function<void(QDialog&)> showModal)
        : showModal_(std::move(showModal)) {}
    void Add(form::TForm& window, QDialog& face) { faces_[&window] = &face; }
    void ShowModal(form::TForm& window) override;

private:
    std::function<void(QDialog&)> showModal_;
    std::map<form::TForm*, QDialog*> faces_;
};

// The windows' logic is made first and goes last, so that no face outlives its logic.
struct ProgramWindows {
    std::unique_ptr<WindowCommandRunner> runner;
    std::unique_ptr<QtModalWindows> modal;
    std::unique_ptr<form::TForm1> form1;
    std::unique_ptr<form::TForm2> form2;
    std::unique_ptr<form::TForm3> form3;
    std::unique_ptr<form::TForm4> form4;
    std::unique_ptr<MainWindow> Form1;
    // Owned by Form1; shown modally and hidden again.
    FirmwareWindow* Form2 = nullptr;
    PasswordWindow* Form3 = nullptr;
    AboutBox* Form4 = nullptr;
};

// Creates Form1, Form2, Form3 and Form4 in this order, each once, and introduces the other three
// to Form1. `created` (if given) is told of each face as soon as it exists.
[[nodiscard]] ProgramWindows CreateWindows(ProgramServices services,
                                           const std::function<void(QWidget&)>& created = {});

// Opens the configuration file at `path` in the shown main window as soon as the program's loop
// runs, as "Otwórz" does once its dialog has chosen it: `zorvik-gsm FILE`.
void OpenWhenShown(MainWindow& window, const std::string& path);

}  // namespace zorvik
