#include "util/SafeFile.h"

#include <atomic>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <linux/msdos_fs.h>
#include <random>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace dcv {
namespace {

struct Fd {
    int fd = -1;
    ~Fd() {
        if (fd >= 0)
            ::close(fd);
    }
    int release() {
        const int f = fd;
        fd = -1;
        return f;
    }
};

// "/media/card/config.bin: No space left on device (write)": the target as the user named it,
// the system's words, and the step that failed.
Failure stepFailure(const char* step, const std::string& path, int error) {
    Failure f = Failure::io(path, error != 0 ? error : EIO);
    f.detail += std::string(" (") + step + ")";
    return f;
}

std::string folderOf(const std::string& path) {
    const size_t slash = path.rfind('/');
    if (slash == std::string::npos)
        return ".";
    if (slash == 0)
        return "/";
    return path.substr(0, slash);
}

std::string baseNameOf(const std::string& path) {
    const size_t slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

bool writeAll(int fd, const char* data, size_t size, int& error) {
    while (size > 0) {
        const ssize_t n = ::write(fd, data, size);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            error = errno;
            return false;
        }
        if (n == 0) {
            error = ENOSPC;
            return false;
        }
        data += n;
        size -= size_t(n);
    }
    return true;
}

// Collects the producer's pieces into blocks, so that many small pieces cost few system calls.
class BlockWriter {
public:
    explicit BlockWriter(int fd) : m_fd(fd) { m_block.reserve(kBlock); }
    bool put(std::string_view piece) {
        if (m_error != 0)
            return false;
        if (m_block.size() + piece.size() > kBlock && !flush())
            return false;
        if (piece.size() >= kBlock)
            return writeAll(m_fd, piece.data(), piece.size(), m_error);
        m_block.append(piece);
        return true;
    }
    bool flush() {
        if (m_error == 0 && !m_block.empty() && !writeAll(m_fd, m_block.data(), m_block.size(), m_error))
            return false;
        m_block.clear();
        return m_error == 0;
    }
    int error() const { return m_error; }

private:
    static constexpr size_t kBlock = 64 * 1024;
    int m_fd;
    int m_error = 0;
    std::string m_block;
};

// Reads the file back past the page cache where the kernel allows it and compares it with what
// the producer gives once more.
bool sameContent(const std::string& path, const ByteProducer& produce, int& error) {
    Fd f{::open(path.c_str(), O_RDONLY | O_CLOEXEC)};
    if (f.fd < 0) {
        error = errno;
        return false;
    }
    // The data was synced, so dropping the cached pages makes the read come from the device.
    (void)::posix_fadvise(f.fd, 0, 0, POSIX_FADV_DONTNEED);
    std::vector<char> back(64 * 1024);
    bool same = true;
    int readError = 0;
    auto readExactly = [&](char* dst, size_t n) -> size_t {
        size_t got = 0;
        while (got < n) {
            const ssize_t k = ::read(f.fd, dst + got, n - got);
            if (k < 0 && errno == EINTR)
                continue;
            if (k < 0)
                readError = errno;
            if (k <= 0)
                break;
            got += size_t(k);
        }
        return got;
    };
    produce([&](std::string_view piece) {
        while (same && !piece.empty()) {
            const size_t n = std::min(piece.size(), back.size());
            if (readExactly(back.data(), n) != n || std::memcmp(back.data(), piece.data(), n) != 0)
                same = false;
            piece.remove_prefix(n);
        }
        return same;
    });
    char extra;
    if (same && readExactly(&extra, 1) != 0)
        same = false; // the file is longer than the content
    if (!same)
        error = readError != 0 ? readError : EIO;
    return same;
}

std::string temporaryName(const std::string& folder, const std::string& base, unsigned attempt) {
    static std::atomic<unsigned> counter{0};
    thread_local std::mt19937 rng{std::random_device{}()};
    char suffix[64];
    std::snprintf(suffix, sizeof suffix, ".%d-%u-%u-%08x.tmp", int(::getpid()), counter++, attempt,
                  unsigned(rng()));
    return (folder == "/" ? std::string() : folder) + "/." + base + suffix;
}

// What the target is now; refusals leave it untouched. `target` becomes the path to replace: a
// symbolic link is resolved to the file it points at.
std::optional<Failure> checkTarget(const std::string& requested, std::string& target, bool& exists,
                                   struct stat& old) {
    target = requested;
    struct stat link {};
    if (::lstat(requested.c_str(), &link) != 0) {
        exists = false;
        return errno == ENOENT ? std::nullopt : std::optional<Failure>(stepFailure("open", requested, errno));
    }
    if (S_ISLNK(link.st_mode)) {
        // In a shared folder such as /tmp (sticky and writable by all) a link of another user may
        // point anywhere, at the caller's own files too: followed only as the kernel would follow
        // it there (its owner is the caller or the folder's owner).
        struct stat folder {};
        if (::stat(folderOf(requested).c_str(), &folder) == 0 && (folder.st_mode & S_ISVTX) &&
            (folder.st_mode & S_IWOTH) && link.st_uid != ::geteuid() && link.st_uid != folder.st_uid)
            return Failure::of(
                Failure::Reason::ReadOnly,
                requested + ": a symbolic link of another user in a shared folder; not followed", EACCES);
        char resolved[PATH_MAX];
        if (::realpath(requested.c_str(), resolved) == nullptr) {
            const int e = errno;
            return Failure::of(Failure::Reason::NotRegularFile,
                               requested + ": a symbolic link to nothing; not replaced", e);
        }
        target = resolved;
    }
    exists = ::stat(target.c_str(), &old) == 0;
    if (!exists)
        return stepFailure("open", requested, errno);
    if (S_ISDIR(old.st_mode))
        return Failure::of(Failure::Reason::NotRegularFile,
                           requested + ": " + std::strerror(EISDIR) + "; not replaced", EISDIR);
    if (!S_ISREG(old.st_mode))
        return Failure::of(Failure::Reason::NotRegularFile, requested + ": not a regular file; not replaced");
    // No write bit at all: the file is marked read-only (on FAT, the DOS attribute). Root passes
    // every permission check, so this must be looked at by itself.
    if ((old.st_mode & 0222) == 0)
        return Failure::of(Failure::Reason::ReadOnly,
                           requested + ": " + std::strerror(EACCES) + " (a read-only file); not replaced",
                           EACCES);
    // A file the caller may not write is not replaced, though the folder would allow the rename.
    if (::faccessat(AT_FDCWD, target.c_str(), W_OK, AT_EACCESS) != 0) {
        const int e = errno;
        Failure f = Failure::io(requested, e);
        f.reason = Failure::Reason::ReadOnly;
        f.detail += "; not replaced";
        return f;
    }
    return std::nullopt;
}

// Hidden, system and archive bits of a file on FAT; none elsewhere.
std::optional<uint32_t> fatAttributes(const std::string& path) {
    Fd f{::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK)};
    uint32_t attributes = 0;
    if (f.fd < 0 || ::ioctl(f.fd, FAT_IOCTL_GET_ATTRIBUTES, &attributes) != 0)
        return std::nullopt;
    return attributes;
}

} // namespace

std::optional<Failure> safeWriteFile(const std::string& requested, const ByteProducer& produce) {
    std::string path;
    bool exists = false;
    struct stat old {};
    if (auto refused = checkTarget(requested, path, exists, old))
        return refused;

    const std::string folder = folderOf(path);
    const std::string base = baseNameOf(path);
    std::string temp;
    Fd f;
    for (unsigned attempt = 0; attempt < 100 && f.fd < 0; ++attempt) {
        temp = temporaryName(folder, base, attempt);
        // Mode 0666 lets the umask decide, as for any newly created file.
        f.fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (f.fd < 0 && errno != EEXIST)
            return stepFailure("open", requested, errno);
    }
    if (f.fd < 0)
        return stepFailure("open", requested, EEXIST);

    auto fail = [&](const char* step, int error) {
        if (f.fd >= 0)
            ::close(f.release());
        ::unlink(temp.c_str());
        return stepFailure(step, requested, error);
    };

    if (exists) {
        // Not every file system keeps owners and modes (FAT does not); that is no failure.
        if (::geteuid() == 0)
            (void)::fchown(f.fd, old.st_uid, old.st_gid);
        (void)::fchmod(f.fd, old.st_mode & 07777);
        if (auto attributes = fatAttributes(path))
            (void)::ioctl(f.fd, FAT_IOCTL_SET_ATTRIBUTES, &*attributes);
    }
    BlockWriter writer(f.fd);
    produce([&writer](std::string_view piece) { return writer.put(piece); });
    if (!writer.flush())
        return fail("write", writer.error());
    if (::fsync(f.fd) != 0)
        return fail("fsync", errno);
    if (::close(f.release()) != 0)
        return fail("close", errno);
    int error = 0;
    if (!sameContent(temp, produce, error))
        return fail("verify", error);
    if (::rename(temp.c_str(), path.c_str()) != 0)
        return fail("rename", errno);

    // From here on the new file is in place; what fails now is reported, but there is no old
    // file left to go back to.
    Fd dir{::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC)};
    if (dir.fd >= 0 && ::fsync(dir.fd) != 0 && errno != EINVAL && errno != EROFS && errno != ENOTSUP)
        return stepFailure("fsync", folder, errno);
    if (!sameContent(path, produce, error))
        return stepFailure("verify", requested, error);
    return std::nullopt;
}

std::optional<Failure> safeWriteFile(const std::string& path, std::string_view bytes) {
    return safeWriteFile(path, [bytes](const ByteSink& sink) { sink(bytes); });
}

std::optional<Failure> safeWriteFile(const std::string& path, std::span<const uint8_t> bytes) {
    return safeWriteFile(path, std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()));
}

} // namespace dcv
