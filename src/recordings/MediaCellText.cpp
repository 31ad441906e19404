#include "recordings/MediaCellText.h"

#include <cstdio>

namespace dcv {

const char* mediaColumnIdentifier(MediaColumn column) {
    switch (column) {
    case MediaColumn::SaveMode:
        return "saveMode";
    case MediaColumn::Date:
        return "date";
    case MediaColumn::Time:
        return "time";
    case MediaColumn::File:
        return "file";
    }
    return "";
}

const char* mediaColumnTitleKey(MediaColumn column) {
    switch (column) {
    case MediaColumn::SaveMode:
        return "filelist.mode";
    case MediaColumn::Date:
        return "filelist.date";
    case MediaColumn::Time:
        return "filelist.time";
    case MediaColumn::File:
        return "filelist.file";
    }
    return "";
}

bool mediaColumnCentred(MediaColumn column) {
    return column != MediaColumn::File;
}

MediaKind mediaKind(const DCVMedia& media) {
    if (media.isAlwaysMedia())
        return {"media.always", "alwa"};
    if (media.isMotionMedia())
        return {"media.motion", "motion"};
    if (media.isEventMedia())
        return {"media.event", "event"};
    return {"media.unknown", nullptr};
}

std::string mediaKindImageName(const MediaKind& kind) {
    return kind.imageStem ? std::string("car_") + kind.imageStem : std::string();
}

std::optional<std::string> mediaCellText(const DCVMedia& media, MediaColumn column) {
    char buffer[48];
    switch (column) {
    case MediaColumn::Date:
        if (media.year() < 1)
            return std::nullopt;
        std::snprintf(buffer, sizeof buffer, "%04d-%02d-%02d", media.year(), media.month(), media.day());
        return std::string(buffer);
    case MediaColumn::Time:
        if (media.year() < 1)
            return std::nullopt;
        std::snprintf(buffer, sizeof buffer, "%02d:%02d:%02d", media.hour(), media.minute(), media.second());
        return std::string(buffer);
    case MediaColumn::File:
        return media.fileName();
    case MediaColumn::SaveMode:
        return std::nullopt;
    }
    return std::nullopt;
}

} // namespace dcv
