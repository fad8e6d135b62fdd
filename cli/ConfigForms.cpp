// Reading and writing configuration files for the command line.
#include "cli/ConfigForms.h"

#include <iostream>
#include <iterator>
#include <span>

#include "cli/ExitCode.h"
#include "files/ConfigFile.h"
#include "files/FileIo.h"

namespace zorvik::cli {

namespace {

constexpr std::uint64_t kMaxTextFileSize = 1 << 20;  // a form is a few kilobytes at most

CliError FileFailure(const std::string& path, const std::string& what) {
    return CliError(Exit::FileError, path + ": " + what);
}

}  // namespace

ConfigImage LoadImageFile(const std::string& path) {
    try {
        InputFile file(path);
        const std::uint64_t size = file.Size();
        if (size > kMaxConfigFileSize) {
            throw FileFailure(
                path, "too large for a configuration file (" + std::to_string(size) + " bytes)");
        }
        if (size < static_cast<std::uint64_t>(kImageSize)) {
            throw FileFailure(path, "too short for a configuration file (" + std::to_string(size) +
                                        " of " + std::to_string(kImageSize) + " bytes)");
        }
        ConfigImage image{};
        file.ReadExactly(image);
        return image;
    } catch (const EInOutError& error) {
        throw FileFailure(path, error.what());
    }
}

void SaveImageFile(const std::string& path, const ConfigImage& image) {
    try {
        ReplaceFileContents(path, image);
    } catch (const EInOutError& error) {
        throw FileFailure(path, error.what());
    }
}

void SaveTextFile(const std::string& path, const std::string& text) {
    try {
        ReplaceFileContents(
            path, std::span(reinterpret_cast<const std::uint8_t*>(text.data()), text.size()));
    } catch (const EInOutError& error) {
        throw FileFailure(path, error.what());
    }
}

std::string LoadTextFile(const std::string& path) {
    if (path == "-") {
        return std::string(std::istreambuf_iterator<char>(std::cin), {});
    }
    try {
        InputFile file(path);
        const std::uint64_t size = file.Size();
        if (size > kMaxTextFileSize) {
            throw FileFailure(path, "too large for a configuration file");
        }
        std::string text(static_cast<std::size_t>(size), '\0');
        file.ReadExactly(std::span(reinterpret_cast<std::uint8_t*>(text.data()), text.size()));
        return text;
    } catch (const EInOutError& error) {
        throw FileFailure(path, error.what());
    }
}

}  // namespace zorvik::cli
