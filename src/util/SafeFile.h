#pragma once

#include "util/Failure.h"

#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace dcv {

// Takes the next piece of a file's content; false when it could not be written (the producer
// may stop then).
using ByteSink = std::function<bool(std::string_view piece)>;
// Gives a file's content piece by piece to the sink, the same bytes every time it is called, so
// that large exports never stand whole in memory.
using ByteProducer = std::function<void(const ByteSink& sink)>;

// Replaces the file at `path` with the produced bytes so that a full disk, a pulled card or a
// crash never leaves a torn or empty file: the bytes go to a temporary file in the same folder,
// which is written completely, synced, read back and compared (the producer runs again for the
// comparison), and only then renamed over `path`; the folder is synced and the saved file read
// back once more (FAT has no journal, so the rename is the only step that can still go wrong).
// On any failure before the rename the old file is untouched and the temporary file removed.
//
// Refused, with the target untouched: an existing target that is not a regular file (a folder,
// FIFO, device node or socket; Reason::NotRegularFile), a symbolic link that points nowhere, and
// a file that the caller may not write or that has no write permission bit at all (a file
// marked read-only, which root could otherwise replace; Reason::ReadOnly). A symbolic link to a
// regular file is followed, so the link stays; in a shared folder such as /tmp only a link of
// the caller or of the folder's owner. An existing file's permissions, owner (for root)
// and FAT attributes are kept where the file system allows it.
std::optional<Failure> safeWriteFile(const std::string& path, const ByteProducer& produce);
std::optional<Failure> safeWriteFile(const std::string& path, std::string_view bytes);
std::optional<Failure> safeWriteFile(const std::string& path, std::span<const uint8_t> bytes);

// How the file layer is reached by code that tests give a failing one.
using FileWriter = std::function<std::optional<Failure>(const std::string& path, std::string_view bytes)>;
inline std::optional<Failure> writeFileSafely(const std::string& path, std::string_view bytes) {
    return safeWriteFile(path, bytes);
}

} // namespace dcv
