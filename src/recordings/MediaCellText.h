#pragma once

#include "recordings/DCVMedia.h"

#include <optional>
#include <string>

namespace dcv {

// The recordings table's columns, in order.
enum class MediaColumn : int { SaveMode = 0, Date = 1, Time = 2, File = 3 };
inline constexpr int kMediaColumnCount = 4;

// Identifier and title key of a column ("saveMode" / "filelist.mode" …).
const char* mediaColumnIdentifier(MediaColumn column);
const char* mediaColumnTitleKey(MediaColumn column);
// Centre for every column but the file name, which is left aligned.
bool mediaColumnCentred(MediaColumn column);

struct MediaKind {
    const char* textKey;   // "media.always" …
    const char* imageStem; // "alwa" …, null for an unknown kind
};
// Tested in order: always, motion, event; anything else is unknown.
MediaKind mediaKind(const DCVMedia& media);
// "car_%@" of the stem; empty for none.
std::string mediaKindImageName(const MediaKind& kind);

// The text of a date, time or file cell; none when the entry has no timestamp (year below 1).
// The kind cell's text is looked up by key and not given here.
std::optional<std::string> mediaCellText(const DCVMedia& media, MediaColumn column);

} // namespace dcv
