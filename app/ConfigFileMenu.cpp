// The file menu's open and save commands.
#include "app/ConfigFileMenu.h"

#include <filesystem>

#include "files/ConfigFile.h"

namespace zorvik {

namespace {

constexpr const char* kOpenFilter = "Config_File  *.zvk|*.zvk";
constexpr const char* kSaveFilter = "Config_File *.zvk|*.zvk";

constexpr const char* kTooLargeText = "Plik jest za duży";
constexpr const char* kTooLargeCaption = "Błąd";
constexpr const char* kBlankLabel = " ";

}  // namespace

std::string FullPath(const std::string& path) {
    std::error_code error;
    const std::filesystem::path full = std::filesystem::absolute(path, error);
    return error ? path : full.string();
}

FileDialogOptions ConfigOpenDialogOptions() {
    return {kOpenFilter, "", false};
}

FileDialogOptions ConfigSaveDialogOptions() {
    return {kSaveFilter, kConfigFileExtension, true};
}

std::optional<ConfigImage> OpenConfigFile(WindowDialogs& dialogs,
                                          const SetFileLabel& setFileLabel) {
    const auto path = dialogs.OpenFileName(ConfigOpenDialogOptions());
    if (!path) {
        return std::nullopt;
    }
    return OpenConfigFileAt(dialogs, *path, setFileLabel);
}

std::optional<ConfigImage> OpenConfigFileAt(WindowDialogs& dialogs, const std::string& chosen,
                                            const SetFileLabel& setFileLabel) {
    const std::string path = FullPath(chosen);
    // The file is closed before the message and before the caller decodes; a failure to read
    // raises before the label changes, so it keeps naming the file whose settings the window
    // still shows.
    const auto image = ReadConfigFile(path);
    if (!image) {
        dialogs.MessageBox(kTooLargeText, kTooLargeCaption, kMbError);
        setFileLabel(path, kBlankLabel);
        return std::nullopt;
    }
    setFileLabel(path, path);
    return image;
}

void SaveConfigFile(WindowDialogs& dialogs, const std::function<ConfigImage()>& encodeImage) {
    const auto path = dialogs.SaveFileName(ConfigSaveDialogOptions());
    if (!path) {
        return;
    }
    WriteConfigFile(*path, encodeImage());
}

}  // namespace zorvik
