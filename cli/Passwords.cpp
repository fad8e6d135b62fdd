// Password sources: file, environment, terminal without echo, standard input.
#include "cli/Passwords.h"

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <iostream>

#include "cli/ConfigForms.h"
#include "cli/Console.h"
#include "cli/ExitCode.h"
#include "cli/System.h"
#include "config/Utf8.h"
#include "device/DeviceExchange.h"

namespace zorvik::cli {

namespace {

constexpr std::size_t kAccessPasswordLength = 4;  // characters of an access password
constexpr std::size_t kLongestLine = 4096;        // a password file's first line, at most

std::string gPasswordSource;  // what AccessPasswordSource says

[[noreturn]] void FileFailure(const std::string& path, int error) {
    throw CliError(Exit::FileError, path + ": " + std::strerror(error));
}

// The first line of a password file, read a byte at a time so that nothing after it is taken
// from a pipe. A folder or a read error is a file error.
std::string FirstLine(const std::string& path) {
    const int fd = OpenForReading(path);
    if (fd < 0) {
        FileFailure(path, errno);
    }
    struct Closer {
        int fd;
        ~Closer() { ::close(fd); }
    } closer{fd};
    struct stat info {};
    if (::fstat(fd, &info) != 0) {
        FileFailure(path, errno);
    }
    if (S_ISDIR(info.st_mode)) {
        FileFailure(path, EISDIR);
    }
    std::string line;
    while (line.size() < kLongestLine) {
        char c = 0;
        const ssize_t n = ::read(fd, &c, 1);
        if (n < 0 && errno == EINTR) {
            StopIfInterrupted();
            continue;
        }
        if (n < 0) {
            FileFailure(path, errno);
        }
        if (n == 0 || c == '\n') {
            break;
        }
        line += c;
    }
    return line;
}

// A line without its line end ("\n" or "\r\n").
std::string Chomp(std::string line) {
    if (!line.empty() && line.back() == '\r') {
        line.pop_back();
    }
    return line;
}

}  // namespace

std::u16string FromUtf8(const std::string& text) {
    constexpr char16_t kReplacement = 0xFFFD;
    std::u16string units;
    std::size_t i = 0;
    while (i < text.size()) {
        const auto lead = static_cast<unsigned char>(text[i]);
        if (lead < 0x80) {
            units += static_cast<char16_t>(lead);
            ++i;
            continue;
        }
        // The sequence's length, and the range its second byte must lie in so that it is neither
        // overlong, a surrogate nor beyond U+10FFFF.
        std::size_t length = 0;
        unsigned char low = 0x80;
        unsigned char high = 0xBF;
        char32_t code = 0;
        if (lead >= 0xC2 && lead <= 0xDF) {
            length = 2;
            code = lead & 0x1F;
        } else if (lead >= 0xE0 && lead <= 0xEF) {
            length = 3;
            code = lead & 0x0F;
            low = lead == 0xE0 ? 0xA0 : 0x80;
            high = lead == 0xED ? 0x9F : 0xBF;
        } else if (lead >= 0xF0 && lead <= 0xF4) {
            length = 4;
            code = lead & 0x07;
            low = lead == 0xF0 ? 0x90 : 0x80;
            high = lead == 0xF4 ? 0x8F : 0xBF;
        }
        // A bad lead byte, or the longest start of a sequence that breaks off, stands as one
        // replacement character.
        std::size_t taken = 1;
        bool whole = length > 0;
        for (; whole && taken < length; ++taken) {
            if (i + taken >= text.size()) {
                whole = false;
                break;
            }
            const auto next = static_cast<unsigned char>(text[i + taken]);
            if (next < low || next > high) {
                whole = false;
                break;
            }
            code = (code << 6) | (next & 0x3F);
            low = 0x80;
            high = 0xBF;
        }
        i += taken;
        if (!whole) {
            units += kReplacement;
        } else if (code < 0x10000) {
            units += static_cast<char16_t>(code);
        } else {
            code -= 0x10000;
            units += static_cast<char16_t>(0xD800 + (code >> 10));
            units += static_cast<char16_t>(0xDC00 + (code & 0x3FF));
        }
    }
    return units;
}

std::u16string AccessPassword(const std::optional<std::string>& file) {
    std::string text;
    std::string source;
    if (file) {
        text = Chomp(FirstLine(*file));
        source = *file;
        if (LooksLikeUtf16(text)) {
            throw CliError(Exit::FileError, *file + ": " + std::string(kUtf16Refused));
        }
        // An editor's mark that the file is UTF-8, not a part of the password.
        if (text.starts_with(kUtf8ByteOrderMark)) {
            text.erase(0, kUtf8ByteOrderMark.size());
        }
    } else if (const char* value = std::getenv(kPasswordVariable); value != nullptr) {
        text = value;
        source = kPasswordVariable;
    } else {
        text = kFactoryPassword;
    }
    gPasswordSource = source.empty() ? std::string("the factory password; give yours with ") +
                                           kPasswordVariable + " or --password-file"
                                     : "from " + source;
    std::u16string password = FromUtf8(text);
    if (password.size() != kAccessPasswordLength) {
        throw CliError(Exit::Usage, "the access password in " + source + " is not 4 characters");
    }
    return password;
}

std::string AccessPasswordSource() {
    return gPasswordSource;
}

bool IsPlainAscii(const std::u16string& password) {
    return std::all_of(password.begin(), password.end(),
                       [](char16_t c) { return c >= u' ' && c <= u'~'; });
}

std::string PasswordReader::Read(const std::string& prompt,
                                 const std::optional<std::string>& confirm,
                                 const std::function<void(const std::string&)>& check) {
    if (fromStdin_) {
        std::string line;
        if (!std::getline(std::cin, line)) {
            throw CliError(Exit::Usage, "no password on standard input");
        }
        line = Chomp(line);
        if (check) {
            check(line);
        }
        return line;
    }
    const auto first = ReadHiddenLine(prompt);
    if (!first) {
        throw CliError(
            Exit::Usage,
            "no terminal to type the password on; give it on standard input with " + stdinOption_);
    }
    if (check) {
        check(*first);
    }
    if (confirm && ReadHiddenLine(*confirm) != first) {
        throw CliError(Exit::Usage, "the passwords typed do not match");
    }
    return *first;
}

}  // namespace zorvik::cli
