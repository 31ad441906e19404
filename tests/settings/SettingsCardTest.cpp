#include "settings/SettingsCard.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>
#include <map>

using namespace dcv;

namespace {

TKUSBDiskEntity volume(const std::string& name, const std::string& mount) {
    return TKUSBDiskEntity(name, mount, "sdb1", std::nullopt, 8ull << 30, true, false, "/dev/sdb");
}

TEST(SettingsCardTest, OnlyAMountedCardWithA500ByteFileCounts) {
    const std::map<std::string, uint64_t> sizes = {
        {"/media/a/config.bin", 500}, {"/media/b/config.bin", 499}, {"/media/c/config.bin", 501}};
    const FileSizeOf sizeOf = [&](const std::string& p) -> std::optional<uint64_t> {
        const auto it = sizes.find(p);
        return it == sizes.end() ? std::nullopt : std::optional(it->second);
    };
    struct {
        TKUSBDiskEntity card;
        std::optional<std::string> file;
    } cases[] = {
        {volume("CARD", "/media/a"), "/media/a/config.bin"},
        {volume("TELVO", "/media/b"), std::nullopt},
        {volume("TELVO", "/media/c"), std::nullopt},
        {volume("TELVO", "/media/d"), std::nullopt}, // no file
        {volume("TELVO", ""), std::nullopt},         // not mounted: never "/config.bin"
    };
    for (const auto& c : cases)
        EXPECT_EQ(cardSettingsFile(c.card, sizeOf), c.file) << c.card.mountedURL();
    EXPECT_EQ(folderSettingsFile("/media/a/", sizeOf), "/media/a/config.bin");
    EXPECT_EQ(folderSettingsFile("", sizeOf), std::nullopt);
}

TEST(SettingsCardTest, SizesOfRealFiles) {
    dcv::test::TempDir dir;
    dir.write("config.bin", std::string(500, 'x'));
    dir.write("short/config.bin", std::string(499, 'x'));
    std::filesystem::create_directories(dir / "folder/config.bin");
    EXPECT_EQ(folderSettingsFile(dir.path().string()), (dir / "config.bin").string());
    EXPECT_EQ(folderSettingsFile((dir / "short").string()), std::nullopt);
    EXPECT_EQ(folderSettingsFile((dir / "folder").string()), std::nullopt) << "a folder named config.bin";
    EXPECT_EQ(fileSizeOf((dir / "missing").string()), std::nullopt);
}

TEST(SettingsCardTest, SaveFallsBackOnlyToAMountedCameraCard) {
    struct {
        std::optional<TKUSBDiskEntity> found;
        std::optional<std::string> destination;
    } cases[] = {
        {volume("TELVO", "/media/t"), "/media/t/config.bin"},
        {volume("USBSTICK", "/media/s"), std::nullopt}, // any writable volume: ask instead
        {volume("TELVO", ""), std::nullopt},            // not mounted
        {std::nullopt, std::nullopt},
    };
    for (const auto& c : cases)
        EXPECT_EQ(fallbackSaveDestination(c.found), c.destination)
            << (c.found ? c.found->volumeName() : "none");
}

} // namespace
