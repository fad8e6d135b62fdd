// Files on Windows: replaced whole or not at all, paths in UTF-8, the same errors as on Linux.
#include <gtest/gtest.h>

#include <windows.h>

#include <filesystem>
#include <fstream>
#include <iterator>

#include "files/FileIo.h"
#include "files/History.h"
#include "files/WideText.h"

namespace zorvik {
namespace {

namespace fs = std::filesystem;

class WindowsFiles : public ::testing::Test {
protected:
    void SetUp() override {
        root_ =
            fs::temp_directory_path() / ("zorvik-files-" + std::to_string(::GetCurrentProcessId()));
        fs::create_directories(root_);
    }
    void TearDown() override {
        for (const auto& entry : fs::directory_iterator(root_)) {
            ::SetFileAttributesW(entry.path().c_str(), FILE_ATTRIBUTE_NORMAL);
        }
        fs::remove_all(root_);
    }
    // A path below the folder, as the program has it: UTF-8.
    std::string PathOf(const std::string& name) const {
        return Narrow(root_.wstring()) + "\\" + name;
    }
    static std::string Content(const std::string& path) {
        std::ifstream in(fs::path(Widen(path)), std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), {});
    }
    static std::span<const std::uint8_t> Bytes(const std::string& text) {
        return {reinterpret_cast<const std::uint8_t*>(text.data()), text.size()};
    }

    fs::path root_;
};

TEST_F(WindowsFiles, AReplacementIsWholeLeavesNoTemporaryFileAndTakesAnyName) {
    for (const std::string name : {"a.zvk", "zażółć gęślą.zvk"}) {
        const std::string path = PathOf(name);
        ReplaceFileContents(path, Bytes("old\r\n"));
        ReplaceFileContents(path, Bytes(std::string("new\n\x00\x1a", 6)));
        EXPECT_EQ(Content(path), std::string("new\n\x00\x1a", 6)) << name;
    }
    EXPECT_EQ(std::distance(fs::directory_iterator(root_), fs::directory_iterator()), 2);
}

TEST_F(WindowsFiles, FailuresLeaveTheOldFileAndSayWhatLinuxSays) {
    const std::string locked = PathOf("locked.zvk");
    ReplaceFileContents(locked, Bytes("kept"));
    ::SetFileAttributesW(Widen(locked).c_str(), FILE_ATTRIBUTE_READONLY);
    const struct {
        std::string path;
        const char* said;
    } rows[] = {
        {locked, "Permission denied"},
        {PathOf("missing\\a.zvk"), "No such file or directory"},
        {Narrow(root_.wstring()), "Is a directory"},
    };
    for (const auto& row : rows) {
        try {
            ReplaceFileContents(row.path, Bytes("new"));
            ADD_FAILURE() << row.path;
        } catch (const EInOutError& error) {
            EXPECT_STREQ(error.what(), row.said) << row.path;
        }
    }
    EXPECT_EQ(Content(locked), "kept");
}

TEST_F(WindowsFiles, AppendedLinesFollowEachOtherAndReadBackExactly) {
    const std::string path = PathOf("trace.txt");
    {
        AppendFile file(path);
        file.Append("one\n");
    }
    AppendFile(path).Append("two\n");
    InputFile input(path);
    EXPECT_EQ(input.Size(), 8u);
    std::uint8_t bytes[8];
    input.ReadExactly(bytes);
    EXPECT_EQ(std::string(bytes, bytes + 8), "one\ntwo\n");
    EXPECT_THROW(input.ReadExactly(std::span(bytes, 1)), EInOutError);
}

// A profile folder may be named with Polish letters: the history is kept and listed there, and a
// file where its folder should be is an error, not an empty history.
TEST_F(WindowsFiles, TheHistoryLivesUnderAnyFolderNameAndNeverHidesAFault) {
    const HistoryStore store(PathOf("Łódź\\zorvik-cli\\history"));
    EXPECT_TRUE(store.List().records.empty());
    HistoryRecord record;
    record.command = "read";
    const HistoryRecord kept = store.Keep(record, ConfigImage{});
    ASSERT_EQ(store.List().records.size(), 1u);
    EXPECT_EQ(Content(store.ImagePath(kept)).size(), 256u);
    ReplaceFileContents(PathOf("plik"), Bytes("x"));
    EXPECT_THROW((void)HistoryStore(PathOf("plik\\zorvik-cli\\history")).List(), EInOutError);
}

}  // namespace
}  // namespace zorvik
