#include "cli/Commands.h"
#include "util/Version.h"

#include <cstdio>

namespace dcv::cli {

void printError(const std::string& message) {
    std::fprintf(stderr, "dcv: %s\n", message.c_str());
}

void setUpApp(CLI::App& app, Context& ctx) {
    app.name("dcv");
    app.description("dcv - read and write the files of the dash camera's SD card");
    app.require_subcommand(1);
    app.set_help_all_flag("--help-all", "Show help for every command");
    app.set_version_flag("--version", std::string("dcv ") + kVersion, "Print the version and exit");
    addListCommand(app, ctx);
    addDisksCommand(app, ctx);
    addSizeCommand(app, ctx);
    addTimesetCommand(app, ctx);
    addDrvCommand(app, ctx);
    addFormatCommand(app, ctx);
    addTelemetryCommand(app, ctx);
    addNmeaCommand(app, ctx);
    addConfigCommand(app, ctx);
}

} // namespace dcv::cli
