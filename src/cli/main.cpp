#include "cli/Commands.h"

#include <cstdio>
#include <exception>
#include <iostream>

namespace dcv::cli {
void printError(const std::string& message) {
    std::fprintf(stderr, "dcv: %s\n", message.c_str());
}
} // namespace dcv::cli

int main(int argc, char** argv) {
    using namespace dcv::cli;
    CLI::App app{"dcv - read and write the files of the dash camera's SD card"};
    app.require_subcommand(1);
    app.set_help_all_flag("--help-all", "Show help for every command");
    Context ctx;
    addListCommand(app, ctx);
    addDisksCommand(app, ctx);
    addSizeCommand(app, ctx);
    addTimesetCommand(app, ctx);
    addDrvCommand(app, ctx);
    addFormatCommand(app, ctx);
    addTelemetryCommand(app, ctx);
    addNmeaCommand(app, ctx);
    addConfigCommand(app, ctx);

    try {
        app.parse(argc, argv);
    } catch (const CLI::CallForHelp& e) {
        return app.exit(e);
    } catch (const CLI::CallForAllHelp& e) {
        return app.exit(e);
    } catch (const CLI::CallForVersion& e) {
        return app.exit(e);
    } catch (const CLI::ParseError& e) {
        printError(std::string(e.what()) + " (see --help)");
        return kExitUsage;
    } catch (const std::exception& e) {
        printError(e.what());
        return kExitFailure;
    }
    std::fflush(stdout);
    if (std::ferror(stdout)) {
        printError("cannot write the output");
        return kExitFailure;
    }
    return ctx.exitCode;
}
