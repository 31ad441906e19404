#pragma once

// Which card the settings window reads and saves. A card counts only when it is mounted and
// its config.bin is exactly one settings record long; anything else is left alone.

#include "sdcard/TKUSBDiskEntity.h"

#include <cstdint>
#include <functional>
#include <optional>
#include <string>

namespace dcv {

// The size of a regular file, or none when there is none at the path.
using FileSizeOf = std::function<std::optional<uint64_t>(const std::string& path)>;
std::optional<uint64_t> fileSizeOf(const std::string& path);

// The card's config.bin when the card is mounted and the file is exactly 500 bytes.
std::optional<std::string> cardSettingsFile(const TKUSBDiskEntity& card,
                                            const FileSizeOf& sizeOf = fileSizeOf);
// The config.bin of a folder used as the card, under the same rule.
std::optional<std::string> folderSettingsFile(const std::string& folder,
                                              const FileSizeOf& sizeOf = fileSizeOf);

// Where Save writes when the window holds no card of its own: the card discovery finds now,
// only when it carries the camera's volume name and is mounted. Any other volume may be an
// unrelated USB stick, so then the user is asked instead (none).
std::optional<std::string> fallbackSaveDestination(const std::optional<TKUSBDiskEntity>& found);

} // namespace dcv
