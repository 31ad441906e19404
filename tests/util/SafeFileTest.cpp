#include "util/SafeFile.h"
#include "settings/SettingsRecord.h"
#include "support/TestSupport.h"
#include "util/Log.h"

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <gtest/gtest.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace fs = std::filesystem;
using namespace dcv;
using dcv::test::readFile;
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

// Runs `body` in a child process as the unprivileged user 65534 (tests run as root, and root
// writes into read-only folders) and returns its exit status.
int runAsNobody(const std::function<int()>& body) {
    const pid_t pid = ::fork();
    if (pid == 0) {
        if (::geteuid() == 0 && (::setgid(65534) != 0 || ::setuid(65534) != 0))
            ::_exit(100);
        ::_exit(body());
    }
    int status = 0;
    ::waitpid(pid, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

TEST(SafeFileTest, CreatesAndReplacesWithoutLeavingTemporaryFiles) {
    TempDir dir;
    const std::string path = (dir / "config.bin").string();
    ASSERT_TRUE(safeWriteFile(path, std::string_view("first")));
    EXPECT_EQ(readFile(path), "first");
    ASSERT_TRUE(safeWriteFile(path, std::string_view("second, longer")));
    EXPECT_EQ(readFile(path), "second, longer");
    ASSERT_TRUE(safeWriteFile(path, std::string_view("")));
    EXPECT_EQ(readFile(path), "");
    EXPECT_EQ(entries(dir.path()), std::vector<std::string>{"config.bin"});
}

TEST(SafeFileTest, KeepsModeAndFollowsLinks) {
    TempDir dir;
    const fs::path real = dir.write("real/config.bin", "old");
    ::chmod(real.c_str(), 0640);
    fs::create_symlink(real, dir / "link.bin");
    ASSERT_TRUE(safeWriteFile((dir / "link.bin").string(), std::string_view("new")));
    EXPECT_TRUE(fs::is_symlink(dir / "link.bin"));
    EXPECT_EQ(readFile(real), "new");
    struct stat st {};
    ASSERT_EQ(::stat(real.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0640u);
}

TEST(SafeFileTest, FailuresKeepTheOldFile) {
    TempDir dir;
    dir.write("dirInPlace/keep", "x");
    struct {
        std::string target;
        const char* step;
        int error;
    } cases[] = {
        {"dirInPlace", "open", EISDIR},
        {"missing/config.bin", "open", ENOENT},
        {"file/config.bin", "open", ENOTDIR},
    };
    dir.write("file", "a file, not a folder");
    for (const auto& c : cases) {
        const FileWriteResult r = safeWriteFile((dir / c.target).string(), std::string_view("data"));
        EXPECT_FALSE(r) << c.target;
        EXPECT_EQ(r.step, c.step) << c.target;
        EXPECT_EQ(r.error, c.error) << c.target;
        EXPECT_NE(r.errorText().find(std::strerror(c.error)), std::string::npos) << r.errorText();
    }
    EXPECT_EQ(readFile(dir / "dirInPlace/keep"), "x");
    EXPECT_EQ(entries(dir.path()), (std::vector<std::string>{"dirInPlace", "file"}));
}

TEST(SafeFileTest, ReadOnlyFolderKeepsTheOldFile) {
    TempDir dir;
    const fs::path card = dir / "card";
    const fs::path file = dir.write("card/config.bin", "the user's settings");
    ::chmod(card.c_str(), 0555);
    ::chmod(file.c_str(), 0666); // the file itself is writable: only the folder is not
    const int status = runAsNobody([&] {
        const FileWriteResult r = safeWriteFile(file.string(), std::string_view("replacement"));
        return r.ok() ? 1 : r.error == EACCES && r.step == "open" ? 0 : 2;
    });
    EXPECT_EQ(status, 0);
    EXPECT_EQ(readFile(file), "the user's settings");
    EXPECT_EQ(entries(card), std::vector<std::string>{"config.bin"});
}

// A small file system of its own on a loop device, filled up. FAT where the kernel has it,
// else ext2; skipped without root or loop devices.
class FullFileSystem {
public:
    explicit FullFileSystem(const fs::path& base) : m_image(base / "fs.img"), m_mount(base / "mnt") {
        if (::geteuid() != 0) {
            m_skip = "needs root to mount a file system image";
            return;
        }
        if (!fs::exists("/dev/loop-control") && !fs::exists("/dev/loop0")) {
            m_skip = "no loop devices";
            return;
        }
        const bool fat = readFile("/proc/filesystems").find("vfat") != std::string::npos;
        m_type = fat ? "vfat" : "ext2";
        fs::create_directories(m_mount);
        if (runProcess({"truncate", "-s", "1M", m_image.string()}).exitCode != 0) {
            m_skip = "cannot make the image";
            return;
        }
        const auto mk = fat ? runProcess({"mkfs.fat", m_image.string()})
                            : runProcess({"mkfs.ext2", "-q", "-F", "-m", "0", m_image.string()});
        if (mk.exitCode != 0) {
            m_skip = "mkfs failed: " + mk.err;
            return;
        }
        const auto mnt = runProcess({"mount", "-o", "loop", m_image.string(), m_mount.string()});
        if (mnt.exitCode != 0) {
            m_skip = "cannot mount on a loop device: " + mnt.err;
            return;
        }
        m_mounted = true;
    }
    ~FullFileSystem() {
        if (m_mounted)
            runProcess({"umount", m_mount.string()});
    }
    const std::string& skipReason() const { return m_skip; }
    const std::string& type() const { return m_type; }
    const fs::path& root() const { return m_mount; }

    // Writes a filler file until no byte more fits.
    bool fill() {
        FILE* f = std::fopen((m_mount / "filler").c_str(), "wb");
        if (!f)
            return false;
        std::vector<char> block(4096, 'f');
        while (std::fwrite(block.data(), 1, block.size(), f) == block.size()) {
        }
        std::fclose(f);
        // The last partial block: byte by byte.
        f = std::fopen((m_mount / "filler").c_str(), "ab");
        std::setvbuf(f, nullptr, _IONBF, 0);
        while (std::fputc('f', f) != EOF) {
        }
        std::fclose(f);
        return true;
    }

private:
    fs::path m_image, m_mount;
    std::string m_skip, m_type;
    bool m_mounted = false;
};

TEST(SafeFileTest, FullFileSystemKeepsTheOldSettings) {
    TempDir dir;
    FullFileSystem card(dir.path());
    if (!card.skipReason().empty())
        GTEST_SKIP() << card.skipReason();
    const std::string path = (card.root() / "config.bin").string();
    _FILEDATA old = defaultSettingsRecord();
    setSettingsText(old.carNumber, "OLD1");
    prepareSettingsRecordForSave(old);
    ASSERT_EQ(writeSettingsRecord(old, path), std::nullopt);
    ASSERT_TRUE(card.fill());

    _FILEDATA changed = old;
    setSettingsText(changed.carNumber, "NEW2");
    prepareSettingsRecordForSave(changed);
    std::vector<std::string> log;
    {
        ScopedLogSink sink([&](const std::string& line) { log.push_back(line); });
        EXPECT_EQ(writeSettingsRecord(changed, path), std::optional<std::string>("msg.file_open_fail"))
            << card.type();
    }
    ASSERT_EQ(log.size(), 1u);
    EXPECT_NE(log[0].find(std::strerror(ENOSPC)), std::string::npos) << log[0];
    const auto bytes = settingsRecordBytes(old);
    EXPECT_EQ(readFile(path), std::string(bytes.begin(), bytes.end())) << card.type();
    EXPECT_EQ(entries(card.root()).size(), card.type() == "ext2" ? 3u : 2u); // + lost+found on ext2

    // Once there is room again, the save goes through.
    fs::remove(card.root() / "filler");
    EXPECT_EQ(writeSettingsRecord(changed, path), std::nullopt);
    const auto now = settingsRecordBytes(changed);
    EXPECT_EQ(readFile(path), std::string(now.begin(), now.end()));
}

} // namespace
