#include "sdcard/CardFile.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace dcv {

namespace {

std::string failure(const std::string& path, int err) {
    return path + ": " + std::strerror(err);
}

bool writeAll(int fd, std::string_view bytes) {
    while (!bytes.empty()) {
        const ssize_t k = ::write(fd, bytes.data(), bytes.size());
        if (k < 0 && errno == EINTR)
            continue;
        if (k <= 0) {
            if (k == 0)
                errno = ENOSPC;
            return false;
        }
        bytes.remove_prefix(size_t(k));
    }
    return true;
}

} // namespace

std::optional<std::string> readWholeFile(const std::string& path, std::string* error) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        if (error)
            *error = failure(path, errno);
        return std::nullopt;
    }
    std::string data;
    char buf[65536];
    for (;;) {
        const ssize_t k = ::read(fd, buf, sizeof buf);
        if (k < 0 && errno == EINTR)
            continue;
        if (k < 0) {
            if (error)
                *error = failure(path, errno);
            ::close(fd);
            return std::nullopt;
        }
        if (k == 0)
            break;
        data.append(buf, size_t(k));
    }
    ::close(fd);
    return data;
}

std::optional<std::string> writeFileReplacing(const std::string& path, std::string_view bytes) {
    const size_t slash = path.rfind('/');
    const std::string dir = slash == std::string::npos ? "." : slash == 0 ? "/" : path.substr(0, slash);
    const std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
    if (name.empty())
        return failure(path, EISDIR);
    struct stat st {};
    if (::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode))
        return failure(path, EISDIR);

    std::string temp = (dir == "/" ? std::string() : dir) + "/." + name + ".XXXXXX";
    const int fd = ::mkstemp(temp.data());
    if (fd < 0)
        return failure(path, errno);
    int err = 0;
    if (!writeAll(fd, bytes) || ::fsync(fd) != 0)
        err = errno;
    if (::close(fd) != 0 && err == 0)
        err = errno;
    // mkstemp makes the file 0600; a file read elsewhere wants the usual rights. FAT keeps no
    // such rights and some of its drivers refuse the call: that is no failure of the write.
    if (err == 0)
        (void)::chmod(temp.c_str(), 0644);
    if (err == 0 && ::rename(temp.c_str(), path.c_str()) != 0)
        err = errno;
    if (err != 0) {
        ::unlink(temp.c_str());
        return failure(path, err);
    }
    const int dfd = ::open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dfd >= 0) {
        ::fsync(dfd); // some file systems refuse to sync a folder; the read-back below decides
        ::close(dfd);
    }
    std::string readError;
    const auto back = readWholeFile(path, &readError);
    if (!back)
        return readError;
    if (*back != bytes)
        return path + ": the written file reads back different";
    return std::nullopt;
}

} // namespace dcv
