// The file menu's open and save commands against real files in a scratch folder.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "app/ConfigFileMenu.h"
#include "config/Configuration.h"
#include "files/ConfigFile.h"
#include "files/FileIo.h"
#include "tests/support/FakeWindowDialogs.h"
#include "tests/support/TempFolder.h"

namespace zorvik::testing {
namespace {

namespace fs = std::filesystem;
using Bytes = std::vector<std::uint8_t>;

class ConfigFiles : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(folder_.IsValid()); }

    // Opens `path` through the command, with the label starting at "previous".
    void Open(const std::string& path) {
        dialogs_.openNames.push_back(path);
        OpenToLabel();
    }

    void OpenToLabel() {
        opened_ =
            OpenConfigFile(dialogs_, [this](const std::string& path, const std::string& text) {
                hint_ = path;
                label_ = text;
            });
    }

    void Save(const std::string& path, const ConfigImage& image) {
        dialogs_.saveNames.push_back(path);
        SaveConfigFile(dialogs_, [&image] { return image; });
    }

    // The image a file of that name would hold if the command read it, as a byte list.
    static Bytes BytesOf(const ConfigImage& image) { return Bytes(image.begin(), image.end()); }

    TempFolder folder_;
    FakeWindowDialogs dialogs_;
    const ConfigImage image_ = kUntouchedWindowImage;
    std::optional<ConfigImage> opened_;
    std::string label_ = "previous";
    std::string hint_ = "previous";
};

// An image with many settings away from their defaults.
Bytes SampleImage() {
    Configuration c;
    c.telephones[0] = {true, "48601000310"};
    c.gpsChange = {true, 500};
    c.deviceType = DeviceType::Semalto;
    c.lightTimes[1].seconds = 42;
    c.network = GsmNetwork::Roaming;
    const ConfigImage image = EncodeConfiguration(c);
    return Bytes(image.begin(), image.end());
}

TEST_F(ConfigFiles, OpenDecodesTheFirst256BytesOfFilesFrom256To2048Bytes) {
    for (const std::size_t size : {256u, 1000u, 2048u}) {
        Bytes bytes = Pattern(size);
        const Bytes image = SampleImage();
        std::copy(image.begin(), image.end(), bytes.begin());
        const std::string path = folder_.Write("size" + std::to_string(size) + ".zvk", bytes);
        Open(path);
        ASSERT_TRUE(opened_.has_value()) << size;
        EXPECT_EQ(BytesOf(*opened_), image) << size;
        EXPECT_EQ(label_, path);
        EXPECT_EQ(hint_, path);
    }
    EXPECT_TRUE(dialogs_.messages.empty());
}

TEST_F(ConfigFiles, OpenRefusesAFileOver2048BytesAndBlanksTheLabelButNotItsHint) {
    const std::string path = folder_.Write("big.zvk", Pattern(2049));
    Open(path);
    ASSERT_EQ(dialogs_.messages.size(), 1u);
    EXPECT_EQ(dialogs_.messages[0], (ShownMessage{"Plik jest za duży", "Błąd", 16}));
    EXPECT_EQ(label_, " ");
    EXPECT_EQ(hint_, path);
    EXPECT_FALSE(opened_.has_value());
}

TEST_F(ConfigFiles, OpenOfAShortFileRaisesReadBeyondEndAndChangesNothing) {
    for (const std::size_t size : {255u, 1u, 0u}) {
        const std::string path = folder_.Write("short.zvk", Pattern(size));
        try {
            Open(path);
            ADD_FAILURE() << "no error for " << size << " bytes";
        } catch (const EInOutError& error) {
            EXPECT_STREQ(error.what(), "Read beyond end of file");
        }
        EXPECT_FALSE(opened_.has_value());
        EXPECT_EQ(label_, "previous");
    }
    EXPECT_TRUE(dialogs_.messages.empty());
}

TEST_F(ConfigFiles, OpenOfAFileThatCannotBeReadRaisesTheSystemError) {
    const std::vector<std::pair<std::string, int>> cases = {
        {folder_.PathOf("missing.zvk"), ENOENT},
        {folder_.Root(), EISDIR},
    };
    for (const auto& [path, code] : cases) {
        try {
            Open(path);
            ADD_FAILURE() << "no error for " << path;
        } catch (const EInOutError& error) {
            EXPECT_EQ(error.ErrorCode(), code);
            EXPECT_EQ(std::string(error.what()), std::system_category().message(code));
        }
    }
    EXPECT_FALSE(opened_.has_value());
    EXPECT_EQ(label_, "previous");
}

TEST_F(ConfigFiles, OpenDoesNotHangOnANamedPipe) {
    const std::string path = folder_.PathOf("pipe.zvk");
    ASSERT_EQ(::mkfifo(path.c_str(), 0600), 0);
    EXPECT_THROW(Open(path), EInOutError);
    EXPECT_EQ(label_, "previous");
}

TEST_F(ConfigFiles, CancelledDialogsChangeNothing) {
    OpenToLabel();
    bool encoded = false;
    SaveConfigFile(dialogs_, [&encoded] {
        encoded = true;
        return kUntouchedWindowImage;
    });
    EXPECT_EQ(dialogs_.openRequests.size(), 1u);
    EXPECT_EQ(dialogs_.saveRequests.size(), 1u);
    EXPECT_FALSE(opened_.has_value());
    EXPECT_FALSE(encoded);
    EXPECT_EQ(label_, "previous");
    EXPECT_TRUE(folder_.Entries().empty());
}

TEST_F(ConfigFiles, DialogsUseTheProductsFiltersAndSaveOptions) {
    OpenToLabel();
    SaveConfigFile(dialogs_, [] { return kUntouchedWindowImage; });
    ASSERT_EQ(dialogs_.openRequests.size(), 1u);
    EXPECT_EQ(dialogs_.openRequests[0].filter, "Config_File  *.zvk|*.zvk");
    EXPECT_EQ(dialogs_.openRequests[0].defaultExt, "");
    EXPECT_FALSE(dialogs_.openRequests[0].confirmOverwrite);
    ASSERT_EQ(dialogs_.saveRequests.size(), 1u);
    EXPECT_EQ(dialogs_.saveRequests[0].filter, "Config_File *.zvk|*.zvk");
    EXPECT_EQ(dialogs_.saveRequests[0].defaultExt, "zvk");
    EXPECT_TRUE(dialogs_.saveRequests[0].confirmOverwrite);
}

TEST_F(ConfigFiles, SaveWritesExactlyTheEncodedImage) {
    const std::string path = folder_.PathOf("saved.zvk");
    const Bytes sample = SampleImage();
    ConfigImage image{};
    std::copy(sample.begin(), sample.end(), image.begin());
    Save(path, image);
    EXPECT_EQ(TempFolder::Read(path), sample);
    EXPECT_EQ(folder_.Entries(), std::vector<std::string>{"saved.zvk"});
    EXPECT_TRUE(dialogs_.messages.empty());
}

TEST_F(ConfigFiles, SaveReplacesALongerFileWholeAndKeepsItsPermissions) {
    const std::string path = folder_.Write("old.zvk", Pattern(2000));
    ASSERT_EQ(::chmod(path.c_str(), 0640), 0);
    Save(path, image_);
    EXPECT_EQ(TempFolder::Read(path).size(), 256u);
    struct stat info {};
    ASSERT_EQ(::stat(path.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 07777, 0640u);
    EXPECT_EQ(folder_.Entries(), std::vector<std::string>{"old.zvk"});
}

TEST_F(ConfigFiles, SaveThroughASymbolicLinkReplacesTheFileItNames) {
    const std::string target = folder_.Write("target.zvk", Pattern(300));
    const std::string link = folder_.PathOf("link.zvk");
    fs::create_symlink(target, link);
    Save(link, image_);
    EXPECT_TRUE(fs::is_symlink(link));
    EXPECT_EQ(TempFolder::Read(target).size(), 256u);
}

TEST_F(ConfigFiles, FailedSaveLeavesTheOldFileAndNoTemporaryFile) {
    const Bytes old = Pattern(300);
    const std::string path = folder_.Write("keep.zvk", old);

    {
        // The write itself fails part way.
        const FileSizeLimit limit(100);
        ASSERT_TRUE(limit.IsSet());
        try {
            Save(path, image_);
            ADD_FAILURE() << "no error";
        } catch (const EInOutError& error) {
            EXPECT_EQ(error.ErrorCode(), EFBIG);
        }
    }

    EXPECT_EQ(TempFolder::Read(path), old);
    EXPECT_EQ(folder_.Entries(), std::vector<std::string>{"keep.zvk"});
}

TEST_F(ConfigFiles, SaveOverAFolderFailsAndLeavesNothingBehind) {
    const std::string path = folder_.PathOf("folder.zvk");
    fs::create_directory(path);
    EXPECT_THROW(Save(path, image_), EInOutError);
    EXPECT_TRUE(fs::is_directory(path));
    EXPECT_EQ(folder_.Entries(), std::vector<std::string>{"folder.zvk"});
}

TEST_F(ConfigFiles, SaveIntoAMissingFolderRaisesTheSystemError) {
    try {
        Save(folder_.PathOf("no/such.zvk"), image_);
        ADD_FAILURE() << "no error";
    } catch (const EInOutError& error) {
        EXPECT_EQ(error.ErrorCode(), ENOENT);
    }
    EXPECT_TRUE(folder_.Entries().empty());
}

TEST_F(ConfigFiles, SaveOpenSaveGivesIdenticalFiles) {
    const std::string first = folder_.PathOf("first.zvk");
    const std::string second = folder_.PathOf("second.zvk");
    // Through the value, as the window and the command line save what they opened.
    const auto reopened = [this] { return EncodeConfiguration(DecodeConfiguration(*opened_)); };
    Save(first, kUntouchedWindowImage);
    Open(first);
    Save(second, reopened());
    EXPECT_EQ(TempFolder::Read(first), TempFolder::Read(second));
    EXPECT_EQ(TempFolder::Read(first).size(), 256u);

    const std::string sample = folder_.Write("sample.zvk", SampleImage());
    Open(sample);
    Save(second, reopened());
    EXPECT_EQ(TempFolder::Read(second), SampleImage());
}

}  // namespace
}  // namespace zorvik::testing
