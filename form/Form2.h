// The firmware update window: choosing the firmware file and starting the update.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "device/FirmwareUpdate.h"
#include "form/Form.h"
#include "serial/Clock.h"
#include "serial/ComPort.h"

namespace zorvik::form {

// What the firmware window works with, lent by the main window and the face.
struct TForm2Services {
    TCustomComPort& comPort;  // the main window's ComPort1, with the port name chosen there
    Clock& clock;
    WindowDialogs& dialogs;
    CommandRunner& runner;  // the program's, as the main window's commands use it
    // Repaints the windows while the update waits for the device between the clock's pauses;
    // no input may be handled there. Empty: nothing to repaint.
    std::function<void()> keepPainted = {};
};

class TForm2 : public TForm, private FirmwareProgress {
public:
    explicit TForm2(TForm2Services services);

    TMenuItem& Plik1 = Control<TMenuItem>("Plik1");
    TMenuItem& Otwrz1 = Control<TMenuItem>("Otwrz1");
    TMenuItem& Wyjcie1 = Control<TMenuItem>("Wyjcie1");
    TLabel& Label1 = Control<TLabel>("Label1");  // the chosen file's path; " " when none is chosen
    TLabel& Label2 = Control<TLabel>("Label2");
    TLabel& Label3 = Control<TLabel>("Label3");  // the chosen file's size, "61680B"
    TCheckBox& CheckBox1 = Control<TCheckBox>("CheckBox1");
    TCheckBox& CheckBox2 = Control<TCheckBox>("CheckBox2");
    TButton& Button1 = Control<TButton>("Button1");
    TProgressBar& ProgressBar1 = Control<TProgressBar>("ProgressBar1");
    const FileDialogOptions OpenDialog1{"BinaryFile   *.bin|*.bin", "bin"};

    // "Plik" → "Otwórz": choose the firmware file.
    void Otwrz1Click();
    // "Programuj": program the chosen file into the device.
    void Button1Click();
    // "Plik" → "Wyjście": back to the main window.
    void Wyjcie1Click() const;

    // The chosen file's path as the file system knows it; empty when none is chosen.
    [[nodiscard]] const std::string& FileName() const { return fileName_; }

private:
    void ShowBar() override;
    void HideBar() override;
    void SetMaximum(int maximum) override;
    void SetPosition(int position) override;
    void Advance(int step) override;
    void KeepPainted() override;

    void ChooseFile(const std::string& path, std::uint64_t size);
    void ClearFile();

    TForm2Services services_;
    std::string fileName_;
};

}  // namespace zorvik::form
