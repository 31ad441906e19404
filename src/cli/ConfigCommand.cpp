#include "cli/Commands.h"

#include "settings/SettingsEditor.h"
#include "settings/SettingsRecord.h"
#include "util/Log.h"

#include <memory>

namespace dcv::cli {
namespace {

// Reads FILE, which must be exactly one record long. Prints the reason and returns false otherwise.
bool loadRecord(const std::string& path, _FILEDATA& record) {
    const Result<_FILEDATA> loaded = loadSettingsFile(path);
    if (!loaded) {
        printError(loaded.failure().detail);
        return false;
    }
    record = *loaded;
    return true;
}

// The save's log line (with the system's error text) is the one diagnostic line on failure.
int saveResult(const std::optional<std::string>& failure) {
    return failure ? kExitFailure : kExitOk;
}

LogSink stderrSink() {
    return [](const std::string& line) { printError(line); };
}

int runShow(const std::string& path) {
    _FILEDATA record{};
    if (!loadRecord(path, record))
        return kExitFailure;
    const std::string out = settingsRecordListing(record);
    std::fwrite(out.data(), 1, out.size(), stdout);
    return kExitOk;
}

int runCheck(const std::string& path) {
    _FILEDATA record{};
    if (!loadRecord(path, record))
        return kExitFailure;
    const std::string line = settingsChecksumLine(record);
    std::fwrite(line.data(), 1, line.size(), stdout);
    // Factory defaults carry no check word until the settings are first saved: not a fault.
    return settingsChecksumState(record) == SettingsChecksumState::Mismatch ? kExitFailure : kExitOk;
}

int runDefaults(const std::string& path) {
    ScopedLogSink log(stderrSink());
    return saveResult(writeDefaultSettingsFile(path));
}

int runSet(const std::string& path, const std::vector<std::string>& assignments) {
    _FILEDATA record{};
    if (!loadRecord(path, record))
        return kExitFailure;
    if (const auto refusal = applySettingsAssignments(record, assignments)) {
        printError(refusal->message());
        return kExitFailure;
    }
    prepareSettingsRecordForSave(record);
    ScopedLogSink log(stderrSink());
    return saveResult(writeSettingsRecord(record, path));
}

} // namespace

void addConfigCommand(CLI::App& app, Context& ctx) {
    CLI::App* config = app.add_subcommand("config", "Show, check and edit a settings file (config.bin)");
    config->require_subcommand(1);

    auto showPath = std::make_shared<std::string>();
    CLI::App* show = config->add_subcommand("show", "Print every field as name=value in file order, then\n"
                                                    "checksum=ok, checksum=not-computed stored=65535 or\n"
                                                    "checksum=mismatch stored=N computed=M");
    show->add_option("FILE", *showPath, "Settings file")->required();
    show->callback([&ctx, showPath] { ctx.exitCode = runShow(*showPath); });

    auto defaultsPath = std::make_shared<std::string>();
    CLI::App* defaults =
        config->add_subcommand("defaults", "Write a settings file with the factory defaults\n"
                                           "(checksum left at 65535)");
    defaults->add_option("FILE", *defaultsPath, "Settings file to create or replace")->required();
    defaults->callback([&ctx, defaultsPath] { ctx.exitCode = runDefaults(*defaultsPath); });

    auto setPath = std::make_shared<std::string>();
    auto assignments = std::make_shared<std::vector<std::string>>();
    CLI::App* set =
        config->add_subcommand("set", "Change fields to values the settings window could store, then update\n"
                                      "carNumberSet and the checksum and save; nothing is written when any\n"
                                      "assignment is refused");
    set->add_option("FILE", *setPath, "Settings file")->required();
    set->add_option("ASSIGNMENT", *assignments, "name=value, one or more")->required();
    set->callback([&ctx, setPath, assignments] { ctx.exitCode = runSet(*setPath, *assignments); });

    auto checkPath = std::make_shared<std::string>();
    CLI::App* check =
        config->add_subcommand("check", "Print the checksum line; exit 1 when the stored checksum does\n"
                                        "not match, 0 when it does or is the factory\n"
                                        "defaults' 65535 (not computed yet)");
    check->add_option("FILE", *checkPath, "Settings file")->required();
    check->callback([&ctx, checkPath] { ctx.exitCode = runCheck(*checkPath); });
}

} // namespace dcv::cli
