// File reading and safe replacement over POSIX calls.
#include "files/FileIo.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <filesystem>
#include <system_error>

namespace zorvik {

namespace {

constexpr int kTempNameAttempts = 100;  // unique temporary names tried before giving up
constexpr mode_t kNewFileMode = 0600;   // a new file: its owner's alone

// Leads the system's text when a file written in place failed part way.
constexpr const char* kMayBeDamagedText = "Zapis przerwany, plik może być uszkodzony: ";

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

    [[nodiscard]] int Get() const { return fd_; }

    // Closes now and reports whether the close succeeded (a write may only fail here).
    [[nodiscard]] bool Close() {
        const int fd = fd_;
        fd_ = -1;
        return fd < 0 || ::close(fd) == 0;
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

// The file that saving really replaces: the target of a symbolic link, not the link itself.
std::string ResolveTarget(const std::string& path) {
    struct stat info {};
    if (::lstat(path.c_str(), &info) == 0 && S_ISLNK(info.st_mode)) {
        char resolved[PATH_MAX];
        if (::realpath(path.c_str(), resolved) != nullptr) {
            return resolved;
        }
    }
    return path;
}

// Creates a new, unique file beside `target`, readable and writable by its owner only (a
// configuration holds the SIM PIN and the telephone numbers). Gives -1 and the error number when
// the folder takes no new file.
Descriptor CreateTempBeside(const std::string& target, std::string& tempPath, int& error) {
    const std::filesystem::path targetPath(target);
    std::filesystem::path folder = targetPath.parent_path();
    if (folder.empty()) {
        folder = ".";
    }
    std::string stem = ".";
    stem += targetPath.filename().string();
    stem += '.';
    stem += std::to_string(::getpid());
    for (int attempt = 0; attempt < kTempNameAttempts; ++attempt) {
        tempPath = (folder / (stem + "-" + std::to_string(attempt) + ".tmp")).string();
        const int fd =
            ::open(tempPath.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, kNewFileMode);
        if (fd >= 0) {
            return Descriptor(fd);
        }
        if (errno != EEXIST) {
            error = errno;
            return Descriptor();
        }
    }
    error = EEXIST;
    return Descriptor();
}

// Refusals of a folder that will not take a new file, or of a rename over a file in a sticky
// folder that belongs to someone else; the file itself may still be writable.
bool FolderRefused(int error) {
    return error == EACCES || error == EPERM || error == EROFS;
}

// Gives the replacement the old file's owner and group where this user may set them: root may
// keep both, anyone may keep a group they belong to. What cannot be kept is not an error.
void KeepOwnership(int fd, const struct stat& old) {
    if (::fchown(fd, old.st_uid, old.st_gid) == 0) {
        return;
    }
    (void)::fchown(fd, static_cast<uid_t>(-1), old.st_gid);
}

// Writes the file itself: it keeps its owner, group, mode and hard links, but a failure part way
// leaves it partly written, and the message says so.
void WriteInPlace(const std::string& target, std::span<const std::uint8_t> bytes) {
    Descriptor file(::open(target.c_str(), O_WRONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK));
    if (file.Get() < 0) {
        ThrowLastError();  // nothing touched yet
    }
    const auto damaged = [](int error) {
        throw EInOutError(std::string(kMayBeDamagedText) + std::system_category().message(error),
                          error);
    };
    try {
        WriteAll(file.Get(), bytes);
    } catch (const EInOutError& error) {
        damaged(error.ErrorCode());
    }
    if (::ftruncate(file.Get(), static_cast<off_t>(bytes.size())) != 0 ||
        ::fsync(file.Get()) != 0) {
        damaged(errno);
    }
    if (!file.Close()) {
        damaged(errno);
    }
}

// Makes the rename itself durable; the new content is in place whether or not this succeeds.
void SyncFolder(const std::string& target) {
    std::filesystem::path folder = std::filesystem::path(target).parent_path();
    if (folder.empty()) {
        folder = ".";
    }
    Descriptor dir(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (dir.Get() >= 0) {
        ::fsync(dir.Get());
    }
}

}  // namespace

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
    const std::string target = ResolveTarget(path);

    struct stat old {};
    const bool exists = ::stat(target.c_str(), &old) == 0;
    if (exists && ::access(target.c_str(), W_OK) != 0) {
        ThrowLastError();
    }
    const bool regular = exists && S_ISREG(old.st_mode);
    // A file with other names (hard links) would lose them to a replacement.
    if (regular && old.st_nlink > 1) {
        WriteInPlace(target, bytes);
        return;
    }

    std::string tempPath;
    int error = 0;
    Descriptor temp = CreateTempBeside(target, tempPath, error);
    if (temp.Get() < 0) {
        if (regular && FolderRefused(error)) {
            WriteInPlace(target, bytes);
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
            WriteInPlace(target, bytes);
            return;
        }
        ThrowSystemError(renameError);
    }
    guard.Release();
    SyncFolder(target);
}

AppendFile::AppendFile(const std::string& path)
    : fd_(::open(path.c_str(), O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC | O_NOCTTY,
                 kNewFileMode)) {
    if (fd_ < 0) {
        ThrowLastError();
    }
}

AppendFile::~AppendFile() {
    ::close(fd_);
}

void AppendFile::Append(std::string_view text) {
    WriteAll(fd_, std::span(reinterpret_cast<const std::uint8_t*>(text.data()), text.size()));
}

}  // namespace zorvik
