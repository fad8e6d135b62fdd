// File reading and safe replacement over POSIX calls.
#include "files/FileIo.h"

#include <fcntl.h>
#include <linux/magic.h>
#include <sys/stat.h>
#include <sys/vfs.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <filesystem>
#include <system_error>
#include <vector>

#include "files/WriteAll.h"

namespace zorvik {

namespace {

constexpr mode_t kNewFileMode = 0600;  // a new file: its owner's alone
// The temporary file beside the target: a short name whatever the target's, so that a target
// with a long name can still be replaced. The X's are made unique by mkstemp.
constexpr const char* kTempName = ".zorvik-XXXXXX";
constexpr int kMaxLinksFollowed = 40;  // a longer chain of links is a loop, as for the system

[[noreturn]] void ThrowSystemError(int error) {
    throw EInOutError(std::system_category().message(error), error);
}

[[noreturn]] void ThrowLastError() {
    ThrowSystemError(errno);
}

// Closes a descriptor once, on every path out.
class Descriptor {
public:
    explicit Descriptor(int fd = -1) : fd_(fd) {}
    ~Descriptor() { Reset(); }
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;
    Descriptor(Descriptor&& other) noexcept : fd_(other.fd_) { other.fd_ = -1; }
    Descriptor& operator=(Descriptor&&) = delete;

    [[nodiscard]] int Get() const { return fd_; }

    // Closes now and reports whether the close succeeded (a write may only fail here).
    [[nodiscard]] bool Close() {
        const int fd = fd_;
        fd_ = -1;
        return fd < 0 || ::close(fd) == 0;
    }

    // Hands the descriptor over; it is no longer closed here.
    [[nodiscard]] int Release() {
        const int fd = fd_;
        fd_ = -1;
        return fd;
    }

    void Reset() {
        if (fd_ >= 0) {
            ::close(fd_);
            fd_ = -1;
        }
    }

private:
    int fd_;
};

// Removes the temporary file unless it was renamed into place.
class TempFileGuard {
public:
    explicit TempFileGuard(std::string path) : path_(std::move(path)) {}
    ~TempFileGuard() {
        if (!path_.empty()) {
            ::unlink(path_.c_str());
        }
    }
    TempFileGuard(const TempFileGuard&) = delete;
    TempFileGuard& operator=(const TempFileGuard&) = delete;

    void Release() { path_.clear(); }
    // Removes the temporary file now.
    void Reset() {
        if (!path_.empty()) {
            ::unlink(path_.c_str());
            path_.clear();
        }
    }

private:
    std::string path_;
};

std::string FolderOf(const std::string& path) {
    const std::string folder = std::filesystem::path(path).parent_path().string();
    return folder.empty() ? "." : folder;
}

// Whether the system would let this user follow `link` in `folder`: in a sticky folder that
// anyone may write to (such as /tmp), only a link of the user's own or of the folder's owner.
// Otherwise another user could plant a link there that sends a save onto the user's own files.
// The rule is applied here whatever the system's setting, because the links are resolved here.
bool MayFollow(const struct stat& link, const struct stat& folder) {
    const bool shared = (folder.st_mode & S_ISVTX) != 0 && (folder.st_mode & S_IWOTH) != 0;
    return !shared || link.st_uid == ::geteuid() || link.st_uid == folder.st_uid;
}

// A link under /proc (/dev/stdout, /dev/fd/N) names an open descriptor rather than a path.
bool InProcessFolder(const std::string& folder) {
    struct statfs info {};
    return ::statfs(folder.c_str(), &info) == 0 && info.f_type == PROC_SUPER_MAGIC;
}

// Reads the link at `path`; a relative target is taken from `folder`, the link's own.
std::string LinkTarget(const std::string& path, const std::string& folder) {
    char next[PATH_MAX];
    const ssize_t length = ::readlink(path.c_str(), next, sizeof next);
    if (length < 0) {
        ThrowLastError();
    }
    if (static_cast<std::size_t>(length) == sizeof next) {
        ThrowSystemError(ENAMETOOLONG);
    }
    const std::string linked(next, static_cast<std::size_t>(length));
    return linked.starts_with('/') ? linked : folder + "/" + linked;
}

// `folder` with every link in it followed, each one checked by MayFollow against the folder that
// holds it, so that a link to a folder planted in /tmp is refused like a link to a file. The parts
// are walked from the root; a part that does not exist ends the walk, and the open that follows
// reports it. `followed` counts the links of the whole save.
std::string FollowFolderLinks(const std::string& folder, int& followed) {
    std::vector<std::string> parts;  // what is left to walk, the next part last
    const auto pushParts = [&parts](const std::filesystem::path& path) {
        std::vector<std::string> forward;
        for (const auto& part : path.relative_path()) {
            forward.push_back(part.string());
        }
        parts.insert(parts.end(), forward.rbegin(), forward.rend());
    };
    pushParts(std::filesystem::absolute(folder));
    std::string walked;  // link-free, from the root; empty is the root
    while (!parts.empty()) {
        const std::string part = std::move(parts.back());
        parts.pop_back();
        if (part.empty() || part == ".") {
            continue;
        }
        if (part == "..") {
            walked.erase(walked.empty() ? 0 : walked.rfind('/'));
            continue;
        }
        const std::string next = walked + "/" + part;
        struct stat link {};
        if (::lstat(next.c_str(), &link) != 0) {
            if (errno != ENOENT && errno != ENOTDIR) {
                ThrowLastError();
            }
            walked = next;
            break;  // nothing further to check: the open names what is missing
        }
        if (!S_ISLNK(link.st_mode)) {
            walked = next;
            continue;
        }
        if (++followed > kMaxLinksFollowed) {
            ThrowSystemError(ELOOP);
        }
        const std::string holder = walked.empty() ? "/" : walked;
        struct stat holderInfo {};
        if (::stat(holder.c_str(), &holderInfo) != 0) {
            ThrowLastError();
        }
        if (!MayFollow(link, holderInfo)) {
            ThrowSystemError(EACCES);
        }
        const std::string linked = LinkTarget(next, holder);
        if (linked.starts_with('/')) {
            walked.clear();
        }
        pushParts(std::filesystem::path(linked).relative_path());
    }
    for (auto part = parts.rbegin(); part != parts.rend(); ++part) {
        walked += "/" + *part;
    }
    return walked.empty() ? "/" : walked;
}

// What a save writes, once the links in front of it are followed.
struct SaveTarget {
    std::string path;
    bool exists = false;
    struct stat info {};      // when it exists
    bool descriptor = false;  // what an open descriptor holds: written into at its end, as is
};

// Follows the chain of links at `path`, one link at a time so that each is checked as the system
// would. A link whose target does not exist yet leads to that target, to be created there.
SaveTarget FindTarget(const std::string& path) {
    SaveTarget target{path};
    int followed = 0;
    for (;; ++followed) {
        // A link anywhere in the folder's path is checked as well as one at its end.
        const std::string name = std::filesystem::path(target.path).filename().string();
        if (name.empty() || name == "." || name == "..") {
            break;  // a folder: the open refuses it
        }
        target.path = FollowFolderLinks(FolderOf(target.path), followed) + "/" + name;
        struct stat link {};
        if (::lstat(target.path.c_str(), &link) != 0) {
            if (errno == ENOENT) {
                return target;
            }
            ThrowLastError();
        }
        if (!S_ISLNK(link.st_mode)) {
            break;
        }
        if (followed >= kMaxLinksFollowed) {
            ThrowSystemError(ELOOP);
        }
        const std::string folder = FolderOf(target.path);
        struct stat folderInfo {};
        if (::stat(folder.c_str(), &folderInfo) != 0) {
            ThrowLastError();
        }
        if (!MayFollow(link, folderInfo)) {
            ThrowSystemError(EACCES);
        }
        if (InProcessFolder(folder)) {
            target.descriptor = true;  // the system follows it to the descriptor's file or pipe
            break;
        }
        target.path = LinkTarget(target.path, folder);
    }
    if (::stat(target.path.c_str(), &target.info) != 0) {
        ThrowLastError();
    }
    target.exists = true;
    return target;
}

// Opens a file for writing without waiting at the open: a named pipe with no reader is an
// error, not a hang. Once open, writes wait as usual.
Descriptor OpenForWriting(const std::string& path, int flags) {
    Descriptor file(
        ::open(path.c_str(), O_WRONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK | flags, kNewFileMode));
    if (file.Get() < 0) {
        ThrowLastError();
    }
    const int status = ::fcntl(file.Get(), F_GETFL);
    if (status < 0 || ::fcntl(file.Get(), F_SETFL, status & ~O_NONBLOCK) != 0) {
        ThrowLastError();
    }
    return file;
}

// Writes into what is not a regular file (a device, a pipe, a terminal, standard output): it
// cannot be replaced, and its errors (such as a full device) are the save's.
void WriteInto(const SaveTarget& target, std::span<const std::uint8_t> bytes) {
    Descriptor file = OpenForWriting(target.path, target.descriptor ? O_APPEND : 0);
    WriteAll(file.Get(), bytes);
    if (!file.Close()) {
        ThrowLastError();
    }
}

// Creates a new, unique file beside `target`, readable and writable by its owner only (a
// configuration holds the SIM PIN and the telephone numbers). Gives -1 and the error number when
// the folder takes no new file.
Descriptor CreateTempBeside(const std::string& target, std::string& tempPath, int& error) {
    tempPath = FolderOf(target) + "/" + kTempName;
    const int fd = ::mkostemp(tempPath.data(), O_CLOEXEC);
    if (fd < 0) {
        error = errno;
    }
    return Descriptor(fd);
}

// Refusals of a folder that will not take a new file, or of a rename over a file in a sticky
// folder that belongs to someone else; the file itself may still be writable.
bool FolderRefused(int error) {
    return error == EACCES || error == EPERM || error == EROFS;
}

// Gives the replacement the old file's owner and group where this user may set them: root may
// keep both, anyone may keep a group they belong to. What cannot be kept is not an error.
void KeepOwnership(int fd, const struct stat& old) {
    if (::fchown(fd, old.st_uid, old.st_gid) != 0 &&
        ::fchown(fd, static_cast<uid_t>(-1), old.st_gid) != 0) {
        return;  // the replacement stays this user's, in this user's group
    }
}

// Writes the file itself: it keeps its owner, group, mode and hard links, but a failure part way
// leaves it partly written, and the message says so. With `create`, the file is new and made
// here; a failure removes it again, since it held nothing before.
void WriteInPlace(const std::string& target, std::span<const std::uint8_t> bytes, bool create) {
    Descriptor file = OpenForWriting(target, O_NOFOLLOW | (create ? O_CREAT | O_EXCL : 0));
    TempFileGuard made(create ? target : std::string());
    const auto fail = [create](int error) {
        // A file made here is removed again; one that was there may be left damaged.
        throw EInOutError(std::system_category().message(error), error, !create);
    };
    try {
        WriteAll(file.Get(), bytes);
    } catch (const EInOutError& error) {
        fail(error.ErrorCode());
    }
    if (::ftruncate(file.Get(), static_cast<off_t>(bytes.size())) != 0 ||
        ::fsync(file.Get()) != 0) {
        fail(errno);
    }
    if (!file.Close()) {
        fail(errno);
    }
    made.Release();
}

// Makes the rename itself durable; the new content is in place whether or not this succeeds.
void SyncFolder(const std::string& target) {
    Descriptor dir(::open(FolderOf(target).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (dir.Get() >= 0) {
        ::fsync(dir.Get());
    }
}

}  // namespace

void WriteAll(int fd, std::span<const std::uint8_t> bytes) {
    while (!bytes.empty()) {
        const ssize_t written = ::write(fd, bytes.data(), bytes.size());
        if (written < 0) {
            if (errno == EINTR) {
                continue;
            }
            ThrowLastError();
        }
        bytes = bytes.subspan(static_cast<std::size_t>(written));
    }
}

InputFile::InputFile(const std::string& path) {
    // Non-blocking, so that a named pipe cannot hang the window at open.
    fd_ = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK);
    if (fd_ < 0) {
        ThrowLastError();
    }
    struct stat info {};
    int error = 0;
    if (::fstat(fd_, &info) != 0) {
        error = errno;
    } else if (S_ISDIR(info.st_mode)) {
        error = EISDIR;
    } else if (!S_ISREG(info.st_mode)) {
        error = EINVAL;
    }
    if (error != 0) {
        ::close(fd_);
        ThrowSystemError(error);
    }
}

InputFile::~InputFile() {
    ::close(fd_);
}

std::uint64_t InputFile::Size() const {
    struct stat info {};
    if (::fstat(fd_, &info) != 0) {
        ThrowLastError();
    }
    return static_cast<std::uint64_t>(info.st_size);
}

void InputFile::ReadExactly(std::span<std::uint8_t> buffer) {
    while (!buffer.empty()) {
        const ssize_t got = ::read(fd_, buffer.data(), buffer.size());
        if (got < 0) {
            if (errno == EINTR) {
                continue;
            }
            ThrowLastError();
        }
        if (got == 0) {
            throw EInOutError("Read beyond end of file");
        }
        buffer = buffer.subspan(static_cast<std::size_t>(got));
    }
}

void ReplaceFileContents(const std::string& path, std::span<const std::uint8_t> bytes) {
    const SaveTarget found = FindTarget(path);
    const std::string& target = found.path;
    const struct stat& old = found.info;
    if (found.descriptor || (found.exists && !S_ISREG(old.st_mode) && !S_ISDIR(old.st_mode))) {
        WriteInto(found, bytes);
        return;
    }
    if (found.exists && ::access(target.c_str(), W_OK) != 0) {
        ThrowLastError();
    }
    const bool regular = found.exists && S_ISREG(old.st_mode);
    // A file with other names (hard links) would lose them to a replacement.
    if (regular && old.st_nlink > 1) {
        WriteInPlace(target, bytes, false);
        return;
    }

    std::string tempPath;
    int error = 0;
    Descriptor temp = CreateTempBeside(target, tempPath, error);
    if (temp.Get() < 0) {
        // Whatever kept the temporary file from being made, the file itself may still be
        // writable; if it is not, writing it gives the system's reason.
        if (regular || !found.exists) {
            WriteInPlace(target, bytes, !found.exists);
            return;
        }
        ThrowSystemError(error);
    }
    TempFileGuard guard(tempPath);

    if (regular) {
        KeepOwnership(temp.Get(), old);
        // After the owner: a change of owner clears the set-id bits.
        if (::fchmod(temp.Get(), old.st_mode & 07777) != 0) {
            ThrowLastError();
        }
    }
    WriteAll(temp.Get(), bytes);
    if (::fsync(temp.Get()) != 0) {
        ThrowLastError();
    }
    if (!temp.Close()) {
        ThrowLastError();
    }
    if (::rename(tempPath.c_str(), target.c_str()) != 0) {
        const int renameError = errno;
        if (regular && FolderRefused(renameError)) {
            // A sticky folder lets this user add a file but not replace someone else's.
            guard.Reset();
            WriteInPlace(target, bytes, false);
            return;
        }
        ThrowSystemError(renameError);
    }
    guard.Release();
    SyncFolder(target);
}

AppendFile::AppendFile(const std::string& path) {
    const SaveTarget found = FindTarget(path);
    // A file reached through links is opened as the file itself, so that no link put in its
    // place meanwhile is followed unchecked.
    const int flags = O_APPEND | (found.descriptor ? 0 : O_CREAT | O_NOFOLLOW);
    fd_ = OpenForWriting(found.path, flags).Release();
}

AppendFile::~AppendFile() {
    ::close(fd_);
}

void AppendFile::Append(std::string_view text) {
    WriteAll(fd_, std::span(reinterpret_cast<const std::uint8_t*>(text.data()), text.size()));
}

}  // namespace zorvik
