#include "sdcard/TKUSBDiskEntity.h"

#include <gtest/gtest.h>

#include <set>

using dcv::TKUSBDiskEntity;

namespace {

TEST(ByteSizeTextTest, GivesTheExampleTexts) {
    const struct {
        uint64_t bytes;
        const char* text;
    } cases[] = {{0, "0 B"},
                 {1023, "1023 B"},
                 {1024, "1.0 kB"},
                 {10239, "10 kB"},
                 {10752, "10 kB"},
                 {10753, "11 kB"},
                 {1048575, "1.0 MB"},
                 // Ties: an odd whole number rounds up, and so does a tie that hides a lower remainder.
                 {11 * 1024 + 512, "12 kB"},
                 {(10 * 1024 + 512) * 1024 + 1, "11 MB"},
                 // Tenths: 50 rounds to even unless an earlier remainder was lost.
                 {1024 + 150, "1.2 kB"},
                 {1024 + 250, "1.2 kB"},
                 {(1024 + 250) * 1024 + 7, "1.3 MB"},
                 {1024 + 949, "1.9 kB"},
                 {1024 + 950, "2.0 kB"},
                 {UINT64_MAX, "16 EB"}};
    for (const auto& c : cases)
        EXPECT_EQ(dcv::byteSizeText(c.bytes), c.text) << c.bytes;
}

TEST(ByteSizeTextTest, NeverLongerThanSevenCharacters) {
    for (uint64_t v = 1; v != 0 && v < UINT64_MAX / 3; v = v * 3 + 1)
        for (uint64_t d : {v, v - 1, v + 511, v + 512})
            EXPECT_LE(dcv::byteSizeText(d).size(), 7u) << d;
}

TKUSBDiskEntity disk(const char* name, const char* dev, bool writable, const char* mount = "") {
    return TKUSBDiskEntity(name, mount[0] ? mount : std::string("/media/") + dev, dev, std::nullopt, 1 << 30,
                           writable, false, std::string("/dev/") + dev);
}

TEST(FindCameraDiskTest, PassesInOrder) {
    // Mount paths whose config.bin exists.
    const std::set<std::string> withConfig = {"/media/b/config.bin", "/media/d/config.bin"};
    const auto exists = [&](const std::string& p) { return withConfig.count(p) > 0; };
    const struct {
        const char* name;
        std::vector<TKUSBDiskEntity> disks;
        const char* expected; // device name, "" for none
    } cases[] = {
        {"empty list", {}, ""},
        {"second TELVO has config.bin", {disk("TELVO", "a", true), disk("TELVO", "b", true)}, "b"},
        {"config.bin on a locked TELVO does not count",
         {disk("TELVO", "d", false), disk("TELVO", "c", true)},
         "c"},
        {"locked TELVO before a writable other", {disk("OTHER", "e", true), disk("TELVO", "f", false)}, "f"},
        {"other names: first writable", {disk("X", "g", false), disk("Y", "h", true)}, "h"},
        {"nothing writable: the first", {disk("X", "i", false), disk("Y", "j", false)}, "i"},
        {"name is case-sensitive", {disk("telvo", "k", false), disk("Telvo", "l", true)}, "l"},
        {"config.bin under a non-TELVO name is not pass 1",
         {disk("SD", "b", true), disk("TELVO", "m", true)},
         "m"},
    };
    for (const auto& c : cases) {
        const auto found = dcv::findCameraDisk(c.disks, exists);
        EXPECT_EQ(found ? found->deviceFilePath() : "", c.expected) << c.name;
    }
}

TEST(FindCameraDiskTest, UnmountedCardHasNoConfigFile) {
    // A file test is never made against a path built from an empty mount path.
    std::vector<std::string> asked;
    const auto exists = [&](const std::string& p) {
        asked.push_back(p);
        return true;
    };
    const std::vector<TKUSBDiskEntity> disks = {
        TKUSBDiskEntity("TELVO", "", "sdx", std::nullopt, 1, true, true, "/dev/sdx"),
        disk("TELVO", "y", true)};
    const auto found = dcv::findCameraDisk(disks, exists);
    ASSERT_TRUE(found);
    EXPECT_EQ(found->deviceFilePath(), "y");
    EXPECT_EQ(asked, std::vector<std::string>{"/media/y/config.bin"});
    // Nor is it ever chosen: joined with "config.bin" it would name a file on the system disk.
    EXPECT_FALSE(dcv::findCameraDisk({disks[0]}, exists));
    EXPECT_EQ(dcv::findCameraDisk({disks[0], disk("OTHER", "z", false)}, exists)->deviceFilePath(), "z");
}

TEST(ParseByteCountTest, DigitsOnlyAndNoWrap) {
    const struct {
        const char* text;
        std::optional<uint64_t> value;
    } cases[] = {{"0", 0},
                 {"007", 7},
                 {"18446744073709551615", UINT64_MAX},
                 {"18446744073709551616", std::nullopt},
                 {"", std::nullopt},
                 {"-1", std::nullopt},
                 {" 1", std::nullopt},
                 {"1 ", std::nullopt},
                 {"0x10", std::nullopt}};
    for (const auto& c : cases)
        EXPECT_EQ(dcv::parseByteCount(c.text), c.value) << c.text;
}

} // namespace
