#include "recordings/DCVMediaList.h"
#include "recordings/RecordingScan.h"
#include "support/TestSupport.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <random>
#include <set>
#include <sys/stat.h>

namespace fs = std::filesystem;
using namespace dcv;
using dcv::test::TempDir;

namespace {

std::vector<std::string> fileNames(const std::vector<DCVMediaPtr>& medias) {
    std::vector<std::string> names;
    for (const auto& m : medias)
        names.push_back(m->fileName());
    return names;
}

class RecordingDelegate : public DCVMediaListDelegate {
public:
    void mediaListChanged(DCVMediaList& list) override {
        ++calls;
        seen = list.medias();
    }
    int calls = 0;
    DCVMediaList::Snapshot seen;
};

TEST(RecordingFilterTest, AcceptsOnlyCameraNames) {
    const std::set<std::string> listed = {
        "alwa_20210315_142530_F.MP4", "motion_20210315_142530_R.mp4", "event_20210315_142530_F.Avi",
        "xxxxxxxxxxxxxxxxxxxxxxx.mp4", // 23 characters, no prefix
        "._alwa_20210315_142530_F.MP4" // 24, no prefix
    };
    const char* const left[] = {"alwa_20210315_142530_F.mov",    "alwa_20210315_142530_F",
                                "alwa_20210315_142530.MP4",                                   // 20 characters
                                "alwa_20210315_142530_FF12.MP4", "alwa_20210315_14253_F.MP4", // 21
                                "alwa_20211315_142530_F.MP4",    "event_20210315_250000_F.MP4"};
    TempDir dir;
    for (const auto& name : listed)
        dir.write(name);
    for (const char* name : left)
        dir.write(name);
    const auto found = fileNames(scanRecordings(dir.path()));
    EXPECT_EQ(std::set<std::string>(found.begin(), found.end()), listed);
}

TEST(RecordingScanTest, OrdersAcrossSubfoldersByTimeKindAndPath) {
    TempDir dir;
    // Written in scrambled order and spread over folders of several depths.
    const std::vector<std::string> files = {
        "b/deep/er/alwa_20210315_142600_R.MP4", "alwa_20210315_142600_F.MP4",
        "a/event_20210315_142600_R.MP4",        "event_20210315_142600_F.MP4",
        "motion_20210315_142500_F.MP4",         "z/motion_20210315_142500_R.MP4",
        "xxxxx_20210315_142530_F.MP4"};
    for (const auto& f : files)
        dir.write(f);
    const auto medias = scanRecordings(dir.path());
    std::vector<std::string> rel;
    for (const auto& m : medias)
        rel.push_back(fs::relative(m->path(), dir.path()).string());
    const std::vector<std::string> expected = {
        "xxxxx_20210315_142530_F.MP4", // no timestamp sorts first
        "motion_20210315_142500_F.MP4",  "z/motion_20210315_142500_R.MP4",
        "a/event_20210315_142600_R.MP4", "event_20210315_142600_F.MP4", // event before always; then by path
        "alwa_20210315_142600_F.MP4",    "b/deep/er/alwa_20210315_142600_R.MP4"};
    EXPECT_EQ(rel, expected);
}

TEST(RecordingScanTest, NumericSortAgreesWithCompareDate) {
    std::mt19937 rng(7);
    std::vector<DCVMediaPtr> medias;
    const char* prefixes[] = {"alwa_", "motion_", "event_"};
    for (int i = 0; i < 500; ++i) {
        char name[64];
        std::snprintf(name, sizeof name, "/d/%s%04d%02d%02d_%02d%02d%02d_%c.MP4", prefixes[rng() % 3],
                      1969 + int(rng() % 3), 1 + int(rng() % 13), int(rng() % 3), int(rng() % 3),
                      int(rng() % 2), int(rng() % 2), rng() % 2 ? 'F' : 'R');
        medias.push_back(DCVMedia::mediaWithPath(name));
    }
    sortRecordings(medias);
    for (size_t i = 1; i < medias.size(); ++i) {
        const int64_t c = medias[i - 1]->compareDate(*medias[i]);
        EXPECT_TRUE(c < 0 || (c == 0 && medias[i - 1]->path() <= medias[i]->path())) << i;
    }
}

// Links are followed (a loop walked once); a pipe or a dangling link named like a recording
// is no recording.
TEST(RecordingScanTest, OnlyFilesAreListedAndLinkLoopsWalkedOnce) {
    TempDir dir;
    dir.write("sub/alwa_20210315_142530_F.MP4");
    fs::create_directory_symlink(dir.path(), dir / "sub/loop");
    fs::create_directory_symlink(dir / "sub", dir / "again");
    fs::create_symlink(dir / "sub/alwa_20210315_142530_F.MP4", dir / "alwa_20210315_142531_F.MP4");
    fs::create_symlink(dir / "gone.MP4", dir / "alwa_20210315_142532_F.MP4");
    ASSERT_EQ(::mkfifo((dir / "alwa_20210315_142533_F.MP4").c_str(), 0600), 0);
    EXPECT_EQ(fileNames(scanRecordings(dir.path())),
              (std::vector<std::string>{"alwa_20210315_142530_F.MP4", "alwa_20210315_142531_F.MP4"}));
}

TEST(RecordingScanTest, LimitEndsEachDirectoryAfterItsNextAppend) {
    TempDir dir;
    // A list one short of the limit, then three subfolders of two recordings each.
    std::vector<DCVMediaPtr> array;
    for (int i = 0; i < 3; ++i)
        for (const char* minute : {"25", "26"})
            dir.write("s" + std::to_string(i) + "/alwa_20210315_14" + minute + std::to_string(10 + i) +
                      "_F.MP4");
    array.resize(kMediaListLimit - 1, DCVMedia::mediaWithPath("/x/alwa_20210315_142530_F.MP4"));
    RecordingScanReport report;
    walkRecordings(dir.path(), array, nullptr, &report);
    // One more reaches the limit and ends the first subfolder; each later subfolder adds one.
    EXPECT_EQ(array.size(), kMediaListLimit + 2);
    EXPECT_TRUE(report.limitReached);
    EXPECT_TRUE(report.unreadableFolders.empty());

    // Reaching the limit with the last name of the walk stopped nothing.
    TempDir one;
    one.write("alwa_20210315_142530_F.MP4");
    array.resize(kMediaListLimit - 1);
    report = {};
    walkRecordings(one.path(), array, nullptr, &report);
    EXPECT_EQ(array.size(), kMediaListLimit);
    EXPECT_TRUE(report.complete());
}

TEST(MediaListTest, AScanIsPublishedSortedInOneStepAndNotifiesOnce) {
    TempDir dir;
    dir.write("event_20210315_142530_R.MP4");
    dir.write("alwa_20210315_142529_F.MP4");
    RecordingDelegate delegate;
    DCVMediaList list;
    list.setDelegate(&delegate);
    list.setDirectoryPath(dir.path().string());
    const DCVMediaList::Snapshot before = list.medias();
    list.publish(scanRecordings(dir.path().string()));
    EXPECT_EQ(delegate.calls, 1);
    EXPECT_EQ(list.count(), 2);
    EXPECT_EQ(list.mediaAtIndex(0)->fileName(), "alwa_20210315_142529_F.MP4");
    EXPECT_EQ(list.mediaAtIndex(1)->fileName(), "event_20210315_142530_R.MP4");
    EXPECT_EQ(list.mediaAtIndex(2), nullptr);
    EXPECT_EQ(list.mediaAtIndex(-1), nullptr);
    EXPECT_EQ(delegate.seen->size(), 2u);
    // A snapshot taken earlier is never changed underneath its reader.
    EXPECT_TRUE(before->empty());

    // What a scan could not read is published with its entries, and replaced with them.
    RecordingScanReport report;
    report.unreadableFolders = {"/card/Event: Permission denied"};
    list.publish({}, report);
    EXPECT_EQ(list.scanReport(), report);
    // An empty list still notifies; no path keeps the entries.
    list.publish({});
    EXPECT_EQ(delegate.calls, 3);
    EXPECT_EQ(list.count(), 0);
    EXPECT_TRUE(list.scanReport().complete());
    list.publish(scanRecordings(dir.path().string()));
    list.setDirectoryPath(std::nullopt);
    EXPECT_EQ(list.count(), 2);
    EXPECT_FALSE(list.directoryPath().has_value());
}

TEST(MediaListTest, PairsAreLookedUpByGroupName) {
    DCVMediaList list;
    auto pair = DCVMediaPair::mediaPair();
    pair->frontMedia = DCVMedia::mediaWithPath("/c/alwa_20210315_142530_F.MP4");
    list.mediaPairDic()["alwa_20210315_142530"] = pair;
    EXPECT_EQ(list.findMediaPairWithFileName("/c/alwa_20210315_142530_F.MP4"), pair);
    EXPECT_EQ(list.findMediaPairWithFileName("/other/alwa_20210315_142530_R.mp4"), pair);
    EXPECT_EQ(list.findMediaPairWithFileName("/c/alwa_20210315_142530_X.MP4"), nullptr);
}

} // namespace
