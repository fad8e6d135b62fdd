// The program's four windows, created in their fixed order.
#pragma once

#include <functional>
#include <memory>
#include <string>

#include "app/MainWindow.h"

namespace zorvik {

class TForm2;
class TForm3;
class TForm4;

struct ProgramWindows {
    std::unique_ptr<TForm1> Form1;
    // Owned by Form1; shown modally and hidden again.
    TForm2* Form2 = nullptr;
    TForm3* Form3 = nullptr;
    TForm4* Form4 = nullptr;
};

// Creates Form1, Form2, Form3 and Form4 in this order, each once, and introduces the other three
// to Form1. `created` (if given) is told of each window as soon as it exists.
[[nodiscard]] ProgramWindows CreateWindows(TForm1Services services,
                                           const std::function<void(QWidget&)>& created = {});

// Opens the configuration file at `path` in the shown main window as soon as the program's loop
// runs, as "Otwórz" does once its dialog has chosen it: `zorvik-gsm FILE`.
void OpenWhenShown(TForm1& form, const std::string& path);

}  // namespace zorvik
