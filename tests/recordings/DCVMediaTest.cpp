#include "recordings/DCVMedia.h"

#include <gtest/gtest.h>

using dcv::DCVMedia;

namespace {

TEST(MediaTest, ParsesKindAndTimestampFromTheName) {
    const struct {
        const char* path;
        int division;
        const char* stamp; // yyyymmddhhmiss
    } cases[] = {
        {"/card/alwa_20210315_142530_F.MP4", 0, "20210315142530"},
        // A motion stem without channel suffix has the always length and is still read at 7.
        {"motion_20210315_142530.MP4", 1, "20210315142530"},
        // Out-of-range fields keep the kind and clear the time.
        {"/c/alwa_19691231_235959_F.MP4", 0, "00000000000000"},
        {"/c/event_20211301_000000_F.MP4", 2, "00000000000000"},
        {"/c/motion_20210100_000000_F.MP4", 1, "00000000000000"},
        // Bounds are inclusive and the day is not checked against the month.
        {"/c/alwa_20210431_246060_F.MP4", 0, "20210431246060"},
        {"/c/alwa_27001231_000000_F.MP4", 0, "27001231000000"},
        {"/c/alwa_27011231_000000_F.MP4", 0, "00000000000000"},
        // Ranges are read like strtol: "2a" is 2, leading blanks are skipped, no digits give 0.
        {"/c/alwa_2021 3 5_1a2530_F.MP4", 0, "20210305012530"},
        // A bare timestamp stem, an unknown prefix, and no extension.
        {"/c/20210315_142530_F.MP4", 0, "00000000000000"},
        {"/c/xxxxx_20210315_142530_F.MP4", 0, "00000000000000"},
        {"/c/alwa_20210315_142530_F", 0, "20210315142530"},
        // A hidden companion file: a leading "._" makes it none of the templates.
        {"/c/._alwa_20210315_142530_F.MP4", 0, "00000000000000"},
    };
    for (const auto& c : cases) {
        const DCVMedia m(c.path);
        EXPECT_EQ(m.mediaDivision(), c.division) << c.path;
        EXPECT_EQ(m.yyyymmddhhmiss(), c.stamp) << c.path;
    }
}

TEST(MediaTest, SplitsDirectoryStemAndExtension) {
    DCVMedia m("/media/card/DCIM/alwa_20210315_142530_F.mp4");
    EXPECT_EQ(m.dir(), "/media/card/DCIM");
    EXPECT_EQ(m.mediaName(), "alwa_20210315_142530_F");
    EXPECT_EQ(m.extension(), "mp4");
    EXPECT_EQ(m.fileName(), "alwa_20210315_142530_F.mp4");
    // Without an extension the file name still ends with the dot.
    EXPECT_EQ(DCVMedia("/c/alwa_20210315_142530_F").extension(), "");
    EXPECT_EQ(DCVMedia("/c/alwa_20210315_142530_F").fileName(), "alwa_20210315_142530_F.");
}

TEST(MediaTest, ReparsingAnInvalidNameKeepsThePreviousKind) {
    DCVMedia m("event_20210315_142530_F.MP4");
    ASSERT_EQ(m.mediaDivision(), 2);
    m.parsePath("short.MP4"); // no template length: times cleared, kind kept
    EXPECT_EQ(m.mediaDivision(), 2);
    EXPECT_EQ(m.yyyymmddhhmiss(), "00000000000000");
}

TEST(MediaTest, DirectionFromPathSuffix) {
    struct {
        const char* path;
        int32_t direction;
    } cases[] = {{"/x/alwa_20210315_142530_r.mp4", 1},
                 {"/x/alwa_20210315_142530_F.MP4", 0},
                 {"/x/alwa_20210315_142530_F.AVI", 2},
                 {"_F.MP", 2},
                 {"_R.MP4", 1},
                 {"", 2}};
    for (const auto& c : cases)
        EXPECT_EQ(dcv::mediaDirection(std::string_view(c.path)), c.direction) << c.path;
    EXPECT_EQ(dcv::mediaDirection(static_cast<const std::string*>(nullptr)), 2);
}

} // namespace
