#include "util/FileRead.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace dcv {

Failure Failure::io(const std::string& path, int error) {
    const Reason reason = error == ENOENT || error == ENOTDIR ? Reason::Missing
                          : error == EISDIR                   ? Reason::NotRegularFile
                          : error == EROFS                    ? Reason::ReadOnly
                                                              : Reason::Io;
    return Failure{reason, error, path + ": " + std::strerror(error), {}};
}

Result<int> openRegularFile(const std::string& path, uint64_t* size) {
    // O_NONBLOCK: opening a FIFO for reading would otherwise wait for a writer; O_NOCTTY: a
    // terminal never becomes ours. Neither changes how a regular file reads.
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY);
    if (fd < 0)
        return Failure::io(path, errno);
    struct stat st {};
    if (::fstat(fd, &st) != 0) {
        const int e = errno;
        ::close(fd);
        return Failure::io(path, e);
    }
    if (!S_ISREG(st.st_mode)) {
        ::close(fd);
        return Failure::of(
            Failure::Reason::NotRegularFile,
            path + (S_ISDIR(st.st_mode) ? std::string(": ") + std::strerror(EISDIR) : ": not a regular file"),
            S_ISDIR(st.st_mode) ? EISDIR : 0);
    }
    if (size)
        *size = uint64_t(st.st_size);
    return fd;
}

namespace {

// Reads at most `maxBytes`; with `refuseLonger`, a file that has (or grows to) more is TooLarge.
Result<std::string> readCapped(const std::string& path, uint64_t maxBytes, bool refuseLonger) {
    uint64_t size = 0;
    const Result<int> opened = openRegularFile(path, &size);
    if (!opened)
        return opened.failure();
    const int fd = *opened;
    auto tooLarge = [&] {
        ::close(fd);
        return Failure::of(Failure::Reason::TooLarge,
                           path + ": larger than " + std::to_string(maxBytes) + " bytes", EFBIG);
    };
    if (refuseLonger && size > maxBytes)
        return tooLarge();
    std::string data;
    data.reserve(size_t(std::min(size, maxBytes)));
    char buf[65536];
    // One byte beyond the cap tells a longer file from one of exactly the cap.
    const uint64_t wanted = refuseLonger ? maxBytes + 1 : maxBytes;
    while (data.size() < wanted) {
        const ssize_t k = ::read(fd, buf, size_t(std::min<uint64_t>(sizeof buf, wanted - data.size())));
        if (k < 0 && errno == EINTR)
            continue;
        if (k < 0) {
            const int e = errno;
            ::close(fd);
            return Failure::io(path, e);
        }
        if (k == 0)
            break;
        data.append(buf, size_t(k));
    }
    if (data.size() > maxBytes)
        return tooLarge(); // it grew while it was read
    ::close(fd);
    return data;
}

} // namespace

Result<std::string> readRegularFile(const std::string& path, uint64_t maxBytes) {
    return readCapped(path, maxBytes, true);
}

Result<std::string> readRegularFileStart(const std::string& path, uint64_t maxBytes) {
    return readCapped(path, maxBytes, false);
}

} // namespace dcv
