// The history's calls into Windows. The folder lies in the user's own local application data,
// which other users cannot read already.
#include <fcntl.h>
#include <io.h>
#include <sys/stat.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <string>
#include <string_view>

#include "files/FileError.h"
#include "files/History.h"
#include "files/HistorySystem.h"
#include "files/UtcTime.h"
#include "files/WideText.h"

namespace zorvik {

namespace {

constexpr std::string_view kLocalTail = "\\zorvik-cli\\history";  // below %LOCALAPPDATA%

}  // namespace

std::string DefaultHistoryFolderText() {
    return "%LOCALAPPDATA%" + std::string(kLocalTail);
}

std::tm UtcTime(std::time_t when) {
    std::tm utc{};
    ::gmtime_s(&utc, &when);
    return utc;
}

}  // namespace zorvik

namespace zorvik::history {

void MakePrivate(const std::string& /*folder*/) {}

int CreateNew(const std::string& path) {
    return ::_wopen(Widen(path).c_str(), _O_WRONLY | _O_CREAT | _O_EXCL | _O_BINARY | _O_NOINHERIT,
                    _S_IREAD | _S_IWRITE);
}

void WriteAllAndSync(int fd, const std::string& text, const std::string& path) {
    std::size_t done = 0;
    while (done < text.size()) {
        const int written =
            ::_write(fd, text.data() + done, static_cast<unsigned>(text.size() - done));
        if (written <= 0) {
            const int error = errno;
            throw EInOutError(path + ": " + std::strerror(error), error);
        }
        done += static_cast<std::size_t>(written);
    }
    if (::_commit(fd) != 0) {
        const int error = errno;
        throw EInOutError(path + ": " + std::strerror(error), error);
    }
}

void Close(int fd) noexcept {
    ::_close(fd);
}

void Remove(const std::string& path) noexcept {
    ::_wunlink(Widen(path).c_str());
}

std::string DefaultFolder() {
    const wchar_t* local = ::_wgetenv(L"LOCALAPPDATA");
    return local == nullptr || *local == L'\0' ? "" : Narrow(local) + std::string(kLocalTail);
}

}  // namespace zorvik::history
