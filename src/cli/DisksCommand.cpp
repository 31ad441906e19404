#include "cli/Commands.h"

#include "sdcard/DiskDiscovery.h"
#include "util/FileRead.h"

#include <cstdio>

namespace dcv::cli {
namespace {

int runDisks(const std::string& jsonFile) {
    SpawnCommandRunner runner;
    LsblkSource source = lsblkSourceFrom(runner);
    if (!jsonFile.empty()) {
        Result<std::string> json = readRegularFile(jsonFile, kMaxSmallFile);
        if (!json) {
            printError(json.failure().detail);
            return kExitFailure;
        }
        source = [text = std::move(*json)] { return std::optional<std::string>(text); };
    }
    const DiskDiscovery discovery(source);
    const auto volumes = discovery.volumes();
    if (!volumes) {
        printError(jsonFile.empty() ? "cannot list the disks: lsblk gave no readable output"
                                    : jsonFile + ": not lsblk's JSON output");
        return kExitFailure;
    }
    // One listing for both: the marked card is one of the lines printed. Cards that are not
    // mounted are listed too (they can be formatted), but only a mounted one is the camera's.
    const auto disks = cardReaderEntities(*volumes);
    const auto camera = findCameraDisk(usbDiskEntities(*volumes));
    std::string out;
    for (const auto& d : disks) {
        if (camera && *camera == d)
            out += '*';
        out += d.displayString() + "\t" + d.deviceFilePath() + "\t" + (d.isMounted() ? d.mountedURL() : "-") +
               "\n";
    }
    std::fwrite(out.data(), 1, out.size(), stdout);
    return kExitOk;
}

} // namespace

void addDisksCommand(CLI::App& app, Context& ctx) {
    auto json = std::make_shared<std::string>();
    CLI::App* cmd =
        app.add_subcommand("disks", "List the cards in USB readers and SD slots, one per line:\n"
                                    "size, label and model, a tab, the device name, a tab, the mount\n"
                                    "path or -. The camera's card is marked with * in front");
    cmd->add_option("--lsblk-json", *json, "Read lsblk's JSON output from this file instead of running lsblk")
        ->check(CLI::ExistingFile);
    cmd->callback([&ctx, json] { ctx.exitCode = runDisks(*json); });
}

} // namespace dcv::cli
