#include "sdcard/CardFile.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <sys/stat.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

TEST(CardFileTest, ReplacesWholeFiles) {
    dcv::test::TempDir dir;
    const struct {
        const char* name;
        std::string before; // empty: no file yet
        std::string after;
    } cases[] = {{"new.bin", "", "abc"},
                 {"longer.cfg", std::string(1000, 'x'), "short"},
                 {"shorter.cfg", "ab", std::string(70000, 'y')},
                 {"empty.csv", "something", ""}};
    for (const auto& c : cases) {
        if (!c.before.empty())
            dir.write(c.name, c.before);
        EXPECT_EQ(dcv::writeFileReplacing((dir / c.name).string(), c.after), std::nullopt) << c.name;
        EXPECT_EQ(dcv::test::readFile(dir / c.name), c.after) << c.name;
    }
    // No temporary file is left behind.
    size_t files = 0;
    for ([[maybe_unused]] const auto& e : fs::directory_iterator(dir.path()))
        ++files;
    EXPECT_EQ(files, 4u);
}

TEST(CardFileTest, FailuresLeaveTheOldFile) {
    dcv::test::TempDir dir;
    const auto folder = dir.write("sub/x", "");
    const struct {
        std::string path;
        const char* error;
    } cases[] = {{(dir / "missing" / "f").string(), "No such file or directory"},
                 {(dir / "sub").string(), "Is a directory"},
                 {(dir / "sub/x/f").string(), "Not a directory"}};
    for (const auto& c : cases) {
        const auto e = dcv::writeFileReplacing(c.path, "data");
        ASSERT_TRUE(e) << c.path;
        EXPECT_NE(e->find(c.error), std::string::npos) << *e;
        EXPECT_EQ(e->rfind(c.path, 0), 0u) << *e; // names the file
    }
    EXPECT_EQ(dcv::test::readFile(folder), "");
}

// A small tmpfs of our own: filled up, then made read-only. Needs root to mount.
class SmallFileSystemTest : public ::testing::Test {
protected:
    void SetUp() override {
        if (::geteuid() != 0)
            GTEST_SKIP() << "mounting a small file system needs root";
        if (dcv::test::runProcess({"mount", "-t", "tmpfs", "-o", "size=64k", "tmpfs", dir.path().string()})
                .exitCode != 0)
            GTEST_SKIP() << "cannot mount tmpfs here";
        mounted = true;
    }
    void TearDown() override {
        if (mounted)
            dcv::test::runProcess({"umount", dir.path().string()});
    }
    dcv::test::TempDir dir;
    bool mounted = false;
};

TEST_F(SmallFileSystemTest, FullAndReadOnlyAreReportedAndKeepTheOldFile) {
    const std::string path = (dir / "timeset.cfg").string();
    ASSERT_EQ(dcv::writeFileReplacing(path, "2024/03/05 14:07:09"), std::nullopt);
    const auto full = dcv::writeFileReplacing((dir / "big.csv").string(), std::string(200000, 'x'));
    ASSERT_TRUE(full);
    EXPECT_NE(full->find("No space left on device"), std::string::npos) << *full;
    EXPECT_FALSE(fs::exists(dir / "big.csv"));
    ASSERT_EQ(dcv::test::runProcess({"mount", "-o", "remount,ro", dir.path().string()}).exitCode, 0);
    const auto readOnly = dcv::writeFileReplacing(path, "2025/01/01 00:00:00");
    ASSERT_TRUE(readOnly);
    EXPECT_NE(readOnly->find("Read-only file system"), std::string::npos) << *readOnly;
    EXPECT_EQ(dcv::test::readFile(path), "2024/03/05 14:07:09");
    // Only the old file is there: no temporary one left.
    size_t files = 0;
    for ([[maybe_unused]] const auto& e : fs::directory_iterator(dir.path()))
        ++files;
    EXPECT_EQ(files, 1u);
}

} // namespace
