#include "telemetry/ByteSource.h"

#include "util/FileRead.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <unistd.h>

namespace dcv {

size_t MemoryByteSource::readAt(uint64_t offset, void* dst, size_t n) const {
    if (offset >= m_size || n == 0)
        return 0;
    const size_t k = size_t(std::min<uint64_t>(n, m_size - offset));
    std::memcpy(dst, m_data + offset, k);
    return k;
}

FileByteSource::~FileByteSource() {
    close();
}

bool FileByteSource::open(const char* path) {
    close();
    m_error.clear();
    if (path == nullptr) {
        m_error = "no path";
        return false;
    }
    // A FIFO on the card cannot hang the reader, nor a device feed it without end.
    const Result<int> fd = openRegularFile(path, &m_size);
    if (!fd) {
        const Failure& f = fd.failure();
        m_error = f.reason == Failure::Reason::NotRegularFile && f.error == 0 ? "not a regular file"
                                                                              : std::strerror(f.error);
        return false;
    }
    m_fd = *fd;
    return true;
}

void FileByteSource::close() {
    if (m_fd >= 0)
        ::close(m_fd);
    m_fd = -1;
    m_size = 0;
}

size_t FileByteSource::readAt(uint64_t offset, void* dst, size_t n) const {
    if (m_fd < 0 || offset > uint64_t(INT64_MAX))
        return 0;
    size_t done = 0;
    while (done < n) {
        const ssize_t k = ::pread(m_fd, static_cast<uint8_t*>(dst) + done, n - done, off_t(offset + done));
        if (k < 0 && errno == EINTR)
            continue;
        if (k <= 0)
            break;
        done += size_t(k);
    }
    return done;
}

} // namespace dcv
