// Reading and writing configuration files.
#include "files/ConfigFile.h"

#include "files/FileIo.h"

namespace zorvik {

std::optional<ConfigImage> ReadConfigFile(
    const std::string& path, const std::function<void(std::uint64_t size)>& checkSize) {
    InputFile file(path);
    const std::uint64_t size = file.Size();
    if (checkSize) {
        checkSize(size);
    }
    if (size > kMaxConfigFileSize) {
        return std::nullopt;
    }
    ConfigImage image{};
    file.ReadExactly(image);
    return image;
}

void WriteConfigFile(const std::string& path, const ConfigImage& image) {
    ReplaceFileContents(path, image);
}

}  // namespace zorvik
