// A port error at each step of every command, in the program's windows on virtual time: the port is
// released before the error report shows, the busy cursor and the progress bar are gone, and the
// window goes on working.
#include <gtest/gtest.h>
#include <QApplication>
#include <QCheckBox>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTest>
#include <cerrno>
#include <functional>

#include "app/FirmwareWindow.h"
#include "app/MainWindow.h"
#include "app/PasswordWindow.h"
#include "sim/MemoryComPort.h"
#include "tests/app/AppTestSupport.h"
#include "tests/support/ExchangeRig.h"
#include "tests/support/TempFolder.h"

namespace zorvik::testing {
namespace {

std::string FirstLine(const std::string& text) {
    return text.substr(0, text.find('\n'));
}

// The program's windows with the device on COM4.
class FailingLine : public ::testing::Test {
public:
    FailingLine() : ports_(std::vector<int>{4}) {}

    void SetUp() override {
        ASSERT_TRUE(folder_.IsValid());
        auto line = std::make_unique<MemoryComPort>(device_, clock, "COM4");
        port = line.get();
        windows_ = CreateWindows(ProgramServices{dialogs, clock, std::move(line), ports_.Map(),
                                                 [](QDialog& window) { window.show(); }});
        form = windows_.Form1.get();
        form->show();
        form->Form().ComPort1->SetPort("COM4");
    }

    // Three records, chosen in the firmware window.
    void ChooseFirmware() {
        dialogs.openNames.push_back(folder_.Write("three.bin", Pattern(3 * 257)));
        windows_.form2->Otwrz1Click();
    }

    FakeWindowDialogs dialogs;
    VirtualClock clock;
    MemoryComPort* port = nullptr;
    MainWindow* form = nullptr;
    DeviceModel device_;
    ProgramWindows windows_;

private:
    PortTree ports_;
    TempFolder folder_;
};

struct FailureRow {
    const char* name;
    bool writes;  // a write fails (code 2), else a read (code 3)
    int after;    // successful calls before the failure
    std::function<void(FailingLine&)> command;
    int bannerDelayMs = 0;  // a late banner keeps the command in the banner wait
};

void Read(FailingLine& t) {
    ClickAndRun(t.form->Widget<QPushButton>("Button2"));
}
void Write(FailingLine& t) {
    ClickAndRun(t.form->Widget<QPushButton>("Button1"));
}
void Security(FailingLine& t) {
    t.form->Widget<TEdit>("Edit16")->setText(QStringLiteral("abcdefghij"));
    ClickAndRun(t.form->Widget<QPushButton>("Button3"));
}
void PasswordChange(FailingLine& t) {
    ClickAndRun(t.form->Widget<TCheckBox>("CheckBox36"));
    t.windows_.Form3->Widget<TEdit>("Edit1")->setText(QStringLiteral("1234"));
    ClickAndRun(t.windows_.Form3->Widget<QPushButton>("Button1"));
}
void Firmware(FailingLine& t) {
    t.ChooseFirmware();
    t.windows_.Form2->Widget<TCheckBox>("CheckBox1")->SetState(CheckState::Checked);
    t.windows_.form2->Button1Click();
}

// Reads: the banner poll that finds "Ready" is the first (a banner 600 ms late leaves the first
// two polls empty), the status reply the second, the block the third. Writes: 0x03, the
// authentication block, then the command's own. A failure set before the port opens lasts.
std::vector<FailureRow> Rows() {
    // Firmware writes: 0x00, then 256 page bytes, the 257th and the continuation byte per record.
    constexpr int kRecordWrites = 258;
    return {
        {"read, banner wait", false, 1, Read, 600},
        {"read, status wait", false, 1, Read},
        {"read, transfer", false, 2, Read},
        {"write, banner wait", false, 1, Write, 600},
        {"write, status wait", false, 1, Write},
        {"write, transfer", true, 3, Write},
        {"write, transfer status wait", false, 2, Write},
        {"security record, transfer", true, 3, Security},
        {"security record, transfer status wait", false, 2, Security},
        {"password change, status wait", false, 1, PasswordChange},
        {"firmware, programming page 1", true, 1 + kRecordWrites + 128, Firmware},
        {"firmware, verification page 1", true, 1 + 3 * kRecordWrites + 2, Firmware},
    };
}

TEST_F(FailingLine, APortErrorAtAnyStepReleasesThePortClearsTheBusyStateAndTheNextCommandWorks) {
    for (const FailureRow& row : Rows()) {
        SCOPED_TRACE(row.name);
        dialogs.messages.clear();
        device_.Faults().bannerDelayMs = row.bannerDelayMs;
        if (row.writes) {
            port->FailWritesAfter(row.after, EIO);
        } else {
            port->FailReadsAfter(row.after, EIO);
        }
        bool openAtReport = true;
        bool busyAtReport = true;
        dialogs.onMessage = [&](const ShownMessage&) {
            openAtReport = form->Form().ComPort1->Connected();
            busyAtReport = QApplication::overrideCursor() != nullptr;
        };
        row.command(*this);
        dialogs.onMessage = nullptr;

        ASSERT_EQ(dialogs.messages.size(), 1u);
        const ShownMessage& report = dialogs.messages[0];
        EXPECT_EQ(FirstLine(report.text), row.writes ? "WriteFile function failed (Error: 5)"
                                                     : "ReadFile function failed (Error: 5)");
        EXPECT_NE(report.text.find("przerwane"), std::string::npos) << "the cause, in Polish";
        // Cut short while programming, the device is left without whole firmware: said last.
        EXPECT_EQ(report.text.ends_with("zaprogramuj urządzenie ponownie."),
                  std::string(row.name) == "firmware, programming page 1")
            << report.text;
        EXPECT_EQ(report.caption, "Zorvik GSM");
        EXPECT_FALSE(openAtReport) << "released before the report";
        EXPECT_FALSE(busyAtReport);
        EXPECT_FALSE(form->Form().ComPort1->Connected());
        EXPECT_EQ(QApplication::overrideCursor(), nullptr);
        EXPECT_TRUE(windows_.Form2->Widget<QProgressBar>("ProgressBar1")->isHidden());
        windows_.Form2->hide();
        windows_.Form3->hide();

        // The device is back (the failures end with the next open): the next read works. A
        // password change cut short may have reached the device; this one has the old password.
        device_.Faults().bannerDelayMs = 0;
        device_.SetAccessPassword(u"9466");
        dialogs.messages.clear();
        Read(*this);
        ASSERT_EQ(dialogs.messages.size(), 1u);
        EXPECT_EQ(dialogs.messages[0].text, "Dane zostały Odczytane.");
    }
}

}  // namespace
}  // namespace zorvik::testing
