#include "util/FileRead.h"
#include "support/TestSupport.h"

#include <cerrno>
#include <filesystem>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

namespace fs = std::filesystem;
using namespace dcv;
using dcv::test::TempDir;

namespace {

TEST(FileReadTest, ReadsRegularFilesUpToTheCapAndRefusesTheRest) {
    TempDir dir;
    dir.write("ten", "0123456789");
    dir.write("eleven", "0123456789A");
    dir.write("empty", "");
    dir.write("folder/x", "");
    ::mkfifo((dir / "fifo").c_str(), 0644); // no writer: opening it for a plain read would wait
    fs::create_symlink(dir / "ten", dir / "link");
    fs::create_symlink(dir / "nowhere", dir / "dangling");
    using R = Failure::Reason;
    const struct {
        std::string path;
        std::optional<std::string> content; // none: refused
        R reason;
        int error;
    } cases[] = {
        {(dir / "ten").string(), "0123456789", R::Io, 0},
        {(dir / "empty").string(), "", R::Io, 0},
        {(dir / "link").string(), "0123456789", R::Io, 0},
        {(dir / "eleven").string(), std::nullopt, R::TooLarge, EFBIG},
        {(dir / "missing").string(), std::nullopt, R::Missing, ENOENT},
        {(dir / "ten/below").string(), std::nullopt, R::Missing, ENOTDIR},
        {(dir / "dangling").string(), std::nullopt, R::Missing, ENOENT},
        {(dir / "folder").string(), std::nullopt, R::NotRegularFile, EISDIR},
        {(dir / "fifo").string(), std::nullopt, R::NotRegularFile, 0},
        {"/dev/zero", std::nullopt, R::NotRegularFile, 0},
    };
    for (const auto& c : cases) {
        const Result<std::string> r = readRegularFile(c.path, 10);
        ASSERT_EQ(r.ok(), c.content.has_value()) << c.path;
        if (c.content) {
            EXPECT_EQ(*r, *c.content) << c.path;
            continue;
        }
        EXPECT_EQ(r.failure().reason, c.reason) << c.path << ": " << r.failure().detail;
        EXPECT_EQ(r.failure().error, c.error) << c.path << ": " << r.failure().detail;
        EXPECT_EQ(r.failure().detail.rfind(c.path + ": ", 0), 0u) << r.failure().detail;
    }
}

TEST(FileReadTest, TheStartOfALongerFileIsNoFailure) {
    TempDir dir;
    const auto path = dir.write("config.bin", std::string(500, 'a') + "trailing bytes");
    EXPECT_EQ(*readRegularFileStart(path.string(), 500), std::string(500, 'a'));
    EXPECT_EQ(*readRegularFileStart(path.string(), 1000), std::string(500, 'a') + "trailing bytes");
}

TEST(FileReadTest, AFileTheUserMayNotReadIsAnIoFailure) {
    if (::geteuid() != 0)
        GTEST_SKIP() << "needs root to read as another user";
    TempDir dir;
    ::chmod(dir.path().c_str(), 0755);
    const fs::path secret = dir.write("secret", "x");
    ::chmod(secret.c_str(), 0600);
    EXPECT_EQ(dcv::test::runAsNobody([&] {
                  const auto r = readRegularFile(secret.string(), 10);
                  return !r && r.failure().reason == Failure::Reason::Io && r.failure().error == EACCES ? 0
                                                                                                        : 1;
              }),
              0);
}

} // namespace
