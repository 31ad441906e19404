#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

namespace dcv {

// Outcome of safeWriteFile. On failure `step` names what failed ("open", "write", "fsync",
// "close", "rename", "verify"), `path` the file it worked on and `error` the errno value.
struct FileWriteResult {
    int error = 0;
    std::string step;
    std::string path;

    bool ok() const { return error == 0; }
    explicit operator bool() const { return ok(); }
    // "write /media/card/.config.bin.1a2b.tmp: No space left on device"; empty on success.
    std::string errorText() const;
};

// Replaces the file at `path` with `bytes` so that a full disk, a pulled card or a crash never
// leaves a torn or empty file: the bytes go to a temporary file in the same folder, which is
// written completely, synced, read back and compared, and only then renamed over `path`; the
// folder is synced and the saved file read back once more (FAT has no journal, so the rename
// is the only step that can still go wrong). On any failure before the rename the old file is
// untouched and the temporary file removed. A symbolic link at `path` is followed, so the link
// stays. An existing file's permissions and owner are kept where the file system allows it.
FileWriteResult safeWriteFile(const std::string& path, std::span<const uint8_t> bytes);
FileWriteResult safeWriteFile(const std::string& path, std::string_view bytes);

} // namespace dcv
