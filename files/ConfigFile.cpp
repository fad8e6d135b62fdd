// Reading and writing configuration files.
#include "files/ConfigFile.h"

#include <algorithm>

#include "files/FileIo.h"

namespace zorvik {

std::optional<std::vector<std::uint8_t>> ReadWholeConfigFile(
    const std::string& path, const std::function<void(std::uint64_t size)>& checkSize) {
    InputFile file(path);
    const std::uint64_t size = file.Size();
    if (checkSize) {
        checkSize(size);
    }
    if (size > kMaxConfigFileSize) {
        return std::nullopt;
    }
    // A file shorter than an image fails to fill one: "Read beyond end of file".
    std::vector<std::uint8_t> bytes(std::max<std::uint64_t>(size, kImageSize));
    file.ReadExactly(bytes);
    return bytes;
}

std::optional<ConfigImage> ReadConfigFile(
    const std::string& path, const std::function<void(std::uint64_t size)>& checkSize) {
    const auto bytes = ReadWholeConfigFile(path, checkSize);
    if (!bytes) {
        return std::nullopt;
    }
    ConfigImage image{};
    std::copy_n(bytes->begin(), image.size(), image.begin());
    return image;
}

void WriteConfigFile(const std::string& path, const ConfigImage& image) {
    ReplaceFileContents(path, image);
}

}  // namespace zorvik
