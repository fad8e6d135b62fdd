// Throw-away folders for tests.
#include "tests/support/TempFolder.h"

#include <stdlib.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <system_error>

#include <gtest/gtest.h>

namespace zorvik::testing {

namespace fs = std::filesystem;

TempFolder::TempFolder() {
    std::string pattern = (fs::temp_directory_path() / "zorvik-test-XXXXXX").string();
    if (::mkdtemp(pattern.data()) == nullptr) {
        ADD_FAILURE() << "mkdtemp failed";
        return;
    }
    root_ = pattern;
}

TempFolder::~TempFolder() {
    if (root_.empty()) {
        return;
    }
    std::error_code ignored;
    fs::permissions(root_, fs::perms::owner_all, fs::perm_options::add, ignored);
    fs::remove_all(root_, ignored);
}

std::string TempFolder::Write(const std::string& name, const Bytes& bytes) const {
    const std::string path = PathOf(name);
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    file.write(reinterpret_cast<const char*>(bytes.data()),
               static_cast<std::streamsize>(bytes.size()));
    return path;
}

std::vector<std::string> TempFolder::Entries() const {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(root_)) {
        names.push_back(entry.path().filename().string());
    }
    std::sort(names.begin(), names.end());
    return names;
}

TempFolder::Bytes TempFolder::Read(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

TempFolder::Bytes Pattern(std::size_t size) {
    TempFolder::Bytes bytes(size);
    for (std::size_t i = 0; i < size; ++i) {
        bytes[i] = static_cast<std::uint8_t>((i * 7 + 13) & 0xFF);
    }
    return bytes;
}

FileSizeLimit::FileSizeLimit(rlim_t bytes) {
    if (::getrlimit(RLIMIT_FSIZE, &saved_) != 0) {
        ADD_FAILURE() << "getrlimit failed";
        return;
    }
    previousHandler_ = std::signal(SIGXFSZ, SIG_IGN);
    rlimit small = saved_;
    small.rlim_cur = bytes;
    set_ = ::setrlimit(RLIMIT_FSIZE, &small) == 0;
    if (!set_) {
        ADD_FAILURE() << "setrlimit failed";
    }
}

FileSizeLimit::~FileSizeLimit() {
    if (set_) {
        ::setrlimit(RLIMIT_FSIZE, &saved_);
    }
    std::signal(SIGXFSZ, previousHandler_);
}

}  // namespace zorvik::testing
