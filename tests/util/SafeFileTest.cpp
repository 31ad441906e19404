#include "util/SafeFile.h"
#include "support/TestSupport.h"

#include <cerrno>
#include <filesystem>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

namespace fs = std::filesystem;
using namespace dcv;
using dcv::test::readFile;
using dcv::test::runAsNobody;
using dcv::test::runProcess;
using dcv::test::TempDir;

namespace {

std::vector<std::string> entries(const fs::path& dir) {
    std::vector<std::string> names;
    for (const auto& e : fs::directory_iterator(dir))
        names.push_back(e.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

TEST(SafeFileTest, ReplacesWholeFilesWithoutLeavingTemporaryFiles) {
    TempDir dir;
    const struct {
        const char* name;
        std::string before, after;
    } cases[] = {{"longer.cfg", std::string(1000, 'x'), "short"},
                 {"shorter.cfg", "ab", std::string(200000, 'y')}, // more than one block
                 {"empty.csv", "something", ""}};
    for (const auto& c : cases) {
        dir.write(c.name, c.before);
        EXPECT_EQ(safeWriteFile((dir / c.name).string(), std::string_view(c.after)), std::nullopt) << c.name;
        EXPECT_EQ(readFile(dir / c.name), c.after) << c.name;
    }
    EXPECT_EQ(entries(dir.path()), (std::vector<std::string>{"empty.csv", "longer.cfg", "shorter.cfg"}));
}

TEST(SafeFileTest, KeepsModeAndFollowsLinks) {
    TempDir dir;
    const fs::path real = dir.write("real/config.bin", "old");
    ::chmod(real.c_str(), 0640);
    fs::create_symlink(real, dir / "link.bin");
    ASSERT_EQ(safeWriteFile((dir / "link.bin").string(), std::string_view("new")), std::nullopt);
    EXPECT_TRUE(fs::is_symlink(dir / "link.bin"));
    EXPECT_EQ(readFile(real), "new");
    struct stat st {};
    ASSERT_EQ(::stat(real.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0640u);
}

TEST(SafeFileTest, ProducedContentIsWrittenAndCompared) {
    TempDir dir;
    const std::string path = (dir / "export.csv").string();
    std::string expected;
    for (int i = 0; i < 20000; ++i)
        expected += "line " + std::to_string(i) + "\n";
    const ByteProducer lines = [](const ByteSink& sink) {
        for (int i = 0; i < 20000; ++i)
            if (!sink("line " + std::to_string(i) + "\n"))
                return;
    };
    ASSERT_EQ(safeWriteFile(path, lines), std::nullopt);
    EXPECT_EQ(readFile(path), expected);

    // What is read back must be what was meant: a producer that gives other bytes the second
    // time stands for a card that returns something else than it was given.
    int runs = 0;
    const auto failure =
        safeWriteFile(path, [&runs](const ByteSink& sink) { sink(runs++ == 0 ? "one" : "two"); });
    ASSERT_TRUE(failure);
    EXPECT_EQ(failure->error, EIO);
    EXPECT_NE(failure->detail.find("(verify)"), std::string::npos) << failure->detail;
    EXPECT_EQ(readFile(path), expected);
    EXPECT_EQ(entries(dir.path()), std::vector<std::string>{"export.csv"});
}

// Nothing that is not a plain writable file is replaced, and nothing is left behind.
TEST(SafeFileTest, RefusesWhatItMustNotReplace) {
    TempDir dir;
    dir.write("folder/keep", "x");
    dir.write("file", "a file, not a folder");
    ::mkfifo((dir / "fifo").c_str(), 0644);
    fs::create_symlink(dir / "nowhere", dir / "dangling");
    fs::create_symlink(dir / "fifo", dir / "to-fifo");
    const fs::path readOnly = dir.write("readonly.bin", "marked read-only");
    ::chmod(readOnly.c_str(), 0444);
    const bool root = ::geteuid() == 0;
    if (root)
        ::mknod((dir / "null").c_str(), S_IFCHR | 0666, makedev(1, 3)); // as /dev/null is
    using R = Failure::Reason;
    const struct {
        std::string target;
        R reason;
        int error;
    } cases[] = {
        {"folder", R::NotRegularFile, EISDIR},    {"missing/config.bin", R::Missing, ENOENT},
        {"file/config.bin", R::Missing, ENOTDIR}, {"fifo", R::NotRegularFile, 0},
        {"to-fifo", R::NotRegularFile, 0},        {"dangling", R::NotRegularFile, ENOENT},
        {"readonly.bin", R::ReadOnly, EACCES},    {"null", R::NotRegularFile, 0},
    };
    const auto before = entries(dir.path());
    for (const auto& c : cases) {
        if (c.target == "null" && !root)
            continue;
        const auto failure = safeWriteFile((dir / c.target).string(), std::string_view("data"));
        ASSERT_TRUE(failure) << c.target;
        EXPECT_EQ(failure->reason, c.reason) << c.target << ": " << failure->detail;
        EXPECT_EQ(failure->error, c.error) << c.target << ": " << failure->detail;
        EXPECT_EQ(failure->detail.rfind((dir / c.target).string(), 0), 0u)
            << failure->detail; // names the target
    }
    EXPECT_EQ(entries(dir.path()), before);
    EXPECT_EQ(readFile(dir / "folder/keep"), "x");
    EXPECT_EQ(fs::status(dir / "fifo").type(), fs::file_type::fifo);
    EXPECT_TRUE(fs::is_symlink(dir / "dangling"));
    EXPECT_EQ(readFile(readOnly), "marked read-only");
    EXPECT_EQ(fs::status(readOnly).permissions() & fs::perms::all, fs::perms(0444));
    if (root) {
        EXPECT_EQ(fs::status(dir / "null").type(), fs::file_type::character);
    }
}

TEST(SafeFileTest, LinksOfOtherUsersInSharedFoldersAreNotFollowed) {
    if (::geteuid() != 0)
        GTEST_SKIP() << "needs root to make a link of another user";
    TempDir dir;
    const fs::path shared = dir / "tmp";
    fs::create_directory(shared);
    ::chmod(shared.c_str(), 01777); // as /tmp is
    const fs::path victim = dir.write("home/.profile", "the user's own file");
    fs::create_symlink(victim, shared / "telvo_capture.jpg");
    ASSERT_EQ(::lchown((shared / "telvo_capture.jpg").c_str(), 65534, 65534), 0);
    const auto failure = safeWriteFile((shared / "telvo_capture.jpg").string(), std::string_view("picture"));
    ASSERT_TRUE(failure);
    EXPECT_EQ(failure->reason, Failure::Reason::ReadOnly);
    EXPECT_EQ(readFile(victim), "the user's own file");
    EXPECT_TRUE(fs::is_symlink(shared / "telvo_capture.jpg"));
    // The caller's own link there is followed as anywhere else.
    ASSERT_EQ(::lchown((shared / "telvo_capture.jpg").c_str(), 0, 0), 0);
    EXPECT_EQ(safeWriteFile((shared / "telvo_capture.jpg").string(), std::string_view("picture")),
              std::nullopt);
    EXPECT_EQ(readFile(victim), "picture");
}

// As another user (root writes anything): a file the caller may not write, in a folder that
// would let anyone replace it, and a writable file in a read-only folder both stay as they were.
TEST(SafeFileTest, WhatTheCallerMayNotWriteIsKept) {
    const struct {
        const char* what;
        mode_t folder, file;
        bool needsRoot; // for a file of another user
        const char* detailEnd;
    } cases[] = {{"a file of another user", 0777, 0644, true, ""},
                 {"a read-only folder", 0555, 0666, false, "(open)"}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        if (c.needsRoot && ::geteuid() != 0)
            continue;
        TempDir dir;
        ::chmod(dir.path().c_str(), 0755); // the other user reaches the card's folder
        const fs::path card = dir / "card";
        const fs::path file = dir.write("card/config.bin", "the user's settings");
        ::chmod(file.c_str(), c.file);
        ::chmod(card.c_str(), c.folder);
        const int status = runAsNobody([&] {
            const auto failure = safeWriteFile(file.string(), std::string_view("replacement"));
            return !failure ? 1 : failure->error == EACCES && failure->detail.ends_with(c.detailEnd) ? 0 : 2;
        });
        EXPECT_EQ(status, 0);
        EXPECT_EQ(readFile(file), "the user's settings");
        EXPECT_EQ(entries(card), std::vector<std::string>{"config.bin"});
    }
}

// A small file system of its own on a loop device: FAT where the kernel has it, else ext2.
struct SmallFileSystem {
    explicit SmallFileSystem(const fs::path& base) : root(base / "mnt") {
        if (::geteuid() != 0) {
            skip = "needs root to mount a file system image";
            return;
        }
        type = readFile("/proc/filesystems").find("vfat") != std::string::npos ? "vfat" : "ext2";
        fs::create_directories(root);
        const std::string image = (base / "fs.img").string();
        using Argv = std::vector<std::string>;
        for (const Argv& argv :
             {Argv{"truncate", "-s", "1M", image},
              type == "vfat" ? Argv{"mkfs.fat", image} : Argv{"mkfs.ext2", "-q", "-F", "-m", "0", image},
              Argv{"mount", "-o", "loop", image, root.string()}}) {
            if (const auto r = runProcess(argv); r.exitCode != 0) {
                skip = argv[0] + " failed: " + r.err;
                return;
            }
        }
    }
    ~SmallFileSystem() {
        if (skip.empty())
            runProcess({"umount", root.string()});
    }
    // A filler file takes every block left: a new file gets no room.
    void fill() const { runProcess({"dd", "if=/dev/zero", "of=" + (root / "filler").string(), "bs=4096"}); }

    fs::path root;
    std::string skip, type;
};

// A full card keeps the old settings whole and takes the new ones once there is room; a
// write-protected one refuses, root or not.
TEST(SafeFileTest, FullOrReadOnlyFileSystemKeepsTheOldSettings) {
    TempDir dir;
    SmallFileSystem card(dir.path());
    if (!card.skip.empty())
        GTEST_SKIP() << card.skip;
    const std::string path = (card.root / "config.bin").string(), old(500, 'o'), changed(500, 'n');
    ASSERT_EQ(safeWriteFile(path, std::string_view(old)), std::nullopt);
    card.fill();
    const auto full = safeWriteFile(path, std::string_view(changed));
    ASSERT_TRUE(full) << card.type;
    EXPECT_EQ(full->error, ENOSPC) << full->detail;
    EXPECT_EQ(readFile(path), old) << card.type;
    EXPECT_EQ(entries(card.root).size(), card.type == "ext2" ? 3u : 2u); // + lost+found on ext2

    fs::remove(card.root / "filler");
    EXPECT_EQ(safeWriteFile(path, std::string_view(changed)), std::nullopt);
    EXPECT_EQ(readFile(path), changed);

    ASSERT_EQ(runProcess({"mount", "-o", "remount,ro", card.root.string()}).exitCode, 0);
    const auto failure = safeWriteFile(path, std::string_view(old));
    ASSERT_TRUE(failure);
    EXPECT_EQ(failure->reason, Failure::Reason::ReadOnly);
    EXPECT_EQ(failure->error, EROFS);
    EXPECT_EQ(readFile(path), changed);
}

} // namespace
