#include "util/FileRead.h"

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
        return Failure::of(Failure::Reason::NotRegularFile,
                           path + (S_ISDIR(st.st_mode) ? std::string(": ") + std::strerror(EISDIR) : ": not a regular file"),
                           S_ISDIR(st.st_mode) ? EISDIR : 0);
    }
    if (size)
        *size = uint64_t(st.st_size);
    return fd;
}

Result<std::string> readRegularFile(const std::string& path, uint64_t maxBytes) {
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
    if (size > maxBytes)
        return tooLarge();
    std::string data;
    data.reserve(size_t(size));
    char buf[65536];
    for (;;) {
        const ssize_t k = ::read(fd, buf, sizeof buf);
        if (k < 0 && errno == EINTR)
            continue;
        if (k < 0) {
            const int e = errno;
            ::close(fd);
            return Failure::io(path, e);
        }
        if (k == 0)
            break;
        // A file that grows while it is read is held to the same cap.
        if (data.size() + size_t(k) > maxBytes)
            return tooLarge();
        data.append(buf, size_t(k));
    }
    ::close(fd);
    return data;
}

} // namespace dcv
