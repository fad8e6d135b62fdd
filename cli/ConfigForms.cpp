// Reading and writing configuration files for the command line.
#include "cli/ConfigForms.h"

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <iostream>
#include <new>
#include <span>

#include <nlohmann/json.hpp>

#include "cli/CommandSupport.h"
#include "cli/Console.h"
#include "cli/ExitCode.h"
#include "cli/Suggest.h"
#include "cli/System.h"
#include "config/ConfigDiff.h"
#include "config/ConfigJson.h"
#include "config/ConfigText.h"
#include "config/FormGrammar.h"
#include "config/Utf8.h"
#include "files/ConfigFile.h"
#include "files/FileIo.h"

namespace zorvik::cli {

namespace {

constexpr std::uint64_t kMaxTextFileSize = 1 << 20;  // a form is a few kilobytes at most
constexpr const char* kStandardInput = "-";
constexpr std::size_t kReadChunk = 16384;

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

std::string WithoutByteOrderMark(std::string text) {
    if (text.starts_with(kUtf8ByteOrderMark)) {
        text.erase(0, kUtf8ByteOrderMark.size());
    }
    return text;
}

// Bytes that a person wrote as a form rather than an image: only printable characters and line
// ends, with a "key = value" or a JSON object in them. A window's image always holds bytes
// below 0x20 (its unused bytes are zero, its number fields have their length bytes).
bool IsFormText(const std::string& bytes) {
    const bool printable = std::none_of(bytes.begin(), bytes.end(), [](char c) {
        const auto byte = static_cast<unsigned char>(c);
        return byte < 0x20 && c != '\t' && c != '\n' && c != '\r';
    });
    const std::string text = WithoutByteOrderMark(bytes);
    return printable && (LooksLikeJson(text) || text.find('=') != std::string::npos);
}

// All of an open descriptor, refusing more than a form can be.
std::string ReadAll(int fd, const std::string& path) {
    std::string text;
    std::string chunk(kReadChunk, '\0');
    for (;;) {
        const ssize_t got = ::read(fd, chunk.data(), chunk.size());
        if (got < 0) {
            if (errno == EINTR) {
                StopIfInterrupted();
                continue;
            }
            throw FileFailure(path, std::strerror(errno));
        }
        if (got == 0) {
            return text;
        }
        if (text.size() + static_cast<std::size_t>(got) > kMaxTextFileSize) {
            throw FileFailure(path, "too large for a configuration file (more than " +
                                        std::to_string(kMaxTextFileSize) + " bytes)");
        }
        text.append(chunk.data(), static_cast<std::size_t>(got));
    }
}

void Replace(const std::string& path, std::span<const std::uint8_t> bytes) {
    if (path == kStandardInput) {  // as an output, "-" is standard output
        std::cout.write(reinterpret_cast<const char*>(bytes.data()),
                        static_cast<std::streamsize>(bytes.size()));
        if (!std::cout.flush()) {
            throw CliError(Exit::FileError, "cannot write to standard output");
        }
        return;
    }
    try {
        ReplaceFileContents(path, bytes);
    } catch (const EInOutError& error) {
        throw FileFailure(path, FileErrorWords(error));
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

Form OutputForm(const std::string& command, const std::string& path, std::optional<Form> chosen) {
    if (chosen && *chosen != Form::Image && FormOfName(path, Form::Text) == Form::Image) {
        throw CliError(Exit::Usage, command + ": " + path +
                                        ": a .zvk file holds a 256-byte image; give the text or "
                                        "JSON form a name ending in .txt or .json");
    }
    return chosen ? *chosen : FormOfName(path, Form::Image);
}

bool IsImageFile(const std::string& path) {
    if (path == kStandardInput) {
        return false;
    }
    if (FormOfName(path, Form::Text) == Form::Image) {
        return true;
    }
    // Only a plain file is looked into: a pipe's bytes would be gone for the real reading.
    const std::filesystem::path native = NativePath(path);
    std::error_code error;
    if (!std::filesystem::is_regular_file(native, error) ||
        std::filesystem::file_size(native, error) != static_cast<std::uintmax_t>(kImageSize)) {
        return false;
    }
    const int fd = OpenForReading(path);
    if (fd < 0) {
        return false;  // the real reading reports why
    }
    std::string bytes(static_cast<std::size_t>(kImageSize), '\0');
    const ssize_t got = ::read(fd, bytes.data(), bytes.size());
    ::close(fd);
    if (got != kImageSize) {
        return false;
    }
    return bytes.find('\0') != std::string::npos || !IsUtf8(bytes);
}

void RefuseSameFile(const std::string& output, const std::string& input, const std::string& what) {
    // A file that is not there yet cannot be the input. Windows gives no inode to stat, so the
    // system is asked in its own terms.
    if (output != kStandardInput && input != kStandardInput && IsSameFile(output, input)) {
        throw FileFailure(output, "is " + input + " itself; " + what +
                                      " would replace it before it is read: give another name");
    }
}

std::set<std::string> GivenKeys(const std::string& text, const std::string& path) {
    std::set<std::string> keys;
    const std::string form = WithoutByteOrderMark(text);
    if (EndsWith(path, ".json") || LooksLikeJson(form)) {
        // Read once already by ParseForm; a form that does not parse names nothing here.
        const nlohmann::json object = nlohmann::json::parse(form, nullptr, false);
        if (object.is_object()) {
            for (const auto& member : object.items()) {
                keys.insert(member.key());
            }
        }
        return keys;
    }
    FormReader reader(form);
    while (const std::optional<FormLine> line = reader.Next()) {
        keys.emplace(line->key);
    }
    return keys;
}

std::vector<NotHeldSetting> NotHeld(const Configuration& wanted,
                                    const std::set<std::string>& given) {
    std::vector<NotHeldSetting> settings;
    const Configuration stored = DecodeConfiguration(EncodeConfiguration(wanted));
    if (stored == wanted) {
        return settings;  // the usual case; listing every setting twice is a table's main cost
    }
    for (const Difference& difference : Differences(wanted, stored)) {
        if (given.contains(difference.key)) {
            settings.push_back({difference.key, difference.a, difference.b});
        }
    }
    return settings;
}

std::string Describe(const NotHeldSetting& setting) {
    const auto line = [&setting](const std::string& value) {
        return setting.key + " =" + (value.empty() ? "" : " " + value);
    };
    return "the device will not hold " + line(setting.given) + "; it will store " +
           line(setting.stored);
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
        const std::vector<std::uint8_t> bytes = *ReadWholeConfigFile(path, refuseBySize);
        if (IsFormText(std::string(bytes.begin(), bytes.end()))) {
            throw FileFailure(path,
                              "holds a text or JSON form, not a 256-byte image; a form needs a "
                              "name ending in .txt or .json");
        }
        ConfigImage image{};
        std::copy_n(bytes.begin(), image.size(), image.begin());
        return image;
    } catch (const EInOutError& error) {
        throw FileFailure(path, error.what());
    }
}

void SaveImageFile(const std::string& path, const ConfigImage& image) {
    Replace(path, image);
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
        if (error.Key().empty() || IsConfigKey(error.Key())) {
            throw FileFailure(path, error.what());
        }
        std::vector<std::string> keys;
        for (const ConfigEntry& entry : ConfigKeyValues()) {
            keys.push_back(entry.key);
        }
        throw FileFailure(path, error.what() + DidYouMean(error.Key(), keys));
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
    // Read as a stream, so that a pipe, a FIFO or /dev/null serves as well as a file; a read
    // error (a folder, a closed standard input) is an error, never an empty form.
    struct Closer {
        int fd;
        ~Closer() {
            if (fd > STDIN_FILENO) {
                ::close(fd);
            }
        }
    } file{STDIN_FILENO};
    if (path != kStandardInput) {
        file.fd = OpenForReading(path);
        if (file.fd < 0) {
            throw FileFailure(path, std::strerror(errno));
        }
    }
    struct stat info {};
    if (::fstat(file.fd, &info) != 0) {
        throw FileFailure(path, std::strerror(errno));
    }
    if (S_ISDIR(info.st_mode)) {
        throw FileFailure(path, std::strerror(EISDIR));
    }
    if (S_ISREG(info.st_mode) && static_cast<std::uint64_t>(info.st_size) > kMaxTextFileSize) {
        throw FileFailure(path, "too large for a configuration file (" +
                                    std::to_string(info.st_size) + " bytes)");
    }
    try {
        std::string text = ReadAll(file.fd, path);
        if (LooksLikeUtf16(text)) {
            throw FileFailure(path, std::string(kUtf16Refused));
        }
        return WithoutByteOrderMark(std::move(text));
    } catch (const std::bad_alloc&) {
        throw FileFailure(path, "not enough memory to read it");
    }
}

bool IsEmptyForm(const std::string& text) {
    if (LooksLikeJson(text)) {
        std::string bare = text;
        std::erase_if(bare, [](char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; });
        return bare == "{}";
    }
    std::string_view rest = text;
    while (!rest.empty()) {
        const auto end = rest.find('\n');
        const std::string_view line = rest.substr(0, end);
        rest.remove_prefix(end == std::string_view::npos ? rest.size() : end + 1);
        const auto first = line.find_first_not_of(" \t\r");
        if (first != std::string_view::npos && line[first] != '#') {
            return false;
        }
    }
    return true;
}

bool IsStandardInput(const std::string& path) {
    if (path == kStandardInput) {
        return true;
    }
    return IsStandardInputFile(path);
}

void CheckOutputPlace(const std::string& path) {
    if (path == kStandardInput) {
        return;
    }
    const std::filesystem::path native = NativePath(path);
    std::error_code error;
    if (std::filesystem::is_directory(native, error)) {
        throw FileFailure(path, std::strerror(EISDIR));
    }
    std::filesystem::path folder = native.parent_path();
    if (folder.empty()) {
        folder = ".";
    }
    const std::filesystem::file_status status = std::filesystem::status(folder, error);
    if (error) {
        throw FileFailure(path, std::strerror(error.value()));
    }
    if (!std::filesystem::is_directory(status)) {
        throw FileFailure(path, std::strerror(ENOTDIR));
    }
}

}  // namespace zorvik::cli
