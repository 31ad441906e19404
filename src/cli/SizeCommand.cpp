#include "cli/Commands.h"

#include "sdcard/TKUSBDiskEntity.h"

#include <cstdio>

namespace dcv::cli {

void addSizeCommand(CLI::App& app, Context& ctx) {
    auto counts = std::make_shared<std::vector<std::string>>();
    CLI::App* cmd = app.add_subcommand("size", "Print the short size text of each byte count, one per line");
    cmd->add_option("BYTES", *counts, "Byte counts (0 to 18446744073709551615)")->required();
    cmd->callback([&ctx, counts] {
        std::string out;
        for (const auto& c : *counts) {
            // Digits only: strtoull would take a sign, blanks and wrap negative numbers.
            const auto v = parseByteCount(c);
            if (!v) {
                printError("size: \"" + c + "\" is not a byte count");
                ctx.exitCode = kExitUsage;
                return;
            }
            out += byteSizeText(*v) + "\n";
        }
        std::fwrite(out.data(), 1, out.size(), stdout);
    });
}

} // namespace dcv::cli
