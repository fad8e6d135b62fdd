// The firmware window: choosing a file, its labels, and "Programuj" driving the device model.
#include <gtest/gtest.h>

#include <QAction>
#include <QCheckBox>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <exception>
#include <string>

#include "app/FirmwareWindow.h"
#include "files/FileError.h"
#include "sim/DeviceModel.h"
#include "sim/MemoryComPort.h"
#include "sim/VirtualClock.h"
#include "tests/support/FakeWindowDialogs.h"
#include "tests/support/FirmwareTestSupport.h"

namespace zorvik::testing {
namespace {

// Runs commands as the program does, recording what the general error report and the busy
// scope saw.
class RecordingRunner : public CommandRunner {
public:
    void Run(const Body& body) override {
        try {
            body();
        } catch (const std::exception& error) {
            // An error raised with its cause nested: the cause's text, then its own line.
            std::string text = error.what();
            try {
                std::rethrow_if_nested(error);
            } catch (const std::exception& cause) {
                text = std::string(cause.what()) + "\n" + text;
            }
            reported.push_back(text);
        }
    }
    void RunBusy(const Body& body) override {
        ++busyRuns;
        body();
    }
    std::vector<std::string> reported;
    int busyRuns = 0;
};

// The window over the device model.
struct WindowRig {
    explicit WindowRig(DeviceFaults faults = {})
        : device(faults),
          port(device, clock),
          reported(runner.reported),
          busyRuns(runner.busyRuns),
          form(TForm2Services{port, clock, dialogs, runner}) {}

    // Chooses `name` with the given content through "Otwórz".
    std::string Choose(const std::string& name, const Bytes& bytes) {
        const std::string path = folder.Write(name, bytes);
        dialogs.openNames.push_back(path);
        form.Otwrz1Click();
        return path;
    }

    VirtualClock clock;
    DeviceModel device;
    MemoryComPort port;
    FakeWindowDialogs dialogs;
    TempFolder folder;
    RecordingRunner runner;
    std::vector<std::string>& reported;
    int& busyRuns;
    TForm2 form;
};

TEST(FirmwareWindowLook, StartsWithNoFileVerificationOnResetOffAndTheBarHidden) {
    WindowRig rig;
    TForm2& form = rig.form;
    EXPECT_EQ(form.windowTitle(), QStringLiteral("Aktualizacja Firmware"));
    EXPECT_TRUE(form.windowFlags().testFlag(Qt::WindowStaysOnTopHint));
    EXPECT_EQ(form.windowFlags() & Qt::WindowType_Mask, Qt::Tool);
    const auto* client = form.findChild<QWidget*>(QStringLiteral("ClientArea"));
    ASSERT_NE(client, nullptr);
    EXPECT_EQ(client->size(), QSize(181, 143));

    EXPECT_EQ(form.Label2->text(), QStringLiteral("Rozmiar Pliku"));
    EXPECT_EQ(form.Label3->text(), QString());
    EXPECT_EQ(form.Label1->text(), QStringLiteral(" "));
    EXPECT_EQ(form.Label1->toolTip(), QStringLiteral(" "));
    EXPECT_EQ(form.CheckBox1->text(), QStringLiteral("Weryfikacja"));
    EXPECT_TRUE(form.CheckBox1->isChecked());
    EXPECT_EQ(form.CheckBox2->text(), QStringLiteral("Reset po zaprogramowaniu"));
    EXPECT_FALSE(form.CheckBox2->isChecked());
    EXPECT_EQ(form.Button1->text(), QStringLiteral("Programuj"));
    EXPECT_TRUE(form.ProgressBar1->isHidden());
    EXPECT_EQ(form.Otwrz1->text(), QStringLiteral("&Otwórz"));
    EXPECT_EQ(form.Wyjcie1->text(), QStringLiteral("&Wyjście"));
    for (const char* name : {"Label1", "Label2", "Label3", "CheckBox1", "CheckBox2", "Button1",
                             "ProgressBar1", "MainMenu1"}) {
        EXPECT_NE(form.findChild<QObject*>(QString::fromLatin1(name)), nullptr) << name;
    }
}

TEST(FirmwareFileChoice, AFileOfExactly61680BytesIsChosenAndShowsItsSize) {
    WindowRig rig;
    const std::string path = rig.Choose("full.bin", FirmwareImage(240));
    ASSERT_EQ(rig.dialogs.openRequests.size(), 1u);
    EXPECT_EQ(rig.dialogs.openRequests[0].filter, "BinaryFile   *.bin|*.bin");
    EXPECT_EQ(rig.dialogs.openRequests[0].defaultExt, "bin");
    EXPECT_TRUE(rig.dialogs.messages.empty());
    EXPECT_EQ(rig.form.Label3->text(), QStringLiteral("61680B"));
    EXPECT_EQ(rig.form.Label1->text(), QString::fromStdString(path));
    EXPECT_EQ(rig.form.Label1->toolTip(), QString::fromStdString(path));
    EXPECT_EQ(rig.form.FileName(), path);
}

TEST(FirmwareFileChoice, AFileOf61681BytesIsRefusedAndThenProgrammingHasNoFile) {
    WindowRig rig;
    rig.Choose("ok.bin", FirmwareImage(1));
    rig.Choose("big.bin", Bytes(61681, 0x11));
    EXPECT_EQ(rig.dialogs.messages, (std::vector<ShownMessage>{{"Plik jest za duży", "Błąd", 16}}));
    EXPECT_EQ(rig.form.Label1->text(), QStringLiteral(" "));
    EXPECT_EQ(rig.form.Label1->toolTip(), QStringLiteral(" "));
    EXPECT_EQ(rig.form.Label3->text(), QStringLiteral(" "));
    EXPECT_EQ(rig.form.FileName(), "");

    rig.form.Button1Click();
    EXPECT_EQ(rig.dialogs.messages.back(), (ShownMessage{"Nie wybrano pliku", "Błąd", 16}));
    EXPECT_TRUE(rig.port.wire.empty());  // the port is not touched
}

TEST(FirmwareFileChoice, AFileThatIsNotWholeRecordsIsRefusedLikeOneTooLarge) {
    WindowRig rig;
    rig.Choose("ok.bin", FirmwareImage(2));
    rig.Choose("odd.bin", Bytes(258, 0x22));
    EXPECT_EQ(rig.dialogs.messages,
              (std::vector<ShownMessage>{{"Nieprawidłowy rozmiar pliku", "Błąd", 16}}));
    EXPECT_EQ(rig.form.Label1->text(), QStringLiteral(" "));
    EXPECT_EQ(rig.form.Label3->text(), QStringLiteral(" "));
    EXPECT_EQ(rig.form.FileName(), "");
}

TEST(FirmwareFileChoice, AnEmptyFileIsRefusedAsAFileOfTheWrongSize) {
    WindowRig rig;
    rig.Choose("empty.bin", {});
    ASSERT_EQ(rig.dialogs.messages.size(), 1u);
    EXPECT_EQ(rig.dialogs.messages[0].text, "Nieprawidłowy rozmiar pliku");
    EXPECT_EQ(rig.form.Label1->text(), QStringLiteral(" "));
}

TEST(FirmwareFileChoice, CancellingOrAnUnreadableFileLeavesTheChosenFileAsItWas) {
    WindowRig rig;
    const std::string path = rig.Choose("ok.bin", FirmwareImage(3));
    const QString label = rig.form.Label1->text();

    rig.dialogs.openNames.push_back(std::nullopt);
    rig.form.Otwrz1Click();
    rig.dialogs.openNames.push_back(rig.folder.Root() + "/missing.bin");
    rig.form.Otwrz1Click();

    EXPECT_EQ(rig.reported.size(), 1u);  // the missing file, through the general error report
    EXPECT_TRUE(rig.dialogs.messages.empty());
    EXPECT_EQ(rig.form.Label1->text(), label);
    EXPECT_EQ(rig.form.Label1->toolTip(), label);
    EXPECT_EQ(rig.form.Label3->text(), QStringLiteral("771B"));
    EXPECT_EQ(rig.form.FileName(), path);
}

TEST(FirmwareWindowRun, ProgramujRunsTheUpdateWhileBusyAndShowsTheBarOnlyDuringIt) {
    WindowRig rig;
    rig.form.CheckBox2->setChecked(true);
    rig.Choose("two.bin", FirmwareImage(2));
    bool shownDuringPage = false;
    int maximumDuringPage = 0;
    int valueAtEnd = -1;
    rig.port.onWire = [&](const WireEvent& event) {
        if (event.kind != WireEvent::Kind::HostToDevice) {
            return;
        }
        if (rig.port.HostBytes().size() == 2) {  // the first page byte
            shownDuringPage = !rig.form.ProgressBar1->isHidden();
            maximumDuringPage = rig.form.ProgressBar1->maximum();
        }
        if (event.bytes == Bytes{0x4F}) {
            valueAtEnd = rig.form.ProgressBar1->value();
        }
    };
    rig.form.Button1Click();

    EXPECT_EQ(rig.busyRuns, 1);
    EXPECT_TRUE(rig.reported.empty());
    EXPECT_TRUE(rig.dialogs.messages.empty());
    EXPECT_TRUE(shownDuringPage);
    EXPECT_EQ(maximumDuringPage, 514);
    EXPECT_EQ(valueAtEnd, 514);  // verification runs past the end and the bar stops there
    EXPECT_TRUE(rig.form.ProgressBar1->isHidden());
    EXPECT_FALSE(rig.port.Connected());
    EXPECT_TRUE(rig.device.ResetRequested());
    EXPECT_EQ(Bytes(rig.device.Flash().begin(), rig.device.Flash().begin() + 514),
              FirmwareImage(2));
}

TEST(FirmwareWindowRun, TheCheckBoxesDecideTheClosingBytes) {
    WindowRig rig;
    rig.form.CheckBox1->setChecked(false);
    rig.form.CheckBox2->setChecked(true);
    rig.Choose("one.bin", FirmwareImage(1));
    rig.form.Button1Click();
    const Bytes host = rig.port.HostBytes();
    ASSERT_EQ(host.size(), 1u + 257u + 2u);
    EXPECT_EQ(host[258], 0x02);
    EXPECT_EQ(host[259], 0x02);
}

TEST(FirmwareWindowRun, AFailedExchangeKeepsTheFileChosenForAnotherTry) {
    DeviceFaults faults;
    faults.firmwareRejectCommand = true;
    WindowRig rig(faults);
    const std::string path = rig.Choose("one.bin", FirmwareImage(1));
    rig.form.Button1Click();
    EXPECT_EQ(rig.dialogs.messages,
              (std::vector<ShownMessage>{{"Błąd programowania", "Błąd", 16}}));
    EXPECT_EQ(rig.form.FileName(), path);

    rig.device.Faults().firmwareRejectCommand = false;
    rig.form.Button1Click();
    EXPECT_EQ(rig.dialogs.messages.size(), 1u);
    EXPECT_EQ(rig.device.ProgrammedPages(), 1);
}

TEST(FirmwareWindowRun, APortErrorGoesToTheGeneralErrorReportAndHidesTheBar) {
    WindowRig rig;
    rig.Choose("one.bin", FirmwareImage(1));
    rig.port.FailWritesAfter(10, 5);
    rig.form.Button1Click();
    ASSERT_EQ(rig.reported.size(), 1u);
    // Cut short during programming: the device's firmware is incomplete, and the report says so.
    EXPECT_EQ(rig.reported[0],
              "WriteFile function failed (Error: 5)\n"
              "Oprogramowanie urządzenia jest niekompletne: zaprogramuj urządzenie ponownie.");
    EXPECT_TRUE(rig.form.ProgressBar1->isHidden());
    EXPECT_FALSE(rig.port.Connected());
}

TEST(FirmwareWindowRun, ExitHidesTheWindowAndTheFileStaysChosen) {
    WindowRig rig;
    const std::string path = rig.Choose("one.bin", FirmwareImage(1));
    rig.form.show();
    ASSERT_TRUE(rig.form.isVisible());
    rig.form.Wyjcie1Click();
    EXPECT_FALSE(rig.form.isVisible());
    rig.form.show();
    EXPECT_EQ(rig.form.FileName(), path);
    EXPECT_EQ(rig.form.Label3->text(), QStringLiteral("257B"));
    rig.form.hide();
}

}  // namespace
}  // namespace zorvik::testing
