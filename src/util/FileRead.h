#pragma once

#include "util/Failure.h"

#include <cstdint>
#include <string>

namespace dcv {

// Caps for the files read from a card or named on the command line; anything larger is not
// such a file and would only fill memory.
inline constexpr uint64_t kMaxSmallFile = uint64_t(1) << 20;     // config.bin, timeset.cfg, lsblk output
inline constexpr uint64_t kMaxDriveLogFile = uint64_t(64) << 20; // a .drv driving log
inline constexpr uint64_t kMaxTextLogFile = uint64_t(256) << 20; // NMEA text

// Reads a whole regular file of at most `maxBytes`. A symbolic link is followed. Refuses without
// waiting what is not a regular file (a FIFO is never opened for blocking reads, a device never
// read), with Reason::NotRegularFile; Missing when there is no such file; TooLarge when the file
// has (or grows to) more than `maxBytes`; Io for any other failure (permission, read error).
Result<std::string> readRegularFile(const std::string& path, uint64_t maxBytes);

// The first `maxBytes` (or fewer) bytes of a regular file, whatever its length; refuses as
// readRegularFile does, but never for being too large.
Result<std::string> readRegularFileStart(const std::string& path, uint64_t maxBytes);

// Opens a regular file for reading without blocking on a FIFO: the descriptor (close it), or
// the failure as readRegularFile gives it. `size` receives the file's length.
Result<int> openRegularFile(const std::string& path, uint64_t* size = nullptr);

} // namespace dcv
