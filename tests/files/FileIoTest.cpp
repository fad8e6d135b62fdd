// Saving where a replacement is not possible or would lose something: modes, owners, hard links,
// folders that take no new file, a write in place that fails part way, links (whose and to what)
// and files that are not regular files.
#include "files/FileIo.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <functional>
#include <iterator>
#include <string>
#include <system_error>

#include "tests/support/TempFolder.h"

namespace zorvik::testing {
namespace {

namespace fs = std::filesystem;
using Bytes = std::vector<std::uint8_t>;

constexpr uid_t kOtherUser = 65534;  // "nobody", owns files that are not ours
constexpr gid_t kOtherGroup = 65534;
constexpr uid_t kFolderOwner = 4242;  // owns the shared sticky folder, neither us nor "nobody"

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

TEST_F(Saving, AWriteInPlaceThatFailsPartWayIsMarkedAsCutShort) {
    const std::string path = folder_.Write("a.zvk", Pattern(50));
    fs::create_hard_link(path, folder_.PathOf("b.zvk"));
    const FileSizeLimit limit(100);
    ASSERT_TRUE(limit.IsSet());
    try {
        ReplaceFileContents(path, image_);
        ADD_FAILURE() << "no error";
    } catch (const EInOutError& error) {
        EXPECT_EQ(error.ErrorCode(), EFBIG);
        EXPECT_TRUE(error.CutShort()) << error.what();
        EXPECT_EQ(std::string(error.what()), std::system_category().message(EFBIG));
    }
}

// The two ways the programs write a file, each leaving its mark on the target.
struct Writer {
    const char* name;
    std::function<void(const std::string&)> write;
    std::function<Bytes(const Bytes& old)> expected;  // the target's content afterwards
};

std::vector<Writer> Writers(const Bytes& image) {
    const std::string line = "appended\n";
    return {{"ReplaceFileContents",
             [image](const std::string& path) { ReplaceFileContents(path, image); },
             [image](const Bytes&) { return image; }},
            {"AppendFile", [line](const std::string& path) { AppendFile(path).Append(line); },
             [line](Bytes old) {
                 old.insert(old.end(), line.begin(), line.end());
                 return old;
             }}};
}

bool IsLink(const std::string& path) {
    struct stat info {};
    return ::lstat(path.c_str(), &info) == 0 && S_ISLNK(info.st_mode);
}

TEST_F(Saving, InASharedStickyFolderOnlyTheUsersOrTheFolderOwnersLinkIsFollowed) {
    if (::geteuid() != 0) {
        GTEST_SKIP() << "only root may give a link to another user";
    }
    const std::string sticky = folder_.PathOf("shared");
    fs::create_directory(sticky);
    ASSERT_EQ(::chown(sticky.c_str(), kFolderOwner, kFolderOwner), 0);
    ASSERT_EQ(::chmod(sticky.c_str(), 01777), 0);
    fs::create_directory(folder_.PathOf("private"));
    const Bytes old = Pattern(300);

    // The link is the file's own name, or a folder on the way to it, in the sticky folder or
    // reached from it through a later part of the path.
    struct Place {
        const char* name;
        std::string linkPath;
        std::string linkTarget;
        std::string saved;     // the path given to the save
        std::string precious;  // in the test's folder
    };
    const Place places[] = {
        {"the file", sticky + "/site.zvk", folder_.PathOf("precious.txt"), sticky + "/site.zvk",
         "precious.txt"},
        {"a folder", sticky + "/dir", folder_.PathOf("private"), sticky + "/dir/victim.zvk",
         "private/victim.zvk"},
        {"a folder, reached by ..", sticky + "/dir", folder_.PathOf("private"),
         folder_.PathOf("private/../shared/dir/./victim.zvk"), "private/victim.zvk"},
    };
    struct Row {
        const char* whose;
        uid_t owner;
        bool followed;
    };
    for (const Place& place : places) {
        for (const Row& row :
             {Row{"another user's", kOtherUser, false}, Row{"the user's own", ::geteuid(), true},
              Row{"the folder owner's", kFolderOwner, true}}) {
            for (const Writer& writer : Writers(image_)) {
                SCOPED_TRACE(std::string(row.whose) + " link as " + place.name + ", " +
                             writer.name);
                const std::string precious = folder_.Write(place.precious, old);
                fs::remove(place.linkPath);
                fs::create_symlink(place.linkTarget, place.linkPath);
                ASSERT_EQ(::lchown(place.linkPath.c_str(), row.owner, row.owner), 0);
                try {
                    writer.write(place.saved);
                    EXPECT_TRUE(row.followed) << "written through";
                } catch (const EInOutError& error) {
                    EXPECT_FALSE(row.followed) << error.what();
                    EXPECT_EQ(error.ErrorCode(), EACCES);
                    EXPECT_STREQ(error.what(), "Permission denied");
                }
                EXPECT_EQ(TempFolder::Read(precious), row.followed ? writer.expected(old) : old);
                EXPECT_TRUE(IsLink(place.linkPath));
                EXPECT_EQ(std::distance(fs::directory_iterator(sticky), fs::directory_iterator()),
                          1)
                    << "no temporary left";
            }
        }
        fs::remove(place.linkPath);
    }
}

TEST_F(Saving, ALinkToAFileNotYetMadeMakesItAndALongNameNeedsNoLongerTemporary) {
    for (const Writer& writer : Writers(image_)) {
        SCOPED_TRACE(writer.name);
        const std::string target = folder_.PathOf("target.zvk");
        const std::string link = folder_.PathOf("link.zvk");
        fs::create_symlink("target.zvk", link);
        writer.write(link);
        EXPECT_TRUE(IsLink(link));
        EXPECT_EQ(TempFolder::Read(target), writer.expected({}));
        EXPECT_EQ(StatOf(target).st_mode & 07777, 0600u);
        fs::remove(link);
        fs::remove(target);
    }
    // The longest name a folder takes, as a new file and as one replaced.
    std::string name(251, 'n');
    name += ".zvk";  // appended, not added: gcc 12 at -O2 warns wrongly on string(n, c) + "..."
    const std::string longName = folder_.PathOf(name);
    ReplaceFileContents(longName, Pattern(10));
    ReplaceFileContents(longName, image_);
    EXPECT_EQ(TempFolder::Read(longName), image_);
    EXPECT_EQ(folder_.Entries().size(), 1u) << "no temporary left";
}

TEST_F(Saving, WhatIsNotARegularFileIsWrittenIntoAndKeepsItsKind) {
    // A named pipe with its reader waiting.
    const std::string fifo = folder_.PathOf("pipe");
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    const int reader = ::open(fifo.c_str(), O_RDONLY | O_NONBLOCK);
    ASSERT_GE(reader, 0);
    ReplaceFileContents(fifo, image_);
    Bytes got(image_.size() + 1);
    EXPECT_EQ(::read(reader, got.data(), got.size()), static_cast<ssize_t>(image_.size()));
    ::close(reader);
    EXPECT_TRUE(S_ISFIFO(StatOf(fifo).st_mode));

    // Standard output given as /dev/stdout or /proc/self/fd/N: a pipe, and a file opened for
    // appending (">>") whose earlier lines stay.
    int pipe[2];
    ASSERT_EQ(::pipe(pipe), 0);
    ReplaceFileContents("/proc/self/fd/" + std::to_string(pipe[1]), image_);
    EXPECT_EQ(::read(pipe[0], got.data(), got.size()), static_cast<ssize_t>(image_.size()));
    ::close(pipe[0]);
    ::close(pipe[1]);
    const std::string log = folder_.Write("log.txt", Pattern(20));
    const int appending = ::open(log.c_str(), O_WRONLY | O_APPEND);
    ASSERT_GE(appending, 0);
    ReplaceFileContents("/proc/self/fd/" + std::to_string(appending), image_);
    ::close(appending);
    Bytes both = Pattern(20);
    both.insert(both.end(), image_.begin(), image_.end());
    EXPECT_EQ(TempFolder::Read(log), both);

    // A full device says so, and stays a device.
    const std::string full = folder_.PathOf("full");
    if (::mknod(full.c_str(), S_IFCHR | 0666, ::makedev(1, 7)) != 0) {
        GTEST_SKIP() << "no device node may be made here";
    }
    try {
        ReplaceFileContents(full, image_);
        ADD_FAILURE() << "no error";
    } catch (const EInOutError& error) {
        EXPECT_EQ(error.ErrorCode(), ENOSPC) << error.what();
    }
    EXPECT_TRUE(S_ISCHR(StatOf(full).st_mode));
}

}  // namespace
}  // namespace zorvik::testing
