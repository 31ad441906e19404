#include "recordings/MediaCellText.h"

#include <gtest/gtest.h>

using namespace dcv;

TEST(MediaCellText, KindDateTimeAndFileCells) {
    struct {
        const char* path;
        int division; // -1 keeps the parsed kind
        const char *kindKey, *image;
        std::optional<std::string> date, time;
    } cases[] = {
        {"/card/alwa_20210315_142530_F.MP4", -1, "media.always", "car_alwa", "2021-03-15", "14:25:30"},
        {"/card/motion_20210315_142538_R.MP4", -1, "media.motion", "car_motion", "2021-03-15", "14:25:38"},
        {"/card/event_20211231_235959_F.MP4", -1, "media.event", "car_event", "2021-12-31", "23:59:59"},
        // A template length without a known prefix: kind 0, no timestamp.
        {"/card/abcd_20210315_142530_F.MP4", -1, "media.always", "car_alwa", std::nullopt, std::nullopt},
        {"/card/alwa_20210315_142530_F.MP4", 7, "media.unknown", "", "2021-03-15", "14:25:30"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.path);
        DCVMedia media(c.path);
        if (c.division >= 0)
            media.setMediaDivision(c.division);
        const MediaKind kind = mediaKind(media);
        EXPECT_STREQ(kind.textKey, c.kindKey);
        EXPECT_EQ(mediaKindImageName(kind), c.image);
        EXPECT_EQ(mediaCellText(media, MediaColumn::Date), c.date);
        EXPECT_EQ(mediaCellText(media, MediaColumn::Time), c.time);
        EXPECT_EQ(mediaCellText(media, MediaColumn::File), media.fileName());
    }
}
