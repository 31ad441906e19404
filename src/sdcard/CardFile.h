#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace dcv {

// Writes a whole file and says why it could not: the error text, or none when the file on
// disk now holds exactly these bytes.
using FileWriter = std::function<std::optional<std::string>(const std::string& path, std::string_view bytes)>;

// Replaces the file at `path` with `bytes` so that a failure never leaves a half-written file:
// a temporary file in the same folder, flushed to the device, renamed over the old one, the
// folder flushed, and the result read back and compared (a FAT card has no journal). An
// existing longer file is thereby replaced whole, never left with a tail.
std::optional<std::string> writeFileReplacing(const std::string& path, std::string_view bytes);

// Reads a whole file; none when it cannot be read.
std::optional<std::string> readWholeFile(const std::string& path, std::string* error = nullptr);

} // namespace dcv
