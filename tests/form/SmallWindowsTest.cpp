// The firmware, password and about windows without a toolkit, over the device model on virtual
// time: what the line carries, the messages shown and what the controls show afterwards.
#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "form/ErrorReport.h"
#include "form/Form2.h"
#include "form/Form3.h"
#include "form/Form4.h"
#include "form/FormText.h"
#include "tests/support/ExchangeRig.h"
#include "tests/support/FakeWindowDialogs.h"
#include "tests/support/Form1Fixture.h"

namespace zorvik::testing {
namespace {

using form::TForm2;
using form::TForm3;
using form::TForm4;

// `records` firmware records of 257 bytes that tell one position from another.
Bytes Records(int records) {
    Bytes bytes(static_cast<std::size_t>(records) * 257);
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        bytes[i] = static_cast<std::uint8_t>(i * 7 + 13);
    }
    return bytes;
}

// A scratch folder for firmware files, on every platform the tests run on.
class ScratchFolder {
public:
    ScratchFolder()
        : root_(std::filesystem::temp_directory_path() /
                ("zorvik-form-" + std::to_string(reinterpret_cast<std::uintptr_t>(this)))) {
        std::filesystem::create_directories(root_);
    }
    ~ScratchFolder() { std::filesystem::remove_all(root_); }
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;

    [[nodiscard]] std::string Path(const std::string& name) const {
        return (root_ / name).string();
    }
    std::string Write(const std::string& name, const Bytes& bytes) const {
        std::ofstream(Path(name), std::ios::binary)
            .write(reinterpret_cast<const char*>(bytes.data()),
                   static_cast<std::streamsize>(bytes.size()));
        return Path(name);
    }

private:
    std::filesystem::path root_;
};

struct FirmwareRig {
    explicit FirmwareRig(DeviceFaults faults = {})
        : device(faults),
          port(device, clock),
          form({port, clock, dialogs, runner, [this] { ++paints; }}) {
        form.SetCloser([this] { ++closes; });
    }

    std::string Choose(const std::string& name, const Bytes& bytes) {
        const std::string path = folder.Write(name, bytes);
        dialogs.openNames.push_back(path);
        form.Otwrz1.UserClick();
        return path;
    }

    VirtualClock clock;
    DeviceModel device;
    MemoryComPort port;
    FakeWindowDialogs dialogs;
    CountingRunner runner{dialogs};
    ScratchFolder folder;
    int paints = 0;
    int closes = 0;
    TForm2 form;
};

TEST(FirmwareWindow, StartsWithNoFileVerificationOnResetOffAndTheBarHidden) {
    FirmwareRig rig;
    EXPECT_EQ(rig.form.Label1.Caption(), u" ");
    EXPECT_EQ(rig.form.Label1.Hint(), u" ");
    EXPECT_EQ(rig.form.Label3.Caption(), u"");
    EXPECT_TRUE(rig.form.CheckBox1.Checked());
    EXPECT_FALSE(rig.form.CheckBox2.Checked());
    EXPECT_FALSE(rig.form.ProgressBar1.Visible());
    EXPECT_EQ(rig.form.OpenDialog1.filter, "BinaryFile   *.bin|*.bin");
    EXPECT_EQ(rig.form.OpenDialog1.defaultExt, "bin");
}

TEST(FirmwareWindow, ChoosesAFileOfWholeRecordsUpTo61680BytesAndRefusesOthers) {
    struct Row {
        std::size_t size;
        const char* refusal;  // nullptr: chosen
    };
    for (const Row& row :
         {Row{61680, nullptr}, Row{257, nullptr}, Row{61681, "Plik jest za duży"},
          Row{258, "Nieprawidłowy rozmiar pliku"}, Row{0, "Nieprawidłowy rozmiar pliku"}}) {
        FirmwareRig rig;
        rig.Choose("earlier.bin", Records(1));
        Bytes bytes(row.size, 0x11);
        const std::string path = rig.Choose("chosen.bin", bytes);
        const std::u16string shown = row.refusal == nullptr ? Utf16(path) : u" ";
        EXPECT_EQ(rig.form.Label1.Caption(), shown) << row.size;
        EXPECT_EQ(rig.form.Label1.Hint(), shown) << row.size;
        EXPECT_EQ(rig.form.FileName(), row.refusal == nullptr ? path : "") << row.size;
        if (row.refusal == nullptr) {
            EXPECT_TRUE(rig.dialogs.messages.empty());
            EXPECT_EQ(rig.form.Label3.Caption(), Utf16(std::to_string(row.size) + "B"));
            continue;
        }
        EXPECT_EQ(rig.dialogs.messages, (std::vector<ShownMessage>{{row.refusal, "Błąd", 16}}));
        EXPECT_EQ(rig.form.Label3.Caption(), u" ");
        rig.form.Button1.UserClick();
        EXPECT_EQ(rig.dialogs.messages.back(), (ShownMessage{"Nie wybrano pliku", "Błąd", 16}));
        EXPECT_TRUE(rig.port.HostBytes().empty()) << "the port is not touched";
    }
}

TEST(FirmwareWindow, CancellingOrAnUnreadableFileLeavesTheChosenFileAsItWas) {
    FirmwareRig rig;
    const std::string path = rig.Choose("ok.bin", Records(3));
    rig.dialogs.openNames.push_back(std::nullopt);
    rig.form.Otwrz1Click();
    rig.dialogs.openNames.push_back(rig.folder.Path("missing.bin"));
    rig.form.Otwrz1Click();

    ASSERT_EQ(rig.dialogs.messages.size(), 1u) << "the missing file, in the general error report";
    EXPECT_EQ(rig.dialogs.messages[0].caption, "Zorvik GSM");
    EXPECT_EQ(rig.dialogs.messages[0].flags, 16);
    EXPECT_EQ(rig.form.Label1.Caption(), Utf16(path));
    EXPECT_EQ(rig.form.Label1.Hint(), Utf16(path));
    EXPECT_EQ(rig.form.Label3.Caption(), u"771B");
    EXPECT_EQ(rig.form.FileName(), path);
}

TEST(FirmwareWindow, ProgramujRunsTheUpdateBusyAndShowsTheBarOnlyDuringIt) {
    FirmwareRig rig;
    rig.form.CheckBox2.UserClick();
    rig.Choose("two.bin", Records(2));
    bool shownDuringPage = false;
    int maximumDuringPage = 0;
    int positionAtEnd = -1;
    rig.port.onWire = [&](const WireEvent& event) {
        if (event.kind != WireEvent::Kind::HostToDevice) {
            return;
        }
        if (rig.port.HostBytes().size() == 2) {  // the first page byte
            shownDuringPage = rig.form.ProgressBar1.Visible();
            maximumDuringPage = rig.form.ProgressBar1.Max();
        }
        if (event.bytes == Bytes{0x4F}) {
            positionAtEnd = rig.form.ProgressBar1.Position();
        }
    };
    rig.form.Button1.UserClick();

    EXPECT_EQ(rig.runner.busyRuns, 1);
    EXPECT_TRUE(rig.dialogs.messages.empty());
    EXPECT_TRUE(shownDuringPage);
    EXPECT_EQ(maximumDuringPage, 514);
    EXPECT_EQ(positionAtEnd, 514) << "verification runs past the end and the bar stops there";
    EXPECT_FALSE(rig.form.ProgressBar1.Visible());
    EXPECT_GT(rig.paints, 0) << "the face repaints while the device is waited for";
    EXPECT_FALSE(rig.port.Connected());
    EXPECT_TRUE(rig.device.ResetRequested());
    EXPECT_EQ(Bytes(rig.device.Flash().begin(), rig.device.Flash().begin() + 514), Records(2));
}

TEST(FirmwareWindow, TheCheckBoxesDecideTheClosingBytes) {
    struct Row {
        bool verify;
        bool reset;
        Bytes last;
    };
    for (const Row& row : {Row{false, true, {0x02, 0x02}}, Row{true, true, {0x4F, 0x02}},
                           Row{true, false, {0x4F}}, Row{false, false, {0x02}}}) {
        FirmwareRig rig;
        rig.form.CheckBox1.SetChecked(row.verify);
        rig.form.CheckBox2.SetChecked(row.reset);
        rig.Choose("one.bin", Records(1));
        rig.form.Button1Click();
        const Bytes host = rig.port.HostBytes();
        ASSERT_GE(host.size(), row.last.size());
        EXPECT_EQ(Bytes(host.end() - static_cast<std::ptrdiff_t>(row.last.size()), host.end()),
                  row.last)
            << row.verify << row.reset;
        EXPECT_EQ(rig.device.ResetRequested(), row.reset);
    }
}

TEST(FirmwareWindow, AFailedExchangeKeepsTheFileChosenForAnotherTry) {
    DeviceFaults faults;
    faults.firmwareRejectCommand = true;
    FirmwareRig rig(faults);
    const std::string path = rig.Choose("one.bin", Records(1));
    rig.form.Button1Click();
    EXPECT_EQ(rig.dialogs.messages,
              (std::vector<ShownMessage>{{"Błąd programowania", "Błąd", 16}}));
    EXPECT_EQ(rig.form.FileName(), path);

    rig.device.Faults().firmwareRejectCommand = false;
    rig.form.Button1Click();
    EXPECT_EQ(rig.dialogs.messages.size(), 1u);
    EXPECT_EQ(rig.device.ProgrammedPages(), 1);
}

TEST(FirmwareWindow, APortErrorDuringProgrammingIsReportedWithTheIncompleteFirmware) {
    FirmwareRig rig;
    rig.Choose("one.bin", Records(1));
    rig.port.FailWritesAfter(10, 5);
    rig.form.Button1Click();
    ASSERT_EQ(rig.dialogs.messages.size(), 1u);
    const std::string& text = rig.dialogs.messages[0].text;
    EXPECT_EQ(text.substr(0, text.find('\n')), "WriteFile function failed (Error: 5)");
    EXPECT_EQ(text.substr(text.rfind('\n') + 1),
              "Oprogramowanie urządzenia jest niekompletne: zaprogramuj urządzenie ponownie.");
    EXPECT_EQ(rig.dialogs.messages[0].caption, "Zorvik GSM");
    EXPECT_FALSE(rig.form.ProgressBar1.Visible());
    EXPECT_FALSE(rig.port.Connected());
}

TEST(FirmwareWindow, ExitAsksTheFaceToCloseAndTheFileStaysChosen) {
    FirmwareRig rig;
    const std::string path = rig.Choose("one.bin", Records(1));
    rig.form.Wyjcie1.UserClick();
    EXPECT_EQ(rig.closes, 1);
    EXPECT_EQ(rig.form.FileName(), path);
    EXPECT_EQ(rig.form.Label3.Caption(), u"257B");
}

// The password window with the main window's part played by the rig: its access password box,
// its change box and the window's closing.
struct PasswordRig {
    explicit PasswordRig(DeviceFaults faults = {})
        : device(faults),
          port(device, clock),
          form({port,
                clock,
                dialogs,
                [this] { return accessPassword; },
                {[this](const std::u16string& next) { accessPassword = next; },
                 [this] { log.push_back("change box cleared"); }},
                runner}) {
        form.SetCloser([this] {
            log.push_back("window closed");
            form.FormClose();
        });
        LogLineAndMessages(port, dialogs, log);
    }

    VirtualClock clock;
    DeviceModel device;
    MemoryComPort port;
    FakeWindowDialogs dialogs;
    CountingRunner runner{dialogs};
    std::u16string accessPassword = u"9466";
    std::vector<std::string> log;
    TForm3 form;
};

TEST(PasswordWindow, OkRunsTheChangeAndClosesUnlessItEndedBeforeTheStatusReply) {
    const std::vector<std::string> closing = {"change box cleared", "close", "window closed",
                                              "change box cleared"};
    const auto exchange = [](const std::string& current, const std::string& next) {
        return std::vector<std::string>{"open", Device("Ready"), Host({0x03}),
                                        Host(ReferenceChangeBlock(current, next))};
    };
    struct Row {
        const char* what;
        std::u16string current;
        std::u16string typed;  // empty: the box's start text
        DeviceFaults faults;
        std::u16string devicePassword;
        std::vector<std::string> log;
        std::u16string accessAfter;
    };
    DeviceFaults noBanner;
    noBanner.noBanner = true;
    const std::vector<Row> rows = {
        {"changed",
         u"9466",
         u"1234",
         {},
         u"9466",
         Then(Then(exchange("9466", "1234"),
                   {Device("O"), Shown("Hasło zostało Zmienione", "Powodzenie", 64), Host({0x41})}),
              closing),
         u"1234"},
        {"start text sent",
         u"9466",
         u"",
         {},
         u"9466",
         Then(Then(exchange("9466", "9466"),
                   {Device("O"), Shown("Hasło zostało Zmienione", "Powodzenie", 64), Host({0x41})}),
              closing),
         u"9466"},
        {"refused",
         u"9466",
         u"1234",
         {},
         u"0000",
         Then(Then(exchange("9466", "1234"),
                   {Device("R"), Shown("Błędne Hasło", "Error", 16), Host({0x41})}),
              closing),
         u"9466"},
        {"short current",
         u"946",
         u"1234",
         {},
         u"9466",
         {Shown("Hasło musi składać się z 4 znaków.", "Błąd", 16)},
         u"946"},
        {"short new",
         u"9466",
         u"123",
         {},
         u"9466",
         {Shown("Hasło musi składać się z 4 znaków.", "Błąd", 16)},
         u"9466"},
        {"no banner",
         u"9466",
         u"1234",
         noBanner,
         u"9466",
         {"open", Shown("Urządzenie nie odpowiada", "Błąd", 16), "close"},
         u"9466"},
    };
    for (const Row& row : rows) {
        PasswordRig rig(row.faults);
        rig.device.SetAccessPassword(row.devicePassword);
        rig.accessPassword = row.current;
        if (!row.typed.empty()) {
            rig.form.Edit1.SetText(row.typed);
        }
        rig.form.Button1.UserClick();
        EXPECT_EQ(rig.log, row.log) << row.what;
        EXPECT_EQ(rig.accessPassword, row.accessAfter) << row.what;
        EXPECT_EQ(rig.runner.busyRuns, 1) << row.what;
    }
}

TEST(PasswordWindow, KeepsItsTextAndAtMostFourCharactersAndClosingClearsTheChangeBox) {
    PasswordRig rig;
    EXPECT_EQ(rig.form.Edit1.Text(), u"9466");
    rig.form.Edit1.SetText(u"123456");
    EXPECT_EQ(rig.form.Edit1.Text(), u"1234");
    rig.form.FormClose();  // the window's own close button: nothing is sent
    EXPECT_EQ(rig.log, (std::vector<std::string>{"change box cleared"}));
    EXPECT_EQ(rig.form.Edit1.Text(), u"1234");
}

TEST(AboutBox, OkAsksTheFaceToCloseAsOftenAsItIsShown) {
    TForm4 form;
    int closes = 0;
    form.SetCloser([&] { ++closes; });
    form.Button1.UserClick();
    form.Button1.UserClick();
    EXPECT_EQ(closes, 2);
    EXPECT_EQ(form.Label1.Caption(), u"Zorvik GSM  ver. 1.0.1a");
}

}  // namespace
}  // namespace zorvik::testing
