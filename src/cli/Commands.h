#pragma once

#include <CLI/CLI.hpp>

namespace dcv::cli {

// Exit codes shared by every command.
inline constexpr int kExitOk = 0;
inline constexpr int kExitFailure = 1;
inline constexpr int kExitUsage = 2;

// Each command file registers its subcommand; the callback stores the command's exit code here.
struct Context {
    int exitCode = kExitOk;
};

// The whole command tree of `dcv`: name, description, help and version flags and every command.
// The manual page and the shell completion are made from this same tree.
void setUpApp(CLI::App& app, Context& ctx);

void addListCommand(CLI::App& app, Context& ctx);
void addDisksCommand(CLI::App& app, Context& ctx);
void addSizeCommand(CLI::App& app, Context& ctx);
void addTimesetCommand(CLI::App& app, Context& ctx);
void addDrvCommand(CLI::App& app, Context& ctx);
void addFormatCommand(CLI::App& app, Context& ctx);
void addTelemetryCommand(CLI::App& app, Context& ctx);
void addNmeaCommand(CLI::App& app, Context& ctx);
void addConfigCommand(CLI::App& app, Context& ctx);

// Prints one diagnostic line on stderr, prefixed with the program name.
void printError(const std::string& message);

} // namespace dcv::cli
