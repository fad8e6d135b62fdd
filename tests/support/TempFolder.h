// A throw-away folder for the files a test writes and reads, removed with everything in it.
#pragma once

#include <sys/resource.h>

#include <csignal>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace zorvik::testing {

class TempFolder {
public:
    using Bytes = std::vector<std::uint8_t>;

    TempFolder();
    // Gives the owner back every right first, so a test that locked the folder still leaves
    // nothing behind.
    ~TempFolder();
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    [[nodiscard]] bool IsValid() const { return !root_.empty(); }
    [[nodiscard]] const std::string& Root() const { return root_; }
    [[nodiscard]] std::string PathOf(const std::string& name) const { return root_ + "/" + name; }

    // Writes `bytes` as the file `name` (replacing it) and returns its full path.
    std::string Write(const std::string& name, const Bytes& bytes) const;
    // The names in the folder, sorted.
    [[nodiscard]] std::vector<std::string> Entries() const;

    // All of the file at `path`; nothing if it cannot be read.
    [[nodiscard]] static Bytes Read(const std::string& path);

private:
    std::string root_;
};

// Deterministic, non-trivial file contents of any size.
[[nodiscard]] TempFolder::Bytes Pattern(std::size_t size);

// Holds the process's file size limit low while it lives, so that a write fails part way even
// for root (a read-only folder would not stop root). SIGXFSZ is ignored meanwhile; both are put
// back on every way out of the test.
class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t bytes);
    ~FileSizeLimit();
    FileSizeLimit(const FileSizeLimit&) = delete;
    FileSizeLimit& operator=(const FileSizeLimit&) = delete;

    [[nodiscard]] bool IsSet() const { return set_; }

private:
    rlimit saved_{};
    void (*previousHandler_)(int) = SIG_DFL;
    bool set_ = false;
};

}  // namespace zorvik::testing
