// The command line's checks of a path given in UTF-8, in a folder whose name Windows' ANSI code
// page cannot spell.
#include <gtest/gtest.h>

#include <windows.h>

#include <filesystem>
#include <fstream>

#include "cli/ConfigForms.h"
#include "cli/System.h"

namespace zorvik::cli {
namespace {

namespace fs = std::filesystem;

TEST(WindowsCliPaths, AFolderWithPolishLettersIsFoundAndItsImageKnown) {
    const fs::path folder =
        fs::temp_directory_path() / (L"zażółć-" + std::to_wstring(::GetCurrentProcessId()));
    fs::create_directories(folder);
    const std::u8string u8 = folder.u8string();
    const std::string utf8(u8.begin(), u8.end());
    std::ofstream(folder / L"obraz.bin", std::ios::binary) << std::string(256, '\0');

    EXPECT_NO_THROW(CheckOutputPlace(utf8 + "\\wynik.zvk"));
    EXPECT_ANY_THROW(CheckOutputPlace(utf8));  // a folder is no output
    EXPECT_TRUE(IsImageFile(utf8 + "\\obraz.bin"));
    EXPECT_TRUE(fs::exists(NativePath(utf8 + "\\obraz.bin")));
    fs::remove_all(folder);
}

}  // namespace
}  // namespace zorvik::cli
