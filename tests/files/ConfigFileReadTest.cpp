// The one reader and writer of configuration files, on real files in a scratch folder.
#include <gtest/gtest.h>

#include <cstdint>
#include <fstream>
#include <iterator>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "files/ConfigFile.h"
#include "files/FileError.h"
#include "tests/support/TempFolder.h"

namespace zorvik::testing {
namespace {

using Bytes = TempFolder::Bytes;

Bytes Head(const Bytes& bytes) {
    return Bytes(bytes.begin(), bytes.begin() + 256);
}

TEST(ConfigFileRead, GivesTheFirst256BytesUpTo2048BytesAndTellsTheSizeFirst) {
    TempFolder folder;
    ASSERT_TRUE(folder.IsValid());
    for (const std::size_t size : {256u, 300u, 2048u}) {
        const Bytes bytes = Pattern(size);
        std::optional<std::uint64_t> told;
        const auto image =
            ReadConfigFile(folder.Write("a.zvk", bytes), [&told](std::uint64_t s) { told = s; });
        ASSERT_TRUE(image.has_value()) << size;
        EXPECT_EQ(Bytes(image->begin(), image->end()), Head(bytes)) << size;
        EXPECT_EQ(told, size);
    }
    EXPECT_FALSE(ReadConfigFile(folder.Write("big.zvk", Pattern(2049))).has_value());
}

TEST(ConfigFileRead, RaisesForShortOrMissingFilesAndLetsTheSizeCheckRefuseFirst) {
    TempFolder folder;
    ASSERT_TRUE(folder.IsValid());
    const std::string shortFile = folder.Write("short.zvk", Pattern(255));
    EXPECT_THROW((void)ReadConfigFile(shortFile), EInOutError);
    EXPECT_THROW((void)ReadConfigFile(folder.PathOf("missing.zvk")), EInOutError);
    // The check's own error, not the reader's, for a file it refuses.
    const auto refuse = [](std::uint64_t) { throw std::logic_error("refused"); };
    EXPECT_THROW((void)ReadConfigFile(shortFile, refuse), std::logic_error);
    EXPECT_THROW((void)ReadConfigFile(folder.Write("big.zvk", Pattern(4096)), refuse),
                 std::logic_error);
}

TEST(ConfigFileWrite, MakesTheImageTheWholeFile) {
    TempFolder folder;
    ASSERT_TRUE(folder.IsValid());
    const std::string path = folder.Write("old.zvk", Pattern(1000));
    ConfigImage image{};
    for (std::size_t i = 0; i < image.size(); ++i) {
        image[i] = static_cast<std::uint8_t>((i * 7 + 13) & 0xFF);
    }
    WriteConfigFile(path, image);
    std::ifstream in(path, std::ios::binary);
    const Bytes written((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    EXPECT_EQ(written, Bytes(image.begin(), image.end()));
}

}  // namespace
}  // namespace zorvik::testing
