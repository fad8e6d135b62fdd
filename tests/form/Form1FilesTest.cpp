// The main window over real files and a port tree in a scratch folder: the start-up port, port
// autodetection, and the "Plik" menu's "Otwórz" and "Zapisz" with the file label.
#include <gtest/gtest.h>

#include <filesystem>

#include "form/FormText.h"
#include "sim/DeviceModel.h"
#include "tests/support/ExchangeRig.h"
#include "tests/support/Form1Fixture.h"
#include "tests/support/TempFolder.h"

namespace zorvik::testing {
namespace {

namespace fs = std::filesystem;
using Bytes = std::vector<std::uint8_t>;

// /dev and /sys of a machine whose serial ports a test decides: COM1..COM8 are on-board UARTs
// (ttyS0..ttyS7), COM9 on USB adapters; each backed by /dev/null.
struct PortTree {
    explicit PortTree(const std::vector<int>& present) {
        const fs::path root = folder.Root();
        fs::create_directories(root / "dev");
        fs::create_directories(root / "sys/class/tty");
        for (const int n : present) {
            std::string node;
            if (n <= 8) {
                node = "ttyS" + std::to_string(n - 1);
                fs::create_directories(root / "sys/class/tty" / node);
                (void)folder.Write("sys/class/tty/" + node + "/type", {'4', '\n'});
            } else {
                node = "ttyUSB" + std::to_string(n - 9);
            }
            fs::create_symlink("/dev/null", root / "dev" / node);
        }
        map = std::make_unique<PortMap>(
            PortMap::Roots{(root / "dev").string(), (root / "sys").string(), ""});
    }
    TempFolder folder;
    std::unique_ptr<PortMap> map;
};

TEST(PortTree, StartUpTakesTheLowestPresentPortAndListsThemAll) {
    const PortTree tree({7, 3, 12});
    Form1Fixture fixture(*tree.map);
    // Sorted as every port list is, by name.
    EXPECT_EQ(fixture.startPort, "COM3");
    EXPECT_EQ(fixture.form->ComComboBox1.Text(), "COM3");
    EXPECT_EQ(fixture.form->ComComboBox1.Items(),
              (std::vector<std::string>{"COM12", "COM3", "COM7"}));
}

TEST(PortTree, AutodetectionUnchecksItsBoxAndSelectsThePortWithTheDevice) {
    for (const bool deviceAnswers : {true, false}) {
        const PortTree tree({1, 4});
        DeviceFaults silent;
        silent.noBanner = true;
        Form1Fixture fixture(*tree.map, silent);
        DeviceFaults faults;
        faults.noBanner = !deviceAnswers;
        DeviceModel device(faults);
        fixture.line->AddPort("COM4", &device);
        std::vector<std::u16string> said;
        fixture.form->OnAnnounce = [&](const form::TControl& control, const std::u16string& text) {
            EXPECT_EQ(&control, &fixture.form->ComComboBox1);
            said.push_back(text);
        };
        fixture.form->CheckBox26.UserClick();

        SCOPED_TRACE(deviceAnswers);
        EXPECT_FALSE(fixture.form->CheckBox26.Checked());
        EXPECT_EQ(fixture.form->ComPort1->Port(), "COM4");
        EXPECT_EQ(fixture.form->ComComboBox1.Text(), "COM4");
        const std::vector<ShownMessage> notFound = {{"Nie znaleziono urządzenia", "Błąd", 16}};
        EXPECT_EQ(fixture.dialogs.messages, deviceAnswers ? std::vector<ShownMessage>{} : notFound);
        EXPECT_EQ(said, deviceAnswers ? std::vector<std::u16string>{u"Port Komunikacyjny: COM4"}
                                      : std::vector<std::u16string>{});
    }
}

struct FileMenu : ::testing::Test {
    void SetUp() override { ASSERT_TRUE(folder.IsValid()); }
    void Open(const std::string& path) {
        fixture.dialogs.openNames.push_back(path);
        f.Otwrz1.UserClick();
    }
    void Save(const std::string& path) {
        fixture.dialogs.saveNames.push_back(path);
        f.Zapisz1.UserClick();
    }
    [[nodiscard]] Bytes Encoded() const {
        const ConfigImage image = fixture.Image();
        return Bytes(image.begin(), image.end());
    }
    static Bytes Sample() {
        const ConfigImage image = DefaultDeviceImage();
        return Bytes(image.begin(), image.end());
    }
    void ExpectLabel(const std::string& text, const std::string& hint) const {
        EXPECT_EQ(Utf8(f.Label45.Caption()), text);
        EXPECT_EQ(Utf8(f.Label45.Hint()), hint);
        EXPECT_EQ(f.FileLabelWidth(), 240);
    }
    std::vector<ShownMessage>& Messages() { return fixture.dialogs.messages; }

    TempFolder folder;
    Form1Fixture fixture;
    form::TForm1& f = *fixture.form;
};

TEST_F(FileMenu, OpenDecodesTheFirst256BytesAndNamesTheFileInTheLabel) {
    for (const std::size_t size : {256u, 2048u}) {
        Bytes bytes = Pattern(size);
        Bytes image = Sample();
        image[129] = static_cast<std::uint8_t>(size % 100);
        std::copy(image.begin(), image.end(), bytes.begin());
        const std::string path = folder.Write("size" + std::to_string(size) + ".zvk", bytes);
        Open(path);
        EXPECT_EQ(Encoded(), image) << size;
        ExpectLabel(path, path);
    }
    EXPECT_TRUE(Messages().empty());
    EXPECT_EQ(fixture.dialogs.openRequests[0].filter, "Config_File  *.zvk|*.zvk");
}

TEST_F(FileMenu, RefusalsAndFailuresKeepTheControlsAndSayWhy) {
    const std::string first = folder.Write("first.zvk", Sample());
    Open(first);
    const Bytes before = Encoded();
    // {file, message, the label's text afterwards; the hint names the file tried when it changes}
    const std::string big = folder.Write("big.zvk", Pattern(2049));
    struct Row {
        std::string path;
        ShownMessage message;
        std::string label;
        std::string hint;
    };
    const Row rows[] = {
        {folder.Write("short.zvk", Pattern(255)),
         {"Read beyond end of file", "Zorvik GSM", 16},
         first,
         first},
        {folder.PathOf("missing.zvk"),
         {"No such file or directory", "Zorvik GSM", 16},
         first,
         first},
        {big, {"Plik jest za duży", "Błąd", 16}, " ", big},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.path);
        Messages().clear();
        Open(row.path);
        ASSERT_EQ(Messages().size(), 1u);
        EXPECT_EQ(Messages()[0].text.rfind(row.message.text, 0), 0u) << Messages()[0].text;
        EXPECT_EQ(Messages()[0].caption, row.message.caption);
        EXPECT_EQ(Encoded(), before);
        ExpectLabel(row.label, row.hint);
    }
}

TEST_F(FileMenu, CancelledDialogsChangeNothing) {
    const Bytes before = Encoded();
    f.Otwrz1.UserClick();
    f.Zapisz1.UserClick();
    ASSERT_EQ(fixture.dialogs.saveRequests.size(), 1u);
    EXPECT_EQ(fixture.dialogs.saveRequests[0].filter, "Config_File *.zvk|*.zvk");
    EXPECT_EQ(fixture.dialogs.saveRequests[0].defaultExt, "zvk");
    EXPECT_TRUE(fixture.dialogs.saveRequests[0].confirmOverwrite);
    EXPECT_EQ(Encoded(), before);
    EXPECT_EQ(f.Label45.Caption(), u"");
    EXPECT_EQ(f.FileLabelWidth(), 0);
    EXPECT_TRUE(folder.Entries().empty());
}

TEST_F(FileMenu, SaveWritesExactlyTheEncodedImageAndOpensBackTheSame) {
    f.CheckBox7.UserClick();
    f.MaskEdit6.Type(u"0042", 0, 0);
    const std::string first = folder.PathOf("first.zvk");
    Save(first);
    const Bytes saved = TempFolder::Read(first);
    EXPECT_EQ(saved, Encoded());
    EXPECT_EQ(saved[105], 0x84);
    EXPECT_EQ(f.Label45.Caption(), u"") << "saving leaves the label";
    Open(first);
    Save(folder.PathOf("second.zvk"));
    EXPECT_EQ(TempFolder::Read(folder.PathOf("second.zvk")), saved);

    Save(folder.PathOf("no/such.zvk"));
    ASSERT_EQ(Messages().size(), 1u);
    EXPECT_EQ(Messages()[0].text.rfind("No such file or directory", 0), 0u);
}

TEST_F(FileMenu, AFileNamedOnTheCommandLineIsTakenFromTheCurrentFolder) {
    const std::string path = folder.Write("site.zvk", Sample());
    const fs::path saved = fs::current_path();
    fs::current_path(folder.Root());
    f.OpenFile("site.zvk");
    fs::current_path(saved);
    EXPECT_EQ(Encoded(), Sample());
    ExpectLabel(fs::path(path).string(), path);
    EXPECT_TRUE(Messages().empty());
}

}  // namespace
}  // namespace zorvik::testing
