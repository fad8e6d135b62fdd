// The port folder in which zorvik-sim registers its terminal under a COM name.
#include "sim/PortFolder.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <vector>

namespace zorvik::testing {
namespace {

namespace fs = std::filesystem;

class PortFolderTest : public ::testing::Test {
protected:
    void SetUp() override {
        char pattern[] = "/tmp/zorvik-portfolder-test-XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        root_ = pattern;
        dir_ = root_ + "/ports";
        // Two files that exist, to point links at.
        target_ = root_ + "/pts-a";
        other_ = root_ + "/pts-b";
        std::ofstream(target_).put('a');
        std::ofstream(other_).put('b');
    }
    void TearDown() override { fs::remove_all(root_); }

    std::string LinkTarget(const std::string& name) const {
        return fs::read_symlink(dir_ + "/" + name).string();
    }

    std::string root_;
    std::string dir_;
    std::string target_;
    std::string other_;
};

TEST_F(PortFolderTest, FolderIsCreatedWithItsParentsAndPrivate) {
    const std::string deep = root_ + "/a/b/ports";
    EnsurePortsDir(deep);
    struct stat info {};
    ASSERT_EQ(stat(deep.c_str(), &info), 0);
    EXPECT_TRUE(S_ISDIR(info.st_mode));
    EXPECT_EQ(info.st_mode & 0777, 0700U);
    EXPECT_NO_THROW(EnsurePortsDir(deep));
}

TEST_F(PortFolderTest, AFileInTheWayIsReported) {
    std::ofstream(root_ + "/file").put('x');
    EXPECT_THROW(EnsurePortsDir(root_ + "/file/ports"), EPortFolder);
}

TEST_F(PortFolderTest, NamesAreGivenFromCom41Upwards) {
    EnsurePortsDir(dir_);
    EXPECT_EQ(RegisterPort(dir_, "", target_), "COM41");
    EXPECT_EQ(RegisterPort(dir_, "", other_), "COM42");
    EXPECT_EQ(LinkTarget("COM41"), target_);
    EXPECT_EQ(LinkTarget("COM42"), other_);
}

TEST_F(PortFolderTest, TenSimulatorsAtMost) {
    EnsurePortsDir(dir_);
    for (int number = 41; number <= 50; ++number) {
        EXPECT_EQ(RegisterPort(dir_, "", target_), "COM" + std::to_string(number));
    }
    EXPECT_THROW((void)RegisterPort(dir_, "", target_), EPortFolder);
}

TEST_F(PortFolderTest, AWantedNameThatIsTakenIsRefused) {
    EnsurePortsDir(dir_);
    EXPECT_EQ(RegisterPort(dir_, "COM7", target_), "COM7");
    EXPECT_THROW((void)RegisterPort(dir_, "COM7", other_), EPortFolder);
    EXPECT_EQ(LinkTarget("COM7"), target_);
}

TEST_F(PortFolderTest, ALinkLeftByADeadSimulatorIsReused) {
    EnsurePortsDir(dir_);
    fs::create_symlink(root_ + "/gone", dir_ + "/COM41");
    EXPECT_EQ(RegisterPort(dir_, "", target_), "COM41");
    EXPECT_EQ(LinkTarget("COM41"), target_);
}

TEST_F(PortFolderTest, UnregisteringRemovesOnlyOurOwnLink) {
    EnsurePortsDir(dir_);
    ASSERT_EQ(RegisterPort(dir_, "COM41", target_), "COM41");
    UnregisterPort(dir_, "COM41", other_);
    EXPECT_TRUE(fs::is_symlink(dir_ + "/COM41"));
    UnregisterPort(dir_, "COM41", target_);
    EXPECT_FALSE(fs::exists(fs::symlink_status(dir_ + "/COM41")));
    UnregisterPort(dir_, "COM41", target_);  // already gone: nothing happens
}

TEST_F(PortFolderTest, DefaultFolderIsUnderAnAbsoluteRuntimeDirectoryElseUnderTmp) {
    const char* saved = std::getenv("XDG_RUNTIME_DIR");
    const std::string previous = saved != nullptr ? saved : "";
    setenv("XDG_RUNTIME_DIR", root_.c_str(), 1);
    EXPECT_EQ(DefaultPortsDir(), root_ + "/zorvik-gsm/ports");
    setenv("XDG_RUNTIME_DIR", "relative/run", 1);
    EXPECT_EQ(DefaultPortsDir(), "/tmp/zorvik-gsm-" + std::to_string(getuid()) + "/ports");
    unsetenv("XDG_RUNTIME_DIR");
    EXPECT_EQ(DefaultPortsDir(), "/tmp/zorvik-gsm-" + std::to_string(getuid()) + "/ports");
    if (saved != nullptr) {
        setenv("XDG_RUNTIME_DIR", previous.c_str(), 1);
    }
}

TEST_F(PortFolderTest, LinksLeftForThisTerminalGoAndANetworkLinkIsNotTakenForStale) {
    EnsurePortsDir(dir_);
    ASSERT_EQ(symlink(target_.c_str(), (dir_ + "/COM41").c_str()), 0);
    ASSERT_EQ(symlink(other_.c_str(), (dir_ + "/COM42").c_str()), 0);
    ASSERT_EQ(symlink("rfc2217://pi.local:2217", (dir_ + "/COM43").c_str()), 0);
    ASSERT_EQ(symlink(target_.c_str(), (dir_ + "/COM44").c_str()), 0);

    EXPECT_EQ(RemoveLinksTo(dir_, target_), (std::vector<std::string>{"COM41", "COM44"}));
    EXPECT_FALSE(fs::is_symlink(dir_ + "/COM41"));
    EXPECT_EQ(LinkTarget("COM42"), other_);

    // The next free name skips the network link, which leads to no file yet is no leftover.
    EXPECT_EQ(RegisterPort(dir_, "", target_), "COM41");
    EXPECT_EQ(RegisterPort(dir_, "", target_), "COM44");
    EXPECT_EQ(LinkTarget("COM43"), "rfc2217://pi.local:2217");
}

}  // namespace
}  // namespace zorvik::testing
