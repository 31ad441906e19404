#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace dcv {

// Random-access bytes of a recording: a file read with pread, or a buffer (tests, fuzzers).
class ByteSource {
public:
    virtual ~ByteSource() = default;
    // Copies up to n bytes from offset into dst; returns how many were copied (fewer at the end).
    virtual size_t readAt(uint64_t offset, void* dst, size_t n) const = 0;
    // Length in bytes when the source was opened.
    virtual uint64_t size() const = 0;
};

class MemoryByteSource final : public ByteSource {
public:
    MemoryByteSource(const void* data, size_t size)
        : m_data(static_cast<const uint8_t*>(data)), m_size(size) {}
    explicit MemoryByteSource(std::string_view bytes) : MemoryByteSource(bytes.data(), bytes.size()) {}
    size_t readAt(uint64_t offset, void* dst, size_t n) const override;
    uint64_t size() const override { return m_size; }

private:
    const uint8_t* m_data;
    size_t m_size;
};

class FileByteSource final : public ByteSource {
public:
    FileByteSource() = default;
    ~FileByteSource() override;
    FileByteSource(const FileByteSource&) = delete;
    FileByteSource& operator=(const FileByteSource&) = delete;

    // Opens a regular file read-only. On failure returns false and sets error() to a short
    // reason ("No such file or directory", "Is a directory", "not a regular file").
    bool open(const char* path);
    void close();
    bool isOpen() const { return m_fd >= 0; }
    const std::string& error() const { return m_error; }

    size_t readAt(uint64_t offset, void* dst, size_t n) const override;
    uint64_t size() const override { return m_size; }

private:
    int m_fd = -1;
    uint64_t m_size = 0;
    std::string m_error;
};

} // namespace dcv
