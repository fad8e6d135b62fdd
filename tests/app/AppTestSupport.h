// Test doubles for the windows: a port that needs no device, a port tree in a temporary folder,
// and a main window built over them with scripted dialogs.
#pragma once

#include <QString>
#include <QTemporaryDir>
#include <memory>
#include <ostream>
#include <string>
#include <vector>

#include "app/ComComboBox.h"
#include "app/Controls.h"
#include "app/MainWindow.h"
#include "app/MaskEdit.h"
#include "app/Program.h"
#include "serial/Clock.h"
#include "serial/PortMap.h"
#include "tests/support/FakeWindowDialogs.h"

class QAction;
class QDialog;
class QWidget;

// Readable failures for texts.
inline void PrintTo(const QString& text, std::ostream* out) {
    *out << '"' << text.toStdString() << '"';
}

namespace zorvik::testing {

// An edit's background: white where it takes input, the face colour where it is switched off.
constexpr unsigned kWhite = 0xFFFFFF;
constexpr unsigned kFace = 0xF0F0F0;

// How long a port list may take to follow a port that comes or goes: the folder watch answers at
// once, the poll within a second.
constexpr int kNoticeMs = 5000;

// Time that never passes; the windows themselves never pause.
class StillClock : public Clock {
public:
    void Sleep(int /*ms*/) override {}
    [[nodiscard]] std::int64_t NowMicros() override { return 0; }
};

// Opens whatever it is told to, sends nowhere and receives nothing; or refuses to open with the
// platform error a test gives it.
class StandInPort : public TCustomComPort {
public:
    StandInPort() = default;
    int opens = 0;
    int refuseWith = 0;  // errno for the next opens; 0 opens

protected:
    void DoOpen(const std::string& /*port*/) override {
        if (refuseWith != 0) {
            throw EComPort(kErrOpen, refuseWith);
        }
        ++opens;
    }
    void DoClose() override {}
    int DoWrite(const std::uint8_t* /*buffer*/, int count) override { return count; }
    int DoRead(std::uint8_t* /*buffer*/, int /*count*/) override { return 0; }
    bool DoWaitForInput(int /*timeoutMs*/) override { return false; }
};

// /dev, /sys and the link folder of a machine whose serial ports a test decides. "COM3" and
// "COM7" are on-board UARTs (ttyS2, ttyS6) backed by /dev/null; "COM9" a USB adapter.
class PortTree {
public:
    explicit PortTree(const std::vector<int>& presentComNumbers);
    [[nodiscard]] const PortMap& Map() const { return *map_; }

private:
    QTemporaryDir dir_;
    std::unique_ptr<PortMap> map_;
};

// Clicks a control (or triggers a menu item) as the user does, then lets the command that the
// click started from a queued call run to its end.
void ClickAndRun(QWidget* control);
void TriggerAndRun(QAction* action);

// The window's image as the write and save commands build it, and an image shown in the window as
// the read and open commands show it.
[[nodiscard]] inline ConfigImage WindowImage(const form::TForm1& form) {
    return EncodeConfiguration(form.ShownConfiguration());
}
inline void ShowImage(form::TForm1& form, const ConfigImage& image) {
    form.ShowConfiguration(DecodeConfiguration(image));
}

// The program's four windows over the stand-ins, the main one shown; modal windows are recorded
// instead of run.
class FormFixture {
public:
    explicit FormFixture(const std::vector<int>& presentComNumbers = {});

    MainWindow& Form() { return *windows_.Form1; }
    form::TForm1& Logic() { return *windows_.form1; }
    const ProgramWindows& Windows() const { return windows_; }
    // Clicks the tab of a page, as the user does.
    void ShowPage(int page);

    FakeWindowDialogs dialogs;
    StillClock clock;
    std::vector<QDialog*> shownModally;
    std::vector<QString> createdInOrder;
    StandInPort* port = nullptr;

private:
    PortTree ports_;
    ProgramWindows windows_;
};

}  // namespace zorvik::testing
