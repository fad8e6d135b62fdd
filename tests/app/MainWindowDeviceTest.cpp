// "Oczytaj" and "Zapisz" in the main window, against the device model on virtual time: the line,
// the messages, the controls, and the window's busy state while the device is talked to.
#include <gtest/gtest.h>
#include <QApplication>
#include <QCursor>
#include <QDialog>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPushButton>
#include <QTest>
#include <cerrno>
#include <functional>

#include "app/BusyScope.h"
#include "sim/MemoryComPort.h"
#include "tests/app/AppTestSupport.h"
#include "tests/support/ExchangeRig.h"

namespace zorvik::testing {
namespace {

// Virtual time that lets a test act in the middle of a command, at one of its pauses.
class HookedClock : public VirtualClock {
public:
    void Sleep(int ms) override {
        VirtualClock::Sleep(ms);
        if (onSleep) {
            onSleep();
        }
    }
    std::function<void()> onSleep;
};

// The program's windows over a device model on an in-memory line; every event on the line and
// every message box goes into one log.
class DeviceWindow : public ::testing::Test {
protected:
    DeviceWindow() : ports_(std::vector<int>{}) {}

    void SetUp() override { Build({}); }

    // Rebuilds the windows over a device with `faults`.
    void Build(const DeviceFaults& faults) {
        windows_ = {};
        device_ = std::make_unique<DeviceModel>(faults);
        auto line = std::make_unique<MemoryComPort>(*device_, clock, "COM1");
        port = line.get();
        windows_ = CreateWindows(TForm1Services{dialogs, clock, std::move(line), ports_.Map(),
                                                [](QDialog& /*window*/) {}});
        form = windows_.Form1.get();
        form->show();
        port->AddPort(form->ComPort1->Port(), device_.get());
        LogLineAndMessages(*port, dialogs, log);
        log.clear();
    }

    DeviceModel& Model() { return *device_; }
    [[nodiscard]] ConfigImage OnScreen() { return WindowImage(*form); }

    std::vector<std::string> Head() {
        return {Opened(), Device("Ready"), Host({0x03}), Host(ReferenceAuthBlock("9466")),
                Device("O")};
    }

    static Bytes BlockOf(const ConfigImage& image) {
        Bytes block(image.begin(), image.end());
        block.push_back(ReferenceCrc8(block, 0x07));
        return block;
    }

    FakeWindowDialogs dialogs;
    HookedClock clock;
    MemoryComPort* port = nullptr;
    TForm1* form = nullptr;
    std::vector<std::string> log;

private:
    PortTree ports_;
    std::unique_ptr<DeviceModel> device_;
    ProgramWindows windows_;
};

DeviceFaults Faults(const std::function<void(DeviceFaults&)>& set) {
    DeviceFaults faults;
    set(faults);
    return faults;
}

TEST_F(DeviceWindow, ReadShowsItsMessageBeforeTheControlsTakeTheDevicesImage) {
    const ConfigImage before = OnScreen();
    const ConfigImage stored = Model().ConfigImage();
    ASSERT_NE(before, stored);
    std::vector<ConfigImage> atMessage;
    dialogs.onMessage = [&](const ShownMessage& message) {
        log.push_back(Shown(message.text, message.caption, message.flags));
        atMessage.push_back(OnScreen());
    };

    ClickAndRun(form->Button2);

    EXPECT_EQ(log, Then(Head(), {Host({0x01}), Device(BlockOf(stored)), Host({0x41}), Closed(),
                                 Shown("Dane zostały Odczytane.", "Powodzenie", 64)}));
    EXPECT_EQ(atMessage, std::vector<ConfigImage>{before});
    EXPECT_EQ(OnScreen(), stored);
    EXPECT_EQ(form->MaskEdit1->FullText(), QStringLiteral("+48600100200_ "));
    EXPECT_EQ(form->RadioGroup1->ItemIndex(), 1);
    // Every pause went through the clock: banner poll, block pause, status poll, 52 x 1 ms.
    EXPECT_EQ(clock.TotalSleptMicros(), 250'000 + 25'000 + 25'000 + 52'000);
}

TEST_F(DeviceWindow, ReadFailuresLeaveTheControlsAsTheyWere) {
    struct Row {
        const char* name;
        DeviceFaults faults;
        ShownMessage message;
    };
    const std::vector<Row> rows = {
        {"no banner",
         Faults([](auto& f) { f.noBanner = true; }),
         {"Urządzenie nie odpowiada.", "Błąd", 16}},
        {"wrong password",
         Faults([](auto& f) { f.rejectPassword = true; }),
         {"Błędne Hasło.", "Error", 16}},
        {"no status",
         Faults([](auto& f) { f.silentStatus = true; }),
         {"Urządzenie nie odpowiada.", "Error", 16}},
        {"checksum one bit off",
         Faults([](auto& f) { f.badChecksumOnRead = true; }),
         {"Błąd danych CRC.", "Error", 16}},
        {"short block",
         Faults([](auto& f) { f.shortBlockOnRead = true; }),
         {"Błąd danych CRC.", "Error", 16}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        dialogs.messages.clear();
        Build(row.faults);
        form->UpDown5->SetPosition(3);  // an edit the read must not undo
        const ConfigImage before = OnScreen();
        ClickAndRun(form->Button2);
        EXPECT_EQ(dialogs.messages, std::vector<ShownMessage>{row.message});
        EXPECT_EQ(OnScreen(), before);
        EXPECT_FALSE(form->ComPort1->Connected());
    }
}

TEST_F(DeviceWindow, PasswordOfThreeCharactersNeverOpensThePort) {
    for (QPushButton* button : {form->Button2, form->Button1}) {
        log.clear();
        form->Edit21->setText(QStringLiteral("946"));
        ClickAndRun(button);
        EXPECT_EQ(
            log,
            (std::vector<std::string>{Shown("Hasło musi składać się z 4 znaków.", "Błąd", 16)}));
    }
    EXPECT_TRUE(port->wire.empty());
}

TEST_F(DeviceWindow, WriteSendsWhatTheWindowShowsAndClearsThePasswordChangeBox) {
    form->UpDown4->SetPosition(48);
    form->CheckBox36->SetState(CheckState::Checked);
    const ConfigImage shown = OnScreen();

    ClickAndRun(form->Button1);

    EXPECT_EQ(log, Then(Head(), {Host({0x81}), Host(BlockOf(shown)), Host({0x00}), Device("O"),
                                 Host({0xC1}), Closed(),
                                 Shown("Dane zostały Zapisane.", "Powodzenie", 64)}));
    EXPECT_EQ(Model().ConfigImage(), shown);
    EXPECT_EQ(form->CheckBox36->State(), CheckState::Unchecked);
}

TEST_F(DeviceWindow,
       WriteClearsThePasswordChangeBoxOnceThePasswordIsAcceptedEvenIfTheTransferFails) {
    struct Row {
        char reply;
        std::vector<std::string> tail;
    };
    const std::vector<Row> rows = {
        {'R', {Device("R"), Shown("Błędne Hasło.", "Error", 16), Closed()}},
        {'E', {Device("E"), Shown("Błąd danych CRC.", "Error", 16), Closed()}},
        {0, {Shown("Urządzenie nie odpowiada.", "Błąd", 16), Closed()}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.reply);
        Build(Faults([&](auto& f) { f.writeReply = row.reply; }));
        form->CheckBox36->SetState(CheckState::Checked);
        const ConfigImage shown = OnScreen();
        std::vector<CheckState> atOperationByte;
        port->onWire = [&, inner = port->onWire](const WireEvent& event) {
            inner(event);
            if (event.kind == WireEvent::Kind::HostToDevice && event.bytes == Bytes{0x81}) {
                atOperationByte.push_back(form->CheckBox36->State());
            }
        };

        ClickAndRun(form->Button1);

        EXPECT_EQ(atOperationByte, std::vector<CheckState>{CheckState::Unchecked});
        EXPECT_EQ(log,
                  Then(Head(), Then({Host({0x81}), Host(BlockOf(shown)), Host({0x00})}, row.tail)));
        EXPECT_EQ(OnScreen(), shown);
    }
}

TEST_F(DeviceWindow, WriteFramingFailuresKeepThePasswordChangeBoxAndTheDevicesImage) {
    struct Row {
        const char* name;
        DeviceFaults faults;
        ShownMessage message;
    };
    const std::vector<Row> rows = {
        {"no banner",
         Faults([](auto& f) { f.noBanner = true; }),
         {"Urządzenie nie odpowiada", "Błąd", 16}},
        {"wrong password",
         Faults([](auto& f) { f.rejectPassword = true; }),
         {"Błędne Hasło", "Błąd", 16}},
        {"no status",
         Faults([](auto& f) { f.silentStatus = true; }),
         {"Urządzenie nie odpowiada", "Błąd", 16}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        dialogs.messages.clear();
        Build(row.faults);
        form->CheckBox36->SetState(CheckState::Checked);
        const ConfigImage stored = Model().ConfigImage();
        ClickAndRun(form->Button1);
        EXPECT_EQ(dialogs.messages, std::vector<ShownMessage>{row.message});
        EXPECT_EQ(form->CheckBox36->State(), CheckState::Checked);
        EXPECT_EQ(Model().ConfigImage(), stored);
        EXPECT_EQ(log.back(), Closed());
    }
}

TEST_F(DeviceWindow, PortErrorReachesTheGeneralErrorReportAndTheNextCommandRecovers) {
    const ConfigImage before = OnScreen();
    port->FailWritesAfter(2, EIO);  // the operation byte 0x01 fails
    bool openAtReport = true;
    dialogs.onMessage = [&](const ShownMessage&) { openAtReport = form->ComPort1->Connected(); };
    ClickAndRun(form->Button2);
    dialogs.onMessage = nullptr;
    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_EQ(dialogs.messages[0].text.substr(0, dialogs.messages[0].text.find('\n')),
              "WriteFile function failed (Error: 5)");
    EXPECT_EQ(dialogs.messages[0].caption, "Zorvik GSM");
    EXPECT_FALSE(openAtReport) << "the port is released before the report shows";
    EXPECT_FALSE(form->ComPort1->Connected());
    EXPECT_EQ(OnScreen(), before);
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);

    dialogs.messages.clear();
    ClickAndRun(form->Button2);
    EXPECT_EQ(dialogs.messages,
              (std::vector<ShownMessage>{{"Dane zostały Odczytane.", "Powodzenie", 64}}));
    EXPECT_EQ(OnScreen(), Model().ConfigImage());
}

TEST_F(DeviceWindow, ClicksAndKeysDuringAnExchangeAreDroppedNotReplayed) {
    std::vector<Qt::CursorShape> cursors;
    clock.onSleep = [&] {
        cursors.push_back(QApplication::overrideCursor() != nullptr
                              ? QApplication::overrideCursor()->shape()
                              : Qt::ArrowCursor);
        if (cursors.size() != 1) {
            return;
        }
        // What the user does while the device is busy waits in the queue, as a real click would.
        const QPointF inside(5, 5);
        QCoreApplication::postEvent(
            form->Button2,
            new QMouseEvent(QEvent::MouseButtonPress, inside, form->mapToGlobal(inside),
                            Qt::LeftButton, Qt::LeftButton, Qt::NoModifier));
        QCoreApplication::postEvent(
            form->Button2,
            new QMouseEvent(QEvent::MouseButtonRelease, inside, form->mapToGlobal(inside),
                            Qt::LeftButton, Qt::NoButton, Qt::NoModifier));
        QCoreApplication::postEvent(
            form->Edit21, new QKeyEvent(QEvent::KeyPress, Qt::Key_Backspace, Qt::NoModifier));
    };

    ClickAndRun(form->Button2);
    clock.onSleep = nullptr;
    QCoreApplication::processEvents();

    EXPECT_EQ(std::count(log.begin(), log.end(), Opened()), 1);
    EXPECT_EQ(form->Edit21->text(), QStringLiteral("9466"));
    EXPECT_EQ(cursors.size(), 52U + 3U);
    EXPECT_EQ(std::count(cursors.begin(), cursors.end(), Qt::WaitCursor), 55);
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
}

TEST(BusyScope, MessageBoxShownMeanwhileTakesInputWithTheArrowCursor) {
    FormFixture fixture;
    TForm1& form = fixture.Form();
    {
        const BusyScope busy;
        QDialog box(&form);
        box.setModal(true);
        auto* answer = new QLineEdit(&box);
        box.show();
        QTest::keyClicks(answer, QStringLiteral("ok"));
        EXPECT_EQ(answer->text(), QStringLiteral("ok"));
        ASSERT_NE(QApplication::overrideCursor(), nullptr);
        EXPECT_EQ(QApplication::overrideCursor()->shape(), Qt::ArrowCursor);

        box.hide();
        EXPECT_EQ(QApplication::overrideCursor()->shape(), Qt::WaitCursor);
        QTest::keyClicks(form.Edit21, QStringLiteral("1"));
        EXPECT_EQ(form.Edit21->text(), QStringLiteral("9466"));
    }
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
    form.Edit21->clear();
    QTest::keyClicks(form.Edit21, QStringLiteral("12"));
    EXPECT_EQ(form.Edit21->text(), QStringLiteral("12"));
}

TEST(BusyScope, WindowThatClosesItselfStillCloses) {
    FormFixture fixture;
    QDialog window(&fixture.Form());
    window.show();
    {
        const BusyScope busy;
        EXPECT_TRUE(window.close());
    }
    EXPECT_FALSE(window.isVisible());
}

}  // namespace
}  // namespace zorvik::testing
