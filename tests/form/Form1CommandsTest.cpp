// The main window's frame and device commands over fakes: the close question, the windows the
// menus show, and "Oczytaj", "Zapisz" and the anti-theft "OK" against the device model on
// virtual time.
#include <gtest/gtest.h>

#include <cerrno>

#include "tests/support/ExchangeRig.h"
#include "tests/support/Form1Fixture.h"

namespace zorvik::testing {
namespace {

TEST(Frame, CloseQuestionAndExitTakeTheUsersAnswer) {
    for (const int answer : {kIdNo, kIdYes}) {
        Form1Fixture fixture;
        int closed = 0;
        fixture.form->SetCloser([&] { ++closed; });
        fixture.dialogs.answers = {answer};
        EXPECT_EQ(fixture.form->FormCloseQuery(), answer == kIdYes);
        EXPECT_EQ(fixture.dialogs.messages,
                  (std::vector<ShownMessage>{
                      {"Czy na pewno chcesz zakończyć działanie programu?", "Pytanie", 36}}));
        fixture.form->Wyjcie1.UserClick();
        EXPECT_EQ(closed, 1) << "the face asks the question before it closes";
    }
}

TEST(Frame, MenusAndThePasswordBoxShowTheirWindowsModally) {
    Form1Fixture fixture;
    form::TForm1& f = *fixture.form;
    f.Info1.UserClick();
    f.Aktualizacja.UserClick();
    f.CheckBox36.UserClick();
    f.CheckBox36.UserClick();  // unchecking shows nothing
    EXPECT_EQ(fixture.windows.shown, (std::vector<const form::TForm*>{
                                         &fixture.about, &fixture.firmware, &fixture.password}));
}

TEST(Frame, ThePortThePortSelectorPicksNamesThePortAndWithoutPortsItStaysComTen) {
    Form1Fixture fixture;
#ifndef _WIN32
    // Windows' port map is the system's own, whose ports (Wine's COM1) the start would find.
    EXPECT_EQ(fixture.startPort, "COM10");
    EXPECT_EQ(fixture.form->ComComboBox1.Text(), "");
#endif
    fixture.form->ComComboBox1.SetPorts({"COM1", "COM2"});
    fixture.form->ComComboBox1.UserSelect(1);
    EXPECT_EQ(fixture.form->ComPort1->Port(), "COM2");
}

// The window over the device model on COM1, every event on the line and every message in one log.
struct DeviceCommands : ::testing::Test {
    explicit DeviceCommands(DeviceFaults faults = {}) { Build(faults); }
    void Build(const DeviceFaults& faults) {
        fixture = std::make_unique<Form1Fixture>(Form1Fixture::NoPorts(), faults);
        f = fixture->form.get();
        LogLineAndMessages(*fixture->line, fixture->dialogs, log);
    }
    [[nodiscard]] std::vector<std::string> Head() const {
        return {Opened(), Device("Ready"), Host({0x03}), Host(ReferenceAuthBlock("9466")),
                Device("O")};
    }
    static Bytes BlockOf(const ConfigImage& image) {
        Bytes block(image.begin(), image.end());
        block.push_back(ReferenceCrc8(block, 0x07));
        return block;
    }
    [[nodiscard]] std::vector<ShownMessage>& Messages() const { return fixture->dialogs.messages; }

    std::unique_ptr<Form1Fixture> fixture;
    form::TForm1* f = nullptr;
    std::vector<std::string> log;
};

TEST_F(DeviceCommands, ReadShowsItsMessageBeforeTheControlsTakeTheDevicesImage) {
    const ConfigImage before = fixture->Image();
    const ConfigImage stored = fixture->device.ConfigImage();
    ASSERT_NE(before, stored);
    std::vector<ConfigImage> atMessage;
    fixture->dialogs.onMessage = [&](const ShownMessage& message) {
        log.push_back(Shown(message.text, message.caption, message.flags));
        atMessage.push_back(fixture->Image());
    };
    f->Button2.UserClick();
    EXPECT_EQ(log, Then(Head(), {Host({0x01}), Device(BlockOf(stored)), Host({0x41}), Closed(),
                                 Shown("Dane zostały Odczytane.", "Powodzenie", 64)}));
    EXPECT_EQ(atMessage, std::vector<ConfigImage>{before});
    EXPECT_EQ(fixture->Image(), stored);
    EXPECT_EQ(fixture->runner.busyRuns, 1) << "the exchange runs with the window busy";
    EXPECT_EQ(fixture->clock.TotalSleptMicros(), 250'000 + 25'000 + 25'000 + 52'000);
}

TEST_F(DeviceCommands, FailuresLeaveTheControlsAndTheDeviceAsTheyWere) {
    struct Row {
        const char* name;
        void (*fault)(DeviceFaults&);
        bool write;
        ShownMessage message;
    };
    const Row rows[] = {
        {"read, no banner",
         [](DeviceFaults& d) { d.noBanner = true; },
         false,
         {"Urządzenie nie odpowiada.", "Błąd", 16}},
        {"read, wrong password",
         [](DeviceFaults& d) { d.rejectPassword = true; },
         false,
         {"Błędne Hasło.", "Error", 16}},
        {"read, checksum",
         [](DeviceFaults& d) { d.badChecksumOnRead = true; },
         false,
         {"Błąd danych CRC.", "Error", 16}},
        {"write, no banner",
         [](DeviceFaults& d) { d.noBanner = true; },
         true,
         {"Urządzenie nie odpowiada", "Błąd", 16}},
        {"write, wrong password",
         [](DeviceFaults& d) { d.rejectPassword = true; },
         true,
         {"Błędne Hasło", "Błąd", 16}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        DeviceFaults faults;
        row.fault(faults);
        Build(faults);
        f->UpDown5.SetPosition(3);  // an edit the command must not undo
        f->CheckBox36.SetState(CheckState::Checked);
        const ConfigImage before = fixture->Image();
        const ConfigImage stored = fixture->device.ConfigImage();
        (row.write ? f->Button1 : f->Button2).UserClick();
        EXPECT_EQ(Messages(), std::vector<ShownMessage>{row.message});
        EXPECT_EQ(fixture->Image(), before);
        EXPECT_EQ(fixture->device.ConfigImage(), stored);
        EXPECT_EQ(f->CheckBox36.State(), CheckState::Checked);
        EXPECT_FALSE(f->ComPort1->Connected());
    }
}

TEST_F(DeviceCommands, PasswordOfThreeCharactersNeverOpensThePort) {
    for (const form::TButton* button : {&f->Button2, &f->Button1}) {
        log.clear();
        f->Edit21.SetText(u"946");
        button->UserClick();
        EXPECT_EQ(
            log,
            (std::vector<std::string>{Shown("Hasło musi składać się z 4 znaków.", "Błąd", 16)}));
    }
    EXPECT_TRUE(fixture->line->wire.empty());
}

TEST_F(DeviceCommands, WriteSendsWhatTheWindowShowsAndClearsThePasswordChangeBox) {
    f->UpDown4.SetPosition(48);
    f->CheckBox36.SetState(CheckState::Checked);
    const ConfigImage shown = fixture->Image();
    f->Button1.UserClick();
    EXPECT_EQ(log, Then(Head(), {Host({0x81}), Host(BlockOf(shown)), Host({0x00}), Device("O"),
                                 Host({0xC1}), Closed(),
                                 Shown("Dane zostały Zapisane.", "Powodzenie", 64)}));
    EXPECT_EQ(fixture->device.ConfigImage(), shown);
    EXPECT_EQ(f->CheckBox36.State(), CheckState::Unchecked);
}

TEST_F(DeviceCommands, PortErrorReachesTheGeneralErrorReportAndTheNextCommandRecovers) {
    const ConfigImage before = fixture->Image();
    fixture->line->FailWritesAfter(2, EIO);  // the operation byte 0x01 fails
    f->Button2.UserClick();
    ASSERT_EQ(Messages().size(), 1u);
    EXPECT_EQ(Messages()[0].text.rfind("WriteFile function failed (Error: 5)", 0), 0u);
    EXPECT_EQ(Messages()[0].caption, "Zorvik GSM");
    EXPECT_FALSE(f->ComPort1->Connected());
    EXPECT_EQ(fixture->Image(), before);

    Messages().clear();
    f->Button2.UserClick();
    EXPECT_EQ(Messages(),
              (std::vector<ShownMessage>{{"Dane zostały Odczytane.", "Powodzenie", 64}}));
    EXPECT_EQ(fixture->Image(), fixture->device.ConfigImage());
}

TEST_F(DeviceCommands, AntiTheftOkSendsThePanelAndChangesNoControl) {
    f->Edit16.SetText(u"abcdefghij");
    f->CheckBox28.SetState(CheckState::Checked);
    f->MaskEdit8.SetText(u"+486012345");
    f->CheckBox33.SetState(CheckState::Checked);
    f->CheckBox34.SetState(CheckState::Checked);
    f->UpDown13.SetPosition(24);
    f->UpDown14.SetPosition(7);
    const ConfigImage before = fixture->Image();

    f->Button3.UserClick();

    Bytes expected(256, 0x00);
    const std::string fixedPart = std::string("\x80") + "abcdefghij";
    std::copy(fixedPart.begin(), fixedPart.end(), expected.begin());
    const std::string telephoneField = std::string("\x89") + "486012345___";
    std::copy(telephoneField.begin(), telephoneField.end(), expected.begin() + 21);
    expected[34] = 0x06;
    expected[35] = 24;
    expected[36] = 7;
    const auto record = fixture->device.LastSecurityRecord();
    ASSERT_TRUE(record.has_value());
    EXPECT_EQ(Bytes(record->begin(), record->end()), expected);
    EXPECT_EQ(log.back(), Closed());
    EXPECT_EQ(Messages(),
              (std::vector<ShownMessage>{{"Dane zostały zaktualizowane.", "Powodzenie", 64}}));
    EXPECT_EQ(fixture->Image(), before);
    EXPECT_EQ(f->Edit16.Text(), u"abcdefghij");
}

}  // namespace
}  // namespace zorvik::testing
