// The history store on a scratch folder: records kept whole and apart, however many writers.
#include <sys/stat.h>

#include <set>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

#include "files/History.h"
#include "tests/support/TempFolder.h"

namespace zorvik::testing {
namespace {

HistoryRecord Sample(const std::string& site) {
    HistoryRecord record;
    record.command = "provision";
    record.stage = "written";
    record.port = "COM41";
    record.site = site;
    record.outcome = "ok";
    return record;
}

ConfigImage ImageOf(std::uint8_t fill) {
    ConfigImage image{};
    image.fill(fill);
    return image;
}

TEST(History, KeepsEachRecordWithItsOwnImageWhenManyThreadsWriteAtOnce) {
    TempFolder folder;
    const HistoryStore store(folder.PathOf("state/zorvik-cli/history"));
    constexpr int kThreads = 8;
    constexpr int kEach = 25;
    {
        std::vector<std::jthread> writers;
        for (int t = 0; t < kThreads; ++t) {
            writers.emplace_back([&store, t] {
                for (int i = 0; i < kEach; ++i) {
                    (void)store.Keep(Sample(std::to_string(t)),
                                     ImageOf(static_cast<std::uint8_t>(t)));
                }
            });
        }
    }
    const std::vector<HistoryRecord> records = store.List();
    ASSERT_EQ(records.size(), std::size_t{kThreads * kEach});
    std::set<std::string> ids;
    for (const HistoryRecord& record : records) {
        ids.insert(record.id);
        const auto bytes = TempFolder::Read(store.ImagePath(record));
        ASSERT_EQ(bytes.size(), 256u);
        EXPECT_EQ(std::to_string(bytes[0]), record.site) << "an image under another's record";
    }
    EXPECT_EQ(ids.size(), records.size());
    for (std::size_t i = 1; i < records.size(); ++i) {
        EXPECT_GE(records[i - 1].time, records[i].time) << "not newest first";
    }
}

TEST(History, KeepsItsFolderAndFilesPrivateAndFindsRecordsByPrefix) {
    TempFolder folder;
    const HistoryStore store(folder.PathOf("history"));
    const HistoryRecord kept = store.Keep(Sample("north"), std::nullopt);
    const HistoryRecord withImage = store.Keep(Sample("south"), ImageOf(7));
    struct stat info {};
    ASSERT_EQ(::stat(store.Folder().c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0700u);
    ASSERT_EQ(::stat(store.ImagePath(withImage).c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0600u);

    ASSERT_EQ(store.Matching(kept.id.substr(0, 6)).size(), 1u);
    EXPECT_EQ(store.Matching(kept.id.substr(0, 6))[0], kept);
    EXPECT_FALSE(store.Matching(kept.id.substr(0, 6))[0].hasImage);
    EXPECT_EQ(store.Matching("").size(), 0u) << "an empty prefix names no record";
    EXPECT_EQ(store.Matching("zz").size(), 0u);
}

TEST(History, ListsNothingForAFolderNotYetMadeOrARecordStillBeingWritten) {
    TempFolder folder;
    const HistoryStore store(folder.PathOf("history"));
    EXPECT_TRUE(store.List().empty());
    (void)store.Keep(Sample("x"), std::nullopt);
    folder.Write("history/0123456789ab.json", {});
    EXPECT_EQ(store.List().size(), 1u);
}

}  // namespace
}  // namespace zorvik::testing
