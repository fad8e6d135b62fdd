// The history store on a scratch folder: records kept whole and apart, however many writers.
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
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
    const HistoryListing listing = store.List();
    EXPECT_TRUE(listing.damaged.empty());
    const std::vector<HistoryRecord>& records = listing.records;
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

    const std::vector<HistoryRecord> found = store.Matching(kept.id.substr(0, 6)).records;
    ASSERT_EQ(found.size(), 1u);
    EXPECT_EQ(found[0], kept);
    EXPECT_FALSE(found[0].hasImage);
    EXPECT_EQ(store.Matching("").records.size(), 0u) << "an empty prefix names no record";
    EXPECT_EQ(store.Matching("zz").records.size(), 0u);
}

// What the history cannot read is never shown as nothing: a folder that cannot be read is an
// error naming it, and a record file that is not a record is named beside the whole ones.
struct ReadingCase {
    const char* name;
    // Under the scratch folder; a name ending in / is a folder, "locked" when its owner may not
    // read it.
    std::vector<std::pair<std::string, std::string>> files;
    std::string seen;  // "N listed", then each damaged file and why; or "refused"
};

TEST(History, ReadsWhatItCanAndNamesWhatItCannot) {
    const std::string whole = R"({"id": "0123456789ab", "time": "2026-12-10T04:15:00.000001Z"})";
    const std::string at = "state/history/";
    const std::vector<ReadingCase> cases = {
        {"a folder not yet made holds nothing", {}, "0 listed"},
        {"a record still being written is not listed yet",
         {{at + "0123456789ab.json", whole}, {at + "ffffffffffff.json", ""}},
         "1 listed"},
        {"damaged records are named and the whole ones listed",
         {{at + "0123456789ab.json", whole},
          {at + "aaaaaaaaaaaa.json", R"({"id": "aaaaaaaaaaaa", "time": )"},
          {at + "bbbbbbbbbbbb.json", whole},
          {at + "cccccccccccc.json/", ""},
          {at + "notes.txt", "not a record, not named"}},
         "1 listed; aaaaaaaaaaaa.json: not a whole record; bbbbbbbbbbbb.json: its id is not its "
         "name; cccccccccccc.json: not a file"},
        {"a file where the folder should be", {{"state/history", "x"}}, "refused"},
        {"a file where a folder above it should be", {{"state", "x"}}, "refused"},
        {"a folder its owner may not read", {{at, "locked"}}, "refused"},
    };
    for (const ReadingCase& test : cases) {
        SCOPED_TRACE(test.name);
        TempFolder folder;
        const HistoryStore store(folder.PathOf("state/history"));
        bool locked = false;
        for (const auto& [name, text] : test.files) {
            const std::filesystem::path path = folder.PathOf(name);
            std::filesystem::create_directories(name.ends_with('/') ? path : path.parent_path());
            if (!name.ends_with('/')) {
                folder.Write(name, TempFolder::Bytes(text.begin(), text.end()));
            }
            locked = text == "locked";
        }
        if (locked) {
#ifdef _WIN32
            continue;  // a chmod takes nothing from the folder's owner there
#else
            if (::geteuid() == 0) {
                continue;  // root reads it all the same
            }
            ::chmod(store.Folder().c_str(), 0);
#endif
        }
        try {
            const HistoryListing listing = store.List();
            std::string seen = std::to_string(listing.records.size()) + " listed";
            for (const DamagedRecord& record : listing.damaged) {
                seen += "; " + record.path.substr(store.Folder().size() + 1) + ": " + record.why;
            }
            EXPECT_EQ(seen, test.seen);
        } catch (const EInOutError& error) {
            const std::string what = error.what();
            EXPECT_EQ(test.seen, "refused") << what;
            EXPECT_EQ(what.find(store.Folder() + ": "), 0u) << what;
            EXPECT_GT(what.size(), store.Folder().size() + 2) << "the system's message";
        }
    }
}

}  // namespace
}  // namespace zorvik::testing
