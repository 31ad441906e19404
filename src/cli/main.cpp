#include "cli/Commands.h"

#include <cstdio>
#include <exception>
#include <iostream>

int main(int argc, char** argv) {
    using namespace dcv::cli;
    CLI::App app;
    Context ctx;
    setUpApp(app, ctx);

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
