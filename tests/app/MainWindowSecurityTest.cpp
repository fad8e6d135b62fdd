// "Zmiana Hasła", the anti-theft "OK" and "Autodetekcja" in the program's windows, against the
// device model on virtual time: the line, the messages and what the windows show afterwards.
#include <gtest/gtest.h>
#include <QDialog>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include "app/MainWindow.h"
#include "app/PasswordWindow.h"
#include "sim/MemoryComPort.h"
#include "tests/app/AppTestSupport.h"
#include "tests/support/ExchangeRig.h"

namespace zorvik::testing {
namespace {

// The program's windows with the device on COM4, a silent line on COM1 and nothing else; the
// password window is shown without a loop of its own, so a test can click in it.
class SecurityWindow : public ::testing::Test {
protected:
    SecurityWindow() : ports_(std::vector<int>{1, 4}) {}

    void SetUp() override { Build({}); }

    void Build(const DeviceFaults& faults) {
        windows_ = {};
        device_ = std::make_unique<DeviceModel>(faults);
        auto line = std::make_unique<MemoryComPort>(silent_, clock, "COM1");
        port = line.get();
        port->AddPort("COM4", device_.get());
        windows_ = CreateWindows(TForm1Services{dialogs, clock, std::move(line), ports_.Map(),
                                                [](QDialog& window) { window.show(); }});
        form = windows_.Form1.get();
        form3 = windows_.Form3;
        form->show();
        form->ComPort1->SetPort("COM4");
        LogLineAndMessages(*port, dialogs, log, PortNames::Logged);
    }

    void OpenPasswordWindow() {
        ClickAndRun(form->CheckBox36);
        ASSERT_TRUE(form3->isVisible());
    }

    DeviceModel& Model() { return *device_; }

    FakeWindowDialogs dialogs;
    VirtualClock clock;
    MemoryComPort* port = nullptr;
    TForm1* form = nullptr;
    TForm3* form3 = nullptr;
    std::vector<std::string> log;

private:
    PortTree ports_;
    DeviceModel silent_{[] {
        DeviceFaults faults;
        faults.noBanner = true;
        return faults;
    }()};
    std::unique_ptr<DeviceModel> device_;
    ProgramWindows windows_;
};

TEST_F(SecurityWindow, PasswordChangeReachesTheMainWindowAndSignsTheNextRead) {
    OpenPasswordWindow();
    form3->Edit1->setText(QStringLiteral("1234"));
    ClickAndRun(form3->Button1);

    EXPECT_EQ(log,
              (std::vector<std::string>{"open COM4", Device("Ready"), Host({0x03}),
                                        Host(ReferenceChangeBlock("9466", "1234")), Device("O"),
                                        Shown("Hasło zostało Zmienione", "Powodzenie", 64),
                                        Host({0x41}), "close COM4"}));
    EXPECT_FALSE(form3->isVisible());
    EXPECT_FALSE(form->CheckBox36->Checked());
    EXPECT_EQ(form->Edit21->text(), QStringLiteral("1234"));

    log.clear();
    ClickAndRun(form->Button2);
    ASSERT_GE(log.size(), 5u);
    EXPECT_EQ(log[3], Host(ReferenceAuthBlock("1234")));
    EXPECT_EQ(log[4], Device("O"));

    OpenPasswordWindow();
    EXPECT_EQ(form3->Edit1->text(), QStringLiteral("1234")) << "the box keeps its text";
}

TEST_F(SecurityWindow, UnchangedInitialTextIsSentAsTheNewPassword) {
    OpenPasswordWindow();
    ClickAndRun(form3->Button1);
    ASSERT_GE(log.size(), 4u);
    EXPECT_EQ(log[3], Host(ReferenceChangeBlock("9466", "9466")));
    EXPECT_EQ(form->Edit21->text(), QStringLiteral("9466"));
}

TEST_F(SecurityWindow, ReadyFailureKeepsThePasswordWindowOpenAndTheBoxChecked) {
    DeviceFaults noBanner;
    noBanner.noBanner = true;
    Build(noBanner);
    OpenPasswordWindow();
    ClickAndRun(form3->Button1);

    EXPECT_EQ(log, (std::vector<std::string>{
                       "open COM4", Shown("Urządzenie nie odpowiada", "Błąd", 16), "close COM4"}));
    EXPECT_TRUE(form3->isVisible());
    EXPECT_TRUE(form->CheckBox36->Checked());
}

TEST_F(SecurityWindow, RefusedPasswordClosesTheWindowAndKeepsTheOldPassword) {
    Model().SetAccessPassword(u"0000");
    OpenPasswordWindow();
    form3->Edit1->setText(QStringLiteral("1234"));
    ClickAndRun(form3->Button1);

    ASSERT_GE(log.size(), 3u);
    EXPECT_EQ(
        std::vector<std::string>(log.end() - 3, log.end()),
        (std::vector<std::string>{Shown("Błędne Hasło", "Error", 16), Host({0x41}), "close COM4"}));
    EXPECT_FALSE(form3->isVisible());
    EXPECT_FALSE(form->CheckBox36->Checked());
    EXPECT_EQ(form->Edit21->text(), QStringLiteral("9466"));
}

TEST_F(SecurityWindow, ShortCurrentPasswordIsRefusedBeforeThePortAndTheWindowStays) {
    form->Edit21->setText(QStringLiteral("946"));
    OpenPasswordWindow();
    ClickAndRun(form3->Button1);

    EXPECT_EQ(log,
              (std::vector<std::string>{Shown("Hasło musi składać się z 4 znaków.", "Błąd", 16)}));
    EXPECT_TRUE(form3->isVisible());
    EXPECT_TRUE(form->CheckBox36->Checked());
}

TEST_F(SecurityWindow, ClosingThePasswordWindowSendsNothingAndClearsTheBox) {
    OpenPasswordWindow();
    form3->close();  // the window's own close button
    EXPECT_FALSE(form3->isVisible());
    EXPECT_FALSE(form->CheckBox36->Checked());

    OpenPasswordWindow();
    QTest::keyClick(form3, Qt::Key_Escape);
    EXPECT_FALSE(form3->isVisible());
    EXPECT_FALSE(form->CheckBox36->Checked());
    EXPECT_TRUE(log.empty());
}

TEST_F(SecurityWindow, PasswordWindowIsAToolWindowOnTopCentredOnTheMainWindow) {
    form->move(100, 80);
    OpenPasswordWindow();
    EXPECT_TRUE(form3->windowFlags().testFlag(Qt::Tool));
    EXPECT_TRUE(form3->windowFlags().testFlag(Qt::WindowStaysOnTopHint));
    EXPECT_EQ(form3->windowTitle(), QStringLiteral("Zmiana Hasła"));
    EXPECT_LE((form3->frameGeometry().center() - form->frameGeometry().center()).manhattanLength(),
              2);
    EXPECT_EQ(form3->Edit1->maxLength(), 4);
}

TEST_F(SecurityWindow, AntiTheftOkSendsThePanelAndChangesNoControl) {
    form->Edit16->setText(QStringLiteral("abcdefghij"));
    form->CheckBox28->SetState(CheckState::Checked);
    form->MaskEdit8->SetFullText(QStringLiteral("+486012345"));
    form->CheckBox33->SetState(CheckState::Checked);
    form->CheckBox34->SetState(CheckState::Checked);
    form->UpDown13->SetPosition(24);
    form->UpDown14->SetPosition(7);
    const ConfigImage before = WindowImage(*form);
    const QString telephone = form->MaskEdit8->FullText();

    ClickAndRun(form->Button3);

    Bytes expected(256, 0x00);
    const std::string fixedPart = std::string("\x80") + "abcdefghij";
    std::copy(fixedPart.begin(), fixedPart.end(), expected.begin());
    const std::string telephoneField = std::string("\x89") + "486012345___";
    std::copy(telephoneField.begin(), telephoneField.end(), expected.begin() + 21);
    expected[34] = 0x06;
    expected[35] = 24;
    expected[36] = 7;
    const auto record = Model().LastSecurityRecord();
    ASSERT_TRUE(record.has_value());
    EXPECT_EQ(Bytes(record->begin(), record->end()), expected);
    EXPECT_EQ(log.back(), "close COM4");
    EXPECT_EQ(dialogs.messages,
              (std::vector<ShownMessage>{{"Dane zostały zaktualizowane.", "Powodzenie", 64}}));
    EXPECT_EQ(WindowImage(*form), before);
    EXPECT_EQ(form->Edit16->text(), QStringLiteral("abcdefghij"));
    EXPECT_EQ(form->MaskEdit8->FullText(), telephone);
}

TEST_F(SecurityWindow, AutodetectionUnchecksItsBoxAndSelectsThePortWithTheDevice) {
    form->ComPort1->SetPort("COM1");
    ClickAndRun(form->CheckBox26);

    EXPECT_FALSE(form->CheckBox26->Checked());
    EXPECT_EQ(form->ComPort1->Port(), "COM4");
    EXPECT_EQ(form->ComComboBox1->Text(), QStringLiteral("COM4"));
    EXPECT_TRUE(dialogs.messages.empty());
    EXPECT_EQ(log, (std::vector<std::string>{"open COM1", "close COM1", "open COM4",
                                             Device("Ready"), "close COM4"}));
}

TEST_F(SecurityWindow, AutodetectionWithoutADeviceSaysSoAndLeavesTheLastPort) {
    DeviceFaults noBanner;
    noBanner.noBanner = true;
    Build(noBanner);
    form->ComPort1->SetPort("COM1");
    ClickAndRun(form->CheckBox26);

    EXPECT_FALSE(form->CheckBox26->Checked());
    EXPECT_EQ(form->ComPort1->Port(), "COM4");
    EXPECT_EQ(form->ComComboBox1->Text(), QStringLiteral("COM4"));
    EXPECT_EQ(dialogs.messages,
              (std::vector<ShownMessage>{{"Nie znaleziono urządzenia", "Błąd", 16}}));
}

}  // namespace
}  // namespace zorvik::testing
