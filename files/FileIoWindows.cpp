// File reading and safe replacement over Windows' wide calls: paths are UTF-8 here, UTF-16 there.
#include "files/FileIo.h"

#include <fcntl.h>
#include <io.h>
#include <sys/stat.h>
#include <windows.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <string>
#include <system_error>

#include "files/WideText.h"

namespace zorvik {

namespace {

// The temporary file beside the target, made unique by the process and a count.
constexpr const wchar_t* kTempStem = L".zorvik-";

// The errno number for what GetLastError said, so that callers see the same numbers, and texts,
// as on Linux.
int ErrnoOf(DWORD error) {
    switch (error) {
        case ERROR_FILE_NOT_FOUND:
        case ERROR_PATH_NOT_FOUND:
        case ERROR_INVALID_DRIVE:
        case ERROR_BAD_NETPATH:
            return ENOENT;
        case ERROR_ACCESS_DENIED:
        case ERROR_SHARING_VIOLATION:
        case ERROR_LOCK_VIOLATION:
        case ERROR_WRITE_PROTECT:
            return EACCES;
        case ERROR_FILE_EXISTS:
        case ERROR_ALREADY_EXISTS:
            return EEXIST;
        case ERROR_DISK_FULL:
        case ERROR_HANDLE_DISK_FULL:
            return ENOSPC;
        case ERROR_INVALID_NAME:
        case ERROR_BAD_PATHNAME:
        case ERROR_DIRECTORY:
            return EINVAL;
        case ERROR_FILENAME_EXCED_RANGE:
            return ENAMETOOLONG;
        case ERROR_NOT_ENOUGH_MEMORY:
        case ERROR_OUTOFMEMORY:
            return ENOMEM;
        default:
            return EIO;
    }
}

[[noreturn]] void ThrowErrno(int error) {
    throw EInOutError(std::generic_category().message(error), error);
}

[[noreturn]] void ThrowLastError() {
    ThrowErrno(ErrnoOf(::GetLastError()));
}

// Closes a handle once, on every path out.
class Handle {
public:
    explicit Handle(HANDLE handle) : handle_(handle) {}
    ~Handle() { (void)Close(); }
    Handle(const Handle&) = delete;
    Handle& operator=(const Handle&) = delete;

    [[nodiscard]] bool Valid() const { return handle_ != INVALID_HANDLE_VALUE; }
    [[nodiscard]] HANDLE Get() const { return handle_; }
    [[nodiscard]] bool Close() {
        const HANDLE handle = handle_;
        handle_ = INVALID_HANDLE_VALUE;
        return handle == INVALID_HANDLE_VALUE || ::CloseHandle(handle) != 0;
    }

private:
    HANDLE handle_;
};

void WriteAll(HANDLE file, std::span<const std::uint8_t> bytes) {
    while (!bytes.empty()) {
        DWORD written = 0;
        const DWORD size = static_cast<DWORD>(std::min<std::size_t>(bytes.size(), 1u << 30));
        if (!::WriteFile(file, bytes.data(), size, &written, nullptr)) {
            ThrowLastError();
        }
        bytes = bytes.subspan(written);
    }
}

// Writes all of `bytes`, has them reach the disk and closes the file: a write may fail at any of
// the three steps, and each failure is raised.
void WriteFlushAndClose(Handle& file, std::span<const std::uint8_t> bytes) {
    WriteAll(file.Get(), bytes);
    if (!::FlushFileBuffers(file.Get())) {
        ThrowLastError();
    }
    if (!file.Close()) {
        ThrowLastError();
    }
}

std::wstring FolderOf(const std::wstring& path) {
    const auto slash = path.find_last_of(L"\\/");
    if (slash == std::wstring::npos) {
        return L".";
    }
    return slash == 0 ? path.substr(0, 1) : path.substr(0, slash);
}

// Writes the file itself: a failure part way leaves it partly written, and the message says so.
void WriteInPlace(const std::wstring& target, std::span<const std::uint8_t> bytes, bool create) {
    Handle file(::CreateFileW(target.c_str(), GENERIC_WRITE, 0, nullptr,
                              create ? CREATE_NEW : TRUNCATE_EXISTING, FILE_ATTRIBUTE_NORMAL,
                              nullptr));
    if (!file.Valid()) {
        ThrowLastError();
    }
    try {
        WriteFlushAndClose(file, bytes);
    } catch (const EInOutError& error) {
        (void)file.Close();
        if (create) {
            ::DeleteFileW(target.c_str());
            throw;
        }
        // One that was there may be left damaged, which the message says.
        throw EInOutError(error.what(), error.ErrorCode(), true);
    }
}

// Opens a file with the C runtime, in binary mode: no byte is translated.
int OpenFile(const std::string& path, int flags) {
    const int fd =
        ::_wopen(Widen(path).c_str(), flags | _O_BINARY | _O_NOINHERIT, _S_IREAD | _S_IWRITE);
    if (fd < 0) {
        ThrowErrno(errno);
    }
    return fd;
}

}  // namespace

InputFile::InputFile(const std::string& path) {
    const DWORD attributes = ::GetFileAttributesW(Widen(path).c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
        ThrowErrno(EISDIR);
    }
    fd_ = OpenFile(path, _O_RDONLY);
    struct _stat64 info {};
    if (::_fstat64(fd_, &info) != 0 || (info.st_mode & _S_IFMT) != _S_IFREG) {
        ::_close(fd_);
        ThrowErrno(EINVAL);  // a device (NUL, CON) or a pipe
    }
}

InputFile::~InputFile() {
    ::_close(fd_);
}

std::uint64_t InputFile::Size() const {
    const __int64 size = ::_filelengthi64(fd_);
    if (size < 0) {
        ThrowErrno(errno);
    }
    return static_cast<std::uint64_t>(size);
}

void InputFile::ReadExactly(std::span<std::uint8_t> buffer) {
    while (!buffer.empty()) {
        const unsigned size = static_cast<unsigned>(std::min<std::size_t>(buffer.size(), 1u << 30));
        const int got = ::_read(fd_, buffer.data(), size);
        if (got < 0) {
            ThrowErrno(errno);
        }
        if (got == 0) {
            throw EInOutError("Read beyond end of file");
        }
        buffer = buffer.subspan(static_cast<std::size_t>(got));
    }
}

// Windows has no symbolic links in the way of a save that a user could plant in a shared folder
// the way /tmp allows, and a new file takes the permissions of its folder: in the user's own
// folders, the user's alone.
void ReplaceFileContents(const std::string& path, std::span<const std::uint8_t> bytes) {
    const std::wstring target = Widen(path);
    const DWORD attributes = ::GetFileAttributesW(target.c_str());
    const bool exists = attributes != INVALID_FILE_ATTRIBUTES;
    if (exists && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
        ThrowErrno(EISDIR);
    }
    if (exists && (attributes & FILE_ATTRIBUTE_READONLY) != 0) {
        ThrowErrno(EACCES);
    }

    static std::atomic<unsigned> made{0};
    const std::wstring temp = FolderOf(target) + L"\\" + kTempStem +
                              std::to_wstring(::GetCurrentProcessId()) + L"-" +
                              std::to_wstring(made++) + L".tmp";
    Handle file(::CreateFileW(temp.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                              FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file.Valid()) {
        // Whatever kept the temporary file from being made, the file itself may be writable; if
        // it is not, writing it gives the system's reason.
        WriteInPlace(target, bytes, !exists);
        return;
    }
    try {
        WriteFlushAndClose(file, bytes);
        // The old file is replaced only now that the new content is complete on disk; the
        // rename itself is written through before the call returns.
        if (!::MoveFileExW(temp.c_str(), target.c_str(),
                           MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
            ThrowLastError();
        }
    } catch (...) {
        (void)file.Close();
        ::DeleteFileW(temp.c_str());
        throw;
    }
}

AppendFile::AppendFile(const std::string& path) {
    fd_ = OpenFile(path, _O_WRONLY | _O_APPEND | _O_CREAT);
}

AppendFile::~AppendFile() {
    ::_close(fd_);
}

void AppendFile::Append(std::string_view text) {
    while (!text.empty()) {
        const unsigned size = static_cast<unsigned>(std::min<std::size_t>(text.size(), 1u << 30));
        const int written = ::_write(fd_, text.data(), size);
        if (written < 0) {
            ThrowErrno(errno);
        }
        text.remove_prefix(static_cast<std::size_t>(written));
    }
}

}  // namespace zorvik
