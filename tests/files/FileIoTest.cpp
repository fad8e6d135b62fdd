// Saving where a replacement is not possible or would lose something: modes, owners, hard links,
// folders that take no new file, and a write in place that fails part way.
#include "files/FileIo.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <functional>
#include <iterator>
#include <string>

#include "tests/support/TempFolder.h"

namespace zorvik::testing {
namespace {

namespace fs = std::filesystem;
using Bytes = std::vector<std::uint8_t>;

constexpr uid_t kOtherUser = 65534;  // "nobody", owns files that are not ours
constexpr gid_t kOtherGroup = 65534;

struct stat StatOf(const std::string& path) {
    struct stat info {};
    EXPECT_EQ(::stat(path.c_str(), &info), 0) << path;
    return info;
}

// Runs `body` as a user who may write the file but not its folder: as "nobody" in a child process
// when the tests run as root (root writes any folder), as this user otherwise. Gives the body's
// verdict (true: it did what it should).
bool AsOrdinaryUser(const std::function<bool()>& body) {
    if (::geteuid() != 0) {
        return body();
    }
    const pid_t child = ::fork();
    if (child == 0) {
        const bool ok = ::setgid(kOtherGroup) == 0 && ::setuid(kOtherUser) == 0 && body();
        ::_exit(ok ? 0 : 1);
    }
    int status = 0;
    return child > 0 && ::waitpid(child, &status, 0) == child && WIFEXITED(status) &&
           WEXITSTATUS(status) == 0;
}

class Saving : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(folder_.IsValid()); }

    TempFolder folder_;
    const Bytes image_ = Pattern(256);
};

TEST_F(Saving, ANewFileIsTheOwnersAloneAndAnExistingOneKeepsItsMode) {
    const std::string fresh = folder_.PathOf("new.zvk");
    ReplaceFileContents(fresh, image_);
    EXPECT_EQ(StatOf(fresh).st_mode & 07777, 0600u) << "it holds the SIM PIN";

    const std::string shared = folder_.Write("shared.zvk", Pattern(300));
    ASSERT_EQ(::chmod(shared.c_str(), 0664), 0);
    ReplaceFileContents(shared, image_);
    EXPECT_EQ(StatOf(shared).st_mode & 07777, 0664u);
    EXPECT_EQ(TempFolder::Read(shared), image_);
}

TEST_F(Saving, TheFileKeepsItsOwnerAndGroupWhereTheUserMaySetThem) {
    if (::geteuid() != 0) {
        GTEST_SKIP() << "only root may keep another user as the owner";
    }
    const std::string path = folder_.Write("theirs.zvk", Pattern(300));
    ASSERT_EQ(::chown(path.c_str(), kOtherUser, kOtherGroup), 0);
    ASSERT_EQ(::chmod(path.c_str(), 0640), 0);
    ReplaceFileContents(path, image_);
    const struct stat after = StatOf(path);
    EXPECT_EQ(after.st_uid, kOtherUser);
    EXPECT_EQ(after.st_gid, kOtherGroup);
    EXPECT_EQ(after.st_mode & 07777, 0640u);
    EXPECT_EQ(TempFolder::Read(path), image_);
}

TEST_F(Saving, AHardLinkedFileIsWrittenInPlaceSoEveryNameSeesTheNewContent) {
    const std::string path = folder_.Write("a.zvk", Pattern(2000));
    const std::string other = folder_.PathOf("b.zvk");
    fs::create_hard_link(path, other);
    const ino_t inode = StatOf(path).st_ino;
    ReplaceFileContents(path, image_);
    EXPECT_EQ(StatOf(path).st_ino, inode);
    EXPECT_EQ(TempFolder::Read(other), image_) << "shorter content, the old tail cut off";
    EXPECT_EQ(folder_.Entries(), (std::vector<std::string>{"a.zvk", "b.zvk"}));
}

TEST_F(Saving, AFolderThatTakesNoNewFileStillLetsAWritableFileBeSaved) {
    const std::string locked = folder_.PathOf("locked");
    fs::create_directory(locked);
    const std::string path = locked + "/cfg.zvk";
    TempFolder::Bytes old = Pattern(400);
    {
        const std::string written = folder_.Write("cfg.zvk", old);
        fs::rename(written, path);
    }
    ASSERT_EQ(::chmod(path.c_str(), 0644), 0);
    if (::geteuid() == 0) {
        ASSERT_EQ(::chown(path.c_str(), kOtherUser, kOtherGroup), 0);
        ASSERT_EQ(::chmod(folder_.Root().c_str(), 0755), 0);
    }
    ASSERT_EQ(::chmod(locked.c_str(), 0555), 0);
    const Bytes image = image_;
    EXPECT_TRUE(AsOrdinaryUser([&] {
        try {
            ReplaceFileContents(path, image);
        } catch (const EInOutError&) {
            return false;
        }
        return TempFolder::Read(path) == image;
    }));
    EXPECT_EQ(std::distance(fs::directory_iterator(locked), fs::directory_iterator()), 1);
    EXPECT_EQ(TempFolder::Read(path), image_);
    ::chmod(locked.c_str(), 0755);
}

TEST_F(Saving, AStickyFolderThatForbidsReplacingAnothersFileStillLetsItBeSaved) {
    if (::geteuid() != 0) {
        GTEST_SKIP() << "needs a file of another user in a sticky folder";
    }
    const std::string sticky = folder_.PathOf("shared");
    fs::create_directory(sticky);
    ASSERT_EQ(::chmod(folder_.Root().c_str(), 0755), 0);
    ASSERT_EQ(::chmod(sticky.c_str(), 01777), 0);
    const std::string path = sticky + "/cfg.zvk";
    fs::rename(folder_.Write("cfg.zvk", Pattern(400)), path);
    ASSERT_EQ(::chmod(path.c_str(), 0666), 0);  // root's file, writable by anyone
    const Bytes image = image_;
    EXPECT_TRUE(AsOrdinaryUser([&] {
        try {
            ReplaceFileContents(path, image);
        } catch (const EInOutError&) {
            return false;
        }
        return TempFolder::Read(path) == image;
    }));
    EXPECT_EQ(StatOf(path).st_uid, 0u) << "still root's file";
    EXPECT_EQ(std::distance(fs::directory_iterator(sticky), fs::directory_iterator()), 1)
        << "no temporary left";
}

TEST_F(Saving, AWriteInPlaceThatFailsPartWaySaysTheFileMayBeDamaged) {
    const std::string path = folder_.Write("a.zvk", Pattern(50));
    fs::create_hard_link(path, folder_.PathOf("b.zvk"));
    const FileSizeLimit limit(100);
    ASSERT_TRUE(limit.IsSet());
    try {
        ReplaceFileContents(path, image_);
        ADD_FAILURE() << "no error";
    } catch (const EInOutError& error) {
        EXPECT_EQ(error.ErrorCode(), EFBIG);
        EXPECT_EQ(std::string(error.what()).rfind("Zapis przerwany, plik może być uszkodzony: ", 0),
                  0u)
            << error.what();
    }
}

}  // namespace
}  // namespace zorvik::testing
