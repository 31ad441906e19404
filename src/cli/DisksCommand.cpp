#include "cli/Commands.h"

#include "sdcard/CardFile.h"
#include "sdcard/DiskDiscovery.h"

#include <cstdio>

namespace dcv::cli {
namespace {

int runDisks(const std::string& jsonFile) {
    SpawnCommandRunner runner;
    LsblkSource source = lsblkSourceFrom(runner);
    if (!jsonFile.empty())
        source = [&jsonFile] { return readWholeFile(jsonFile); };
    const DiskDiscovery discovery(source);
    const auto volumes = discovery.volumes();
    if (!volumes) {
        printError(jsonFile.empty() ? "cannot list the disks: lsblk gave no readable output"
                                    : jsonFile + ": not lsblk's JSON output");
        return kExitFailure;
    }
    // One listing for both: the marked card is one of the lines printed.
    const auto disks = usbDiskEntities(*volumes);
    const auto camera = findCameraDisk(disks);
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
        app.add_subcommand("disks", "List the USB disks, one per line: size, label and model, a tab,\n"
                                    "the device name, a tab, the mount path or -. The camera's card\n"
                                    "is marked with * in front");
    cmd->add_option("--lsblk-json", *json, "Read lsblk's JSON output from this file instead of running lsblk")
        ->check(CLI::ExistingFile);
    cmd->callback([&ctx, json] { ctx.exitCode = runDisks(*json); });
}

} // namespace dcv::cli
