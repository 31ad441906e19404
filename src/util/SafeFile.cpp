#include "util/SafeFile.h"

#include <atomic>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <random>
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

FileWriteResult failure(const char* step, const std::string& path, int error) {
    return FileWriteResult{error != 0 ? error : EIO, step, path};
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

// A link is replaced by nothing: the file it points at is what gets saved.
std::string resolveTarget(const std::string& path) {
    struct stat st {};
    if (::lstat(path.c_str(), &st) != 0 || !S_ISLNK(st.st_mode))
        return path;
    char resolved[PATH_MAX];
    if (::realpath(path.c_str(), resolved) != nullptr)
        return resolved;
    return path;
}

bool writeAll(int fd, const uint8_t* data, size_t size, int& error) {
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

// Reads the file back past the page cache where the kernel allows it and compares.
bool sameContent(const std::string& path, std::span<const uint8_t> bytes, int& error) {
    Fd f{::open(path.c_str(), O_RDONLY | O_CLOEXEC)};
    if (f.fd < 0) {
        error = errno;
        return false;
    }
    // The data was synced, so dropping the cached pages makes the read come from the device.
    (void)::posix_fadvise(f.fd, 0, 0, POSIX_FADV_DONTNEED);
    std::vector<uint8_t> back(bytes.size() + 1);
    size_t got = 0;
    while (got < back.size()) {
        const ssize_t n = ::read(f.fd, back.data() + got, back.size() - got);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            error = errno;
            return false;
        }
        if (n == 0)
            break;
        got += size_t(n);
    }
    if (got != bytes.size() || (got != 0 && std::memcmp(back.data(), bytes.data(), got) != 0)) {
        error = EIO;
        return false;
    }
    return true;
}

std::string temporaryName(const std::string& folder, const std::string& base, unsigned attempt) {
    static std::atomic<unsigned> counter{0};
    thread_local std::mt19937 rng{std::random_device{}()};
    char suffix[64];
    std::snprintf(suffix, sizeof suffix, ".%d-%u-%u-%08x.tmp", int(::getpid()), counter++, attempt,
                  unsigned(rng()));
    return (folder == "/" ? std::string() : folder) + "/." + base + suffix;
}

} // namespace

std::string FileWriteResult::errorText() const {
    if (ok())
        return {};
    return step + " " + path + ": " + std::strerror(error);
}

FileWriteResult safeWriteFile(const std::string& requested, std::span<const uint8_t> bytes) {
    const std::string path = resolveTarget(requested);
    struct stat old {};
    const bool exists = ::stat(path.c_str(), &old) == 0;
    if (exists && S_ISDIR(old.st_mode))
        return failure("open", path, EISDIR);

    const std::string folder = folderOf(path);
    const std::string base = baseNameOf(path);
    std::string temp;
    Fd f;
    for (unsigned attempt = 0; attempt < 100 && f.fd < 0; ++attempt) {
        temp = temporaryName(folder, base, attempt);
        // Mode 0666 lets the umask decide, as for any newly created file.
        f.fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (f.fd < 0 && errno != EEXIST)
            return failure("open", temp, errno);
    }
    if (f.fd < 0)
        return failure("open", temp, EEXIST);

    auto fail = [&](const char* step, int error) {
        if (f.fd >= 0)
            ::close(f.release());
        ::unlink(temp.c_str());
        return failure(step, temp, error);
    };

    if (exists) {
        // Not every file system keeps owners and modes (FAT does not); that is no failure.
        if (::geteuid() == 0)
            (void)::fchown(f.fd, old.st_uid, old.st_gid);
        (void)::fchmod(f.fd, old.st_mode & 07777);
    }
    int error = 0;
    if (!writeAll(f.fd, bytes.data(), bytes.size(), error))
        return fail("write", error);
    if (::fsync(f.fd) != 0)
        return fail("fsync", errno);
    if (::close(f.release()) != 0)
        return fail("close", errno);
    if (!sameContent(temp, bytes, error))
        return fail("verify", error);
    if (::rename(temp.c_str(), path.c_str()) != 0)
        return fail("rename", errno);

    // From here on the new file is in place; what fails now is reported, but there is no old
    // file left to go back to.
    Fd dir{::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC)};
    if (dir.fd >= 0 && ::fsync(dir.fd) != 0 && errno != EINVAL && errno != EROFS && errno != ENOTSUP)
        return failure("fsync", folder, errno);
    if (!sameContent(path, bytes, error))
        return failure("verify", path, error);
    return {};
}

FileWriteResult safeWriteFile(const std::string& path, std::string_view bytes) {
    return safeWriteFile(
        path, std::span<const uint8_t>(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size()));
}

} // namespace dcv
