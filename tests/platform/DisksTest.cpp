// The Qt side of the disk tools: the QProcess runner keeps the runner contract, the Qt face of
// the discovery gives file URLs, and the volume rename takes its fallbacks.
#include "sdcard/RunnerContract.h"

#include "platform/disks/UsbVolumes.h"
#include "platform/disks/VolumeRename.h"
#include "platform/shell/ShellScript.h"
#include "sdcard/FormatPlan.h"

#include <QCoreApplication>

#include <filesystem>
#include <fstream>
#include <unistd.h>

namespace {

using dcv::PrivilegeOptions;
using dcv::test::RunnerContractTest;

// QtDBus and QProcess want an application object.
class QtApplication : public ::testing::Environment {
public:
    void SetUp() override {
        static int argc = 1;
        static char name[] = "platform_disks_tests";
        static char* argv[] = {name, nullptr};
        if (!QCoreApplication::instance())
            app = new QCoreApplication(argc, argv);
    }
    QCoreApplication* app = nullptr;
};
const auto* const kApp = ::testing::AddGlobalTestEnvironment(new QtApplication);

INSTANTIATE_TEST_SUITE_P(QProcess, RunnerContractTest,
                         ::testing::Values(dcv::test::RunnerFactory{
                             "qprocess",
                             [](const PrivilegeOptions& p) -> std::unique_ptr<dcv::CommandRunner> {
                                 return std::make_unique<dcv::QtCommandRunner>(p);
                             }}));

TEST(ShellScriptTest, DictionaryAsTheWindowsReadIt) {
    EXPECT_TRUE(dcv::runShellScript({"true"}, false).isEmpty());
    const QVariantMap e = dcv::runShellScript({"ls", "/nonexistent-dcv-path"}, false);
    ASSERT_EQ(e.size(), 2);
    EXPECT_EQ(e.value("NSAppleScriptErrorNumber").typeId(), QMetaType::Int);
    EXPECT_EQ(e.value("NSAppleScriptErrorNumber").toInt(), 2);
    EXPECT_TRUE(e.value("NSAppleScriptErrorMessage").toString().contains("No such file"));
    EXPECT_EQ(dcv::readCommandOutput({"printf", "%s", "a b"}), "a b");
    EXPECT_TRUE(dcv::readCommandOutput({"dcv-no-such-program"}).isNull());
    EXPECT_FALSE(dcv::readCommandOutput({"true"}).isNull()); // empty, not null
}

TEST(UsbVolumesTest, FileUrlsFromRecordedListings) {
    const std::string json = dcv::test::readFile(dcv::test::sourceDir() / "tests" / "data" / "lsblk" /
                                                 "usb-reader-partition.json");
    const dcv::UsbVolumes volumes([&] { return std::optional<std::string>(json); });
    const QList<QUrl> expected = {QUrl::fromLocalFile("/media/anna/TELVO"),
                                  QUrl::fromLocalFile("/media/anna/BACKUP")};
    EXPECT_EQ(volumes.removableVolumeURLs(), expected);
    EXPECT_EQ(volumes.usbVolumeURLs(), expected);
    EXPECT_TRUE(volumes.usbVolumeWithFile("timeset.cfg").isEmpty()); // the recorded paths do not exist here
    // Which disks and which card: the discovery's own tests.
    EXPECT_EQ(dcv::mountedURL(volumes.usbDiskEntities().at(0)), QUrl::fromLocalFile("/media/anna/TELVO"));
    EXPECT_TRUE(dcv::mountedURL(dcv::TKUSBDiskEntity()).isEmpty());
}

TEST(UsbVolumesTest, FindsTheFileOnARealFolder) {
    dcv::test::TempDir dir;
    dir.write("card/timeset.cfg", "2024/03/05 14:07:09");
    const std::string mount = (dir / "card").string();
    const std::string json = R"({"blockdevices": [{"kname": "sdz", "type": "disk", "tran": "usb", "rm": true,
        "size": 1000, "label": "TELVO", "mountpoint": ")" +
                             mount + R"("}]})";
    const dcv::UsbVolumes volumes([&] { return std::optional<std::string>(json); });
    EXPECT_EQ(volumes.usbVolumeWithFile("timeset.cfg"), QUrl::fromLocalFile(QString::fromStdString(mount)));
    EXPECT_TRUE(volumes.usbVolumeWithFile("config.bin").isEmpty());
}

class RecordingRunner : public dcv::CommandRunner {
public:
    std::vector<std::vector<std::string>> calls;
    dcv::ShellErrorDictionary answer;
    dcv::ShellErrorDictionary runShellScript(const std::vector<std::string>& argv, bool) override {
        calls.push_back(argv);
        return answer;
    }
    std::optional<std::string> readCommandOutput(const std::vector<std::string>&) override { return ""; }
};

dcv::TKUSBDiskEntity card(const char* dev) {
    return dcv::TKUSBDiskEntity("NO NAME", "/media/x", dev, std::nullopt, 1 << 30, true, false, "/dev/x");
}

TEST(VolumeRenameTest, FallsBackToFatlabelAsRootAndFailsOtherwise) {
    RecordingRunner runner;
    const dcv::RenameOptions root{false, true}, user{false, false};
    EXPECT_TRUE(dcv::renameVolume(card("sdb1"), "TELVO", runner, root).isEmpty());
    ASSERT_EQ(runner.calls.size(), 1u);
    EXPECT_EQ(runner.calls[0], (std::vector<std::string>{"fatlabel", "/dev/sdb1", "TELVO"}));

    runner.answer = dcv::shellErrorForExit(1, "fatlabel: unable to open /dev/sdb1");
    const QVariantMap failed = dcv::renameVolume(card("sdb1"), "TELVO", runner, root);
    EXPECT_EQ(failed.value("NSAppleScriptErrorNumber").toInt(), 1);
    EXPECT_EQ(failed.value("NSAppleScriptErrorMessage").toString(), "fatlabel: unable to open /dev/sdb1");

    runner.calls.clear();
    const QVariantMap noWay = dcv::renameVolume(card("sdb1"), "TELVO", runner, user);
    EXPECT_FALSE(noWay.isEmpty());
    EXPECT_TRUE(runner.calls.empty()); // never a password prompt

    for (const auto& [dev, label] : {std::pair<const char*, const char*>{"../sda", "TELVO"},
                                     {"sdb1", ""},
                                     {"sdb1", "telvo"},
                                     {"sdb1", "TWELVECHARSX"},
                                     {"sdb1", "A;B"}}) {
        EXPECT_FALSE(dcv::renameVolume(card(dev), label, runner, root).isEmpty()) << dev << " " << label;
    }
    EXPECT_TRUE(runner.calls.empty());
}

TEST(VolumeRenameTest, RenamesARealCardAsRoot) {
    if (::geteuid() != 0)
        GTEST_SKIP() << "needs root for a loop device";
    if (!dcv::findExecutable("fatlabel") || !dcv::findExecutable("losetup") ||
        !dcv::findExecutable("mkfs.fat"))
        GTEST_SKIP() << "dosfstools or losetup missing";
    dcv::test::TempDir dir;
    const auto image = dir / "card.img";
    { std::ofstream(image.string()); }
    std::filesystem::resize_file(image, 64ull << 20);
    const auto attached = dcv::test::runProcess({"losetup", "-f", "--show", image.string()});
    if (attached.exitCode != 0)
        GTEST_SKIP() << "no free loop device";
    std::string dev = attached.out.substr(0, attached.out.find('\n'));
    ASSERT_EQ(dcv::test::runProcess({"mkfs.fat", "-n", "NO NAME", dev}).exitCode, 0);
    dcv::QtCommandRunner runner;
    const QVariantMap e =
        dcv::renameVolume(card(dev.substr(5).c_str()), "TELVO", runner, dcv::RenameOptions{false, true});
    EXPECT_TRUE(e.isEmpty()) << e.value("NSAppleScriptErrorMessage").toString().toStdString();
    const auto label = dcv::test::runProcess({"fatlabel", dev});
    EXPECT_EQ(label.out, "TELVO\n");
    dcv::test::runProcess({"losetup", "-d", dev});
}

} // namespace
