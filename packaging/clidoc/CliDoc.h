#pragma once

// The manual page and the bash completion of `dcv`, made from its own command tree at build time
// so that neither can drift from what `dcv --help` says.
#include <CLI/CLI.hpp>

#include <string>
#include <string_view>
#include <vector>

namespace dcv::clidoc {

// Plain text as roff input: backslashes printed as such, and a line that would start with a
// control character ("." or "'") or with spaces kept as text.
std::string roffText(std::string_view text);
// An option or command name in roff: hyphens as minus signs, so that a name copied from the
// rendered page can be pasted into a shell.
std::string roffCode(std::string_view name);

// What a word of the command line stands for, as far as completing it goes: positionals by their
// name (FILE, DIR, DEVICE), options by their type name ("TEXT:FILE", "TEXT:{csv,json,gpx}").
enum class ValueKind { None, File, Directory, Device, Choice };
struct ValueSpec {
    ValueKind kind = ValueKind::None;
    std::vector<std::string> choices;
};
ValueSpec valueSpec(const CLI::Option& option);

// The hand-written `page` with "@VERSION@" and "@DATE@" filled in and its line "@COMMANDS@"
// replaced by the sections OPTIONS (of `app` itself) and COMMANDS (every command, depth first).
std::string manPage(const CLI::App& app, std::string_view page, std::string_view version,
                    std::string_view date);

// A bash completion script for `app`: command names, options, the values of options and the
// positionals of each command.
std::string bashCompletion(const CLI::App& app);

} // namespace dcv::clidoc
