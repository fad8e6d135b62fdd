// The main window's file menu: open and save a configuration file; the same open for a file named
// on the command line or dropped on the window.
#include <filesystem>
#include <optional>

#include "files/ConfigFile.h"
#include "form/Form1.h"

#include <cctype>
#include "form/FormText.h"

namespace zorvik::form {

namespace {

constexpr const char* kOpenFilter = "Config_File  *.zvk|*.zvk";
constexpr const char* kSaveFilter = "Config_File *.zvk|*.zvk";

constexpr const char* kTooLargeText = "Plik jest za duży";
constexpr const char* kTooLargeCaption = "Błąd";
constexpr const char* kBlankLabel = " ";

constexpr int kFileLabelWidth = 240;  // the file name label's width once it names a file

}  // namespace

// `path` taken from the current folder; as given when there is none to take it from (an empty
// path, a current folder that is gone), for opening to fail on as it would.
std::string FullPath(const std::string& path) {
    std::error_code error;
    const std::filesystem::path full = std::filesystem::absolute(path, error);
    return error ? path : full.string();
}

std::optional<std::string> DroppedConfigFile(const std::vector<std::string>& paths) {
    if (paths.size() != 1) {
        return std::nullopt;
    }
    std::string extension = std::filesystem::path(paths.front()).extension().string();
    for (char& letter : extension) {
        letter = static_cast<char>(std::tolower(static_cast<unsigned char>(letter)));
    }
    if (extension != std::string(".") + kConfigFileExtension) {
        return std::nullopt;
    }
    return paths.front();
}

FileDialogOptions ConfigOpenDialogOptions() {
    return {kOpenFilter, "", false};
}

FileDialogOptions ConfigSaveDialogOptions() {
    return {kSaveFilter, kConfigFileExtension, true};
}

void TForm1::ShowFileName(const std::string& path, const std::string& text) {
    Label45.SetCaption(Utf16(text));
    fileLabelWidth_ = kFileLabelWidth;
    Label45.SetHint(Utf16(path));
}

void TForm1::Otwrz1Click() {
    services_.runner.Run([this] {
        const auto path = services_.dialogs.OpenFileName(OpenDialog1);
        if (path) {
            OpenFileAt(*path);
        }
    });
}

// A file longer than 2048 bytes is refused with a message, and the label then shows a blank with
// the refused path as its hint; a shorter one, or one that cannot be read, raises and leaves the
// label alone. Once the image is read the label names the file by its full path.
void TForm1::OpenFile(const std::string& path) {
    services_.runner.Run([this, &path] { OpenFileAt(path); });
}

void TForm1::OpenFileAt(const std::string& chosen) {
    const std::string path = FullPath(chosen);
    // The file is closed before the message and before decoding; a failure to read raises
    // before the label changes, so it keeps naming the file whose settings the window still
    // shows.
    const std::optional<ConfigImage> image = ReadConfigFile(path);
    if (!image) {
        services_.dialogs.MessageBox(kTooLargeText, kTooLargeCaption, kMbError);
        ShowFileName(path, kBlankLabel);
        return;
    }
    ShowFileName(path, path);
    ShowConfiguration(DecodeConfiguration(*image));
}

// Writes exactly the 256 bytes of the image the window shows, replacing the file only once the
// new one is complete.
void TForm1::Zapisz1Click() {
    services_.runner.Run([this] {
        const auto path = services_.dialogs.SaveFileName(SaveDialog1);
        if (path) {
            WriteConfigFile(*path, EncodeConfiguration(ShownConfiguration()));
        }
    });
}

}  // namespace zorvik::form
