// Reading and writing configuration files for the command line.
#include "cli/ConfigForms.h"

#include <algorithm>
#include <cctype>
#include <iostream>
#include <iterator>
#include <span>

#include "cli/ExitCode.h"
#include "config/ConfigJson.h"
#include "config/ConfigText.h"
#include "files/ConfigFile.h"
#include "files/FileIo.h"

namespace zorvik::cli {

namespace {

constexpr std::uint64_t kMaxTextFileSize = 1 << 20;  // a form is a few kilobytes at most
constexpr const char* kStandardInput = "-";

CliError FileFailure(const std::string& path, const std::string& what) {
    return CliError(Exit::FileError,
                    (path == kStandardInput ? "standard input" : path) + ": " + what);
}

bool EndsWith(const std::string& path, std::string_view extension) {
    if (path.size() < extension.size()) {
        return false;
    }
    return std::equal(extension.begin(), extension.end(), path.end() - extension.size(),
                      [](char a, char b) {
                          return std::tolower(static_cast<unsigned char>(a)) ==
                                 std::tolower(static_cast<unsigned char>(b));
                      });
}

bool LooksLikeJson(const std::string& text) {
    const auto first = text.find_first_not_of(" \t\r\n");
    return first != std::string::npos && text[first] == '{';
}

void Replace(const std::string& path, std::span<const std::uint8_t> bytes) {
    try {
        ReplaceFileContents(path, bytes);
    } catch (const EInOutError& error) {
        throw FileFailure(path, error.what());
    }
}

}  // namespace

Form FormOfName(const std::string& path, Form otherwise) {
    if (EndsWith(path, ".zvk")) {
        return Form::Image;
    }
    if (EndsWith(path, ".json")) {
        return Form::Json;
    }
    if (EndsWith(path, ".txt")) {
        return Form::Text;
    }
    return otherwise;
}

bool IsImageFile(const std::string& path) {
    return path != kStandardInput && FormOfName(path, Form::Text) == Form::Image;
}

ConfigImage LoadImageFile(const std::string& path) {
    // The window's reader, refusing with a reason both the files it would refuse and those it
    // would fail to read.
    const auto refuseBySize = [&path](std::uint64_t size) {
        if (size > kMaxConfigFileSize) {
            throw FileFailure(
                path, "too large for a configuration file (" + std::to_string(size) + " bytes)");
        }
        if (size < static_cast<std::uint64_t>(kImageSize)) {
            throw FileFailure(path, "too short for a configuration file (" + std::to_string(size) +
                                        " of " + std::to_string(kImageSize) + " bytes)");
        }
    };
    try {
        return *ReadConfigFile(path, refuseBySize);
    } catch (const EInOutError& error) {
        throw FileFailure(path, error.what());
    }
}

void SaveImageFile(const std::string& path, const ConfigImage& image) {
    try {
        WriteConfigFile(path, image);
    } catch (const EInOutError& error) {
        throw FileFailure(path, error.what());
    }
}

Configuration LoadConfiguration(const std::string& path, const Configuration& base) {
    if (IsImageFile(path)) {
        return DecodeConfiguration(LoadImageFile(path));
    }
    return ParseForm(LoadTextFile(path), path, base);
}

Configuration ParseForm(const std::string& text, const std::string& path,
                        const Configuration& base) {
    try {
        if (EndsWith(path, ".json") || LooksLikeJson(text)) {
            return ParseConfigJson(text, base);
        }
        return ParseConfigText(text, base);
    } catch (const ConfigParseError& error) {
        throw FileFailure(path, error.what());
    }
}

std::string Render(const Configuration& value, Form form) {
    return form == Form::Json ? FormatConfigJson(value) : FormatConfigText(value);
}

void SaveConfiguration(const std::string& path, const Configuration& value, Form form) {
    if (form == Form::Image) {
        SaveImageFile(path, EncodeConfiguration(value));
        return;
    }
    const std::string text = Render(value, form);
    Replace(path, std::span(reinterpret_cast<const std::uint8_t*>(text.data()), text.size()));
}

std::string LoadTextFile(const std::string& path) {
    if (path == kStandardInput) {
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
