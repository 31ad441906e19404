#include "cli/Commands.h"

#include "sdcard/DiskDiscovery.h"
#include "sdcard/FormatRun.h"

#include <cstdio>
#include <cstring>

namespace dcv::cli {
namespace {

// The English texts of the run's message keys; the viewer takes them from its string table.
std::string english(const char* key) {
    static constexpr struct {
        const char* key;
        const char* text;
    } kTexts[] = {{"msg.format_complete", "Format complete"},
                  {"msg.cannot_format", "Cannot format the disk"},
                  {"msg.write_protected_disk", "The disk is write-protected."}};
    for (const auto& t : kTexts)
        if (std::strcmp(t.key, key) == 0)
            return t.text;
    return key;
}

std::string oneLine(std::string s) {
    for (size_t i; (i = s.find('\n')) != std::string::npos;)
        s.replace(i, 1, " - ");
    return s;
}

int runFormat(const std::string& device, bool giveUpSettings) {
    SpawnCommandRunner runner;
    const DiskDiscovery discovery(lsblkSourceFrom(runner));
    FormatHooks hooks;
    FormatRun run(runner, discovery, hooks);
    const FormatOutcome outcome = run.run(
        device,
        [](const std::string& status) {
            std::printf("%s\n", status.c_str());
            std::fflush(stdout);
        },
        giveUpSettings ? UnkeptSettings::GiveUp : UnkeptSettings::Stop);
    const AlertTexts alert = formatAlertTexts(outcome, english);
    if (outcome.settingsGivenUp)
        printError("format: the card's settings could not be kept; it gets a default config.bin");
    if (outcome.result == FormatResult::ConfigSaveFailed ||
        outcome.result == FormatResult::SettingsUnreadable)
        printError("format: nothing was erased; to format anyway and lose the card's settings, add "
                   "--give-up-settings");
    if (outcome.succeeded()) {
        std::printf("%s: %s\n", alert.messageText.c_str(), oneLine(alert.informativeText).c_str());
        return kExitOk;
    }
    printError(alert.messageText + ": " + oneLine(alert.informativeText));
    return kExitFailure;
}

} // namespace

void addFormatCommand(CLI::App& app, Context& ctx) {
    auto device = std::make_shared<std::string>();
    auto yes = std::make_shared<bool>(false);
    auto giveUp = std::make_shared<bool>(false);
    CLI::App* cmd =
        app.add_subcommand("format", "Erase a USB card and make it FAT32 the way the camera wants it,\n"
                                     "keeping its config.bin (or writing a default one). Asks for\n"
                                     "administrator rights unless run as root");
    cmd->add_option("DEVICE", *device, "Device name as `dcv disks` shows it, such as sdb1")->required();
    cmd->add_flag("--yes", *yes, "Confirm that everything on the card may be erased");
    cmd->add_flag("--give-up-settings", *giveUp,
                  "Format even when the card's config.bin cannot be read or saved off it\n"
                  "(the card then gets a default one)");
    cmd->callback([&ctx, device, yes, giveUp] {
        if (!*yes) {
            printError("format: this erases " + *device + "; add --yes to go ahead");
            ctx.exitCode = kExitUsage;
            return;
        }
        ctx.exitCode = runFormat(*device, *giveUp);
    });
}

} // namespace dcv::cli
