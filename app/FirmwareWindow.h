// The firmware update window: choosing the firmware file and starting the update.
#pragma once

#include <QDialog>
#include <functional>
#include <string>

#include "app/CommandRunner.h"
#include "form/WindowDialogs.h"
#include "device/FirmwareUpdate.h"
#include "serial/Clock.h"
#include "serial/ComPort.h"

class QAction;
class QCheckBox;
class QLabel;
class QMenuBar;
class QProgressBar;
class QPushButton;

namespace zorvik {

// What the firmware window works with, lent by the main window.
struct TForm2Services {
    TCustomComPort& comPort;  // the main window's ComPort1, with the port name chosen there
    Clock& clock;
    WindowDialogs& dialogs;
    CommandRunner& runner;  // the program's, as the main window's commands use it
};

class TForm2 : public QDialog, private FirmwareProgress {
    Q_OBJECT

public:
    explicit TForm2(TForm2Services services, QWidget* parent = nullptr);

    QMenuBar* MainMenu1 = nullptr;
    QAction* Otwrz1 = nullptr;
    QAction* Wyjcie1 = nullptr;
    QLabel* Label1 = nullptr;  // the chosen file's path; " " when none is chosen
    QLabel* Label2 = nullptr;
    QLabel* Label3 = nullptr;  // the chosen file's size, "61680B"
    QCheckBox* CheckBox1 = nullptr;
    QCheckBox* CheckBox2 = nullptr;
    QPushButton* Button1 = nullptr;
    QProgressBar* ProgressBar1 = nullptr;
    FileDialogOptions OpenDialog1;

    // "Plik" → "Otwórz": choose the firmware file.
    void Otwrz1Click();
    // "Programuj": program the chosen file into the device.
    void Button1Click();
    // "Plik" → "Wyjście": back to the main window.
    void Wyjcie1Click();

    // The chosen file's path as the file system knows it; empty when none is chosen.
    [[nodiscard]] const std::string& FileName() const { return fileName_; }

protected:
    void showEvent(QShowEvent* event) override;

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

}  // namespace zorvik
