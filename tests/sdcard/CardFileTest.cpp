#include "sdcard/CardFile.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <filesystem>

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

} // namespace
