#include "cli/Commands.h"

#include "sdcard/FlashData.h"

#include <cstdio>

namespace dcv::cli {

void addDrvCommand(CLI::App& app, Context& ctx) {
    auto file = std::make_shared<std::string>();
    auto output = std::make_shared<std::string>();
    CLI::App* cmd = app.add_subcommand("drv", "Export a driving log (.drv) as comma-separated text");
    cmd->add_option("FILE", *file, "The driving log, such as CARD/DrvInfo/telvo_000.drv")->required();
    cmd->add_option("-o,--output", *output, "Write the text to this file instead of standard output")
        ->type_name("FILE");
    cmd->callback([&ctx, file, output] {
        std::string error;
        const auto data = readFlashDataFile(*file, &error);
        if (!data) {
            printError(error);
            ctx.exitCode = kExitFailure;
            return;
        }
        if (data->isShort())
            printError(*file + ": the header gives " + std::to_string(data->headerCount()) + " records, " +
                       std::to_string(data->count()) + " complete ones are there");
        const std::string csv = flashDataCsvText(*data, englishFlashDataTitles());
        if (output->empty()) {
            std::fwrite(csv.data(), 1, csv.size(), stdout);
        } else if (const auto e = writeFileReplacing(*output, csv)) {
            printError(*e);
            ctx.exitCode = kExitFailure;
        }
    });
}

} // namespace dcv::cli
