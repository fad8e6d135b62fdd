// Reading and writing configuration files.
#include "files/ConfigFile.h"

#include <algorithm>

#include "files/FileIo.h"

namespace zorvik {

namespace {

// The file's size, once `checkSize` has seen it; nothing when it is too long to read.
std::optional<std::uint64_t> SizeToRead(const InputFile& file,
                                        const std::function<void(std::uint64_t size)>& checkSize) {
    const std::uint64_t size = file.Size();
    if (checkSize) {
        checkSize(size);
    }
    if (size > kMaxConfigFileSize) {
        return std::nullopt;
    }
    return size;
}

}  // namespace

std::optional<ConfigImage> ReadConfigFile(
    const std::string& path, const std::function<void(std::uint64_t size)>& checkSize) {
    InputFile file(path);
    if (!SizeToRead(file, checkSize)) {
        return std::nullopt;
    }
    ConfigImage image{};
    file.ReadExactly(image);
    return image;
}

std::optional<std::vector<std::uint8_t>> ReadWholeConfigFile(
    const std::string& path, const std::function<void(std::uint64_t size)>& checkSize) {
    InputFile file(path);
    const auto size = SizeToRead(file, checkSize);
    if (!size) {
        return std::nullopt;
    }
    // A file shorter than an image fails as ReadConfigFile fails on it.
    std::vector<std::uint8_t> bytes(std::max<std::uint64_t>(*size, kImageSize));
    file.ReadExactly(bytes);
    return bytes;
}

void WriteConfigFile(const std::string& path, const ConfigImage& image) {
    ReplaceFileContents(path, image);
}

}  // namespace zorvik
