#include "sdcard/CardFile.h"

#include "util/SafeFile.h"

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
    const FileWriteResult result = safeWriteFile(path, bytes);
    if (result)
        return std::nullopt;
    // The target first, as the windows show it; the failed step says where it went wrong.
    return path + ": " + std::strerror(result.error) + " (" + result.step + ")";
}

} // namespace dcv
