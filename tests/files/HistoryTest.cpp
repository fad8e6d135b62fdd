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
    std::vector<std::pair<std::string, std::string>> files;  // under the scratch folder
    std::vector<std::string> folders;                        // made there too
    bool locked = false;  // the history folder taken from its owner (chmod 000)
    std::size_t listed;
    std::vector<std::string> damaged;  // the files named, with why
    std::string error;                 // or the start of the error
};

TEST(History, ReadsWhatItCanAndNamesWhatItCannot) {
    const std::string whole = R"({"id": "0123456789ab", "time": "2026-12-10T04:15:00.000001Z"})";
    const std::vector<ReadingCase> cases = {
        {"a folder not yet made holds nothing", {}, {}, false, 0, {}, ""},
        {"a record still being written is not listed yet",
         {{"history/0123456789ab.json", whole}, {"history/ffffffffffff.json", ""}},
         {},
         false,
         1,
         {},
         ""},
        {"damaged records are named and the whole ones listed",
         {{"history/0123456789ab.json", whole},
          {"history/aaaaaaaaaaaa.json", R"({"id": "aaaaaaaaaaaa", "time": )"},
          {"history/bbbbbbbbbbbb.json", whole},
          {"history/notes.txt", "not a record, not named"}},
         {"history/cccccccccccc.json"},
         false,
         1,
         {"history/aaaaaaaaaaaa.json: not a whole record",
          "history/bbbbbbbbbbbb.json: its id is not its name",
          "history/cccccccccccc.json: not a file"},
         ""},
        {"a file where the folder should be", {{"history", "x"}}, {}, false, 0, {}, "history: "},
        {"a file where a folder above it should be",
         {{"state", "x"}},
         {},
         false,
         0,
         {},
         "state/history: "},
        {"a folder its owner may not read", {}, {"history"}, true, 0, {}, "history: "},
    };
    for (const ReadingCase& test : cases) {
        SCOPED_TRACE(test.name);
        TempFolder folder;
        const bool stateFolder = test.error.starts_with("state/");
        const HistoryStore store(folder.PathOf(stateFolder ? "state/history" : "history"));
        for (const std::string& name : test.folders) {
            std::filesystem::create_directories(folder.PathOf(name));
        }
        for (const auto& [name, text] : test.files) {
            std::filesystem::create_directories(
                std::filesystem::path(folder.PathOf(name)).parent_path());
            folder.Write(name, TempFolder::Bytes(text.begin(), text.end()));
        }
        if (test.locked) {
#ifdef _WIN32
            continue;  // the folder lies in the user's own profile, which no chmod takes away
#else
            if (::geteuid() == 0) {
                continue;  // root reads it all the same
            }
            ::chmod(store.Folder().c_str(), 0);
#endif
        }
        try {
            const HistoryListing listing = store.List();
            EXPECT_EQ(test.error, "") << "not refused";
            EXPECT_EQ(listing.records.size(), test.listed);
            std::vector<std::string> damaged;
            for (const DamagedRecord& record : listing.damaged) {
                damaged.push_back(record.path.substr(folder.Root().size() + 1) + ": " + record.why);
            }
            EXPECT_EQ(damaged, test.damaged);
        } catch (const EInOutError& error) {
            ASSERT_NE(test.error, "") << error.what();
            const std::string what = error.what();
            EXPECT_EQ(what.find(folder.PathOf(test.error)), 0u) << what;
            EXPECT_GT(what.size(), folder.PathOf(test.error).size()) << "the system's message";
        }
    }
}

}  // namespace
}  // namespace zorvik::testing
