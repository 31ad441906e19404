#include "cli/Commands.h"

#include "sdcard/TimeSetFile.h"

#include <ctime>

namespace dcv::cli {

void addTimesetCommand(CLI::App& app, Context& ctx) {
    auto file = std::make_shared<std::string>();
    auto at = std::make_shared<std::string>();
    CLI::App* cmd = app.add_subcommand("timeset", "Write the camera's clock file (19 bytes, local time)");
    cmd->add_option("FILE", *file, "The file to write, such as CARD/timeset.cfg")->required();
    cmd->add_option("--at", *at, "The time to write, \"YYYY/MM/DD HH:MM:SS\" (default: now)");
    cmd->callback([&ctx, file, at] {
        ClockTime t = localClockTime(std::time(nullptr));
        if (!at->empty()) {
            const auto parsed = parseClockTime(*at);
            if (!parsed) {
                printError("--at: \"" + *at + "\" is not a date and time YYYY/MM/DD HH:MM:SS");
                ctx.exitCode = kExitUsage;
                return;
            }
            t = *parsed;
        }
        if (const auto failure = writeTimesetFile(*file, t)) {
            printError(failure->detail);
            ctx.exitCode = kExitFailure;
        }
    });
}

} // namespace dcv::cli
