#include "sdcard/TimeSetFile.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <cerrno>

using dcv::ClockTime;

namespace {

TEST(TimesetTextTest, NineteenBytesNoLineEnd) {
    EXPECT_EQ(dcv::timesetText({2024, 3, 5, 14, 7, 9}), "2024/03/05 14:07:09");
    EXPECT_EQ(dcv::timesetText({999, 12, 31, 23, 59, 59}), "0999/12/31 23:59:59");
    EXPECT_EQ(dcv::timesetText({2024, 2, 29, 0, 0, 0}), "2024/02/29 00:00:00");
    for (const ClockTime& bad :
         {ClockTime{2023, 2, 29, 0, 0, 0}, ClockTime{1900, 2, 29, 0, 0, 0}, ClockTime{2024, 4, 31, 0, 0, 0},
          ClockTime{2024, 13, 1, 0, 0, 0}, ClockTime{2024, 0, 1, 0, 0, 0}, ClockTime{2024, 1, 1, 24, 0, 0},
          ClockTime{2024, 1, 1, 0, 60, 0}, ClockTime{2024, 1, 1, 0, 0, 60}, ClockTime{10000, 1, 1, 0, 0, 0},
          ClockTime{-1, 1, 1, 0, 0, 0}})
        EXPECT_FALSE(dcv::timesetText(bad)) << bad.year << "/" << bad.month << "/" << bad.day;
}

TEST(TimesetTextTest, ParsesOnlyTheExactForm) {
    EXPECT_EQ(dcv::parseClockTime("2024/03/05 14:07:09"), (ClockTime{2024, 3, 5, 14, 7, 9}));
    EXPECT_EQ(dcv::parseClockTime("2000/02/29 23:59:59"), (ClockTime{2000, 2, 29, 23, 59, 59}));
    for (const char* bad :
         {"", "2024/03/05", "2024/3/5 14:07:09", "2024-03-05 14:07:09", "2024/03/05T14:07:09",
          "2024/03/05 14:07:09 ", " 2024/03/05 14:07:0", "2024/03/05 14:07:+9", "2024/02/30 00:00:00",
          "2024/03/05 25:00:00", "abcd/03/05 14:07:09"})
        EXPECT_FALSE(dcv::parseClockTime(bad)) << bad;
}

TEST(TimesetFileTest, FailuresAreReported) {
    dcv::test::TempDir dir;
    const auto invalid = dcv::writeTimesetFile((dir / "t.cfg").string(), {2024, 2, 30, 1, 2, 3});
    ASSERT_TRUE(invalid);
    EXPECT_EQ(invalid->reason, dcv::Failure::Reason::Invalid);
    EXPECT_FALSE(std::filesystem::exists(dir / "t.cfg"));
    // A writer that fails is passed through.
    const dcv::FileWriter failing = [](const std::string&, std::string_view) {
        return std::optional<dcv::Failure>(dcv::Failure::of(dcv::Failure::Reason::Io, "disk full", ENOSPC));
    };
    const auto full = dcv::writeTimesetFile((dir / "t.cfg").string(), {2024, 3, 5, 1, 2, 3}, failing);
    ASSERT_TRUE(full);
    EXPECT_EQ(full->detail, "disk full");
}

} // namespace
