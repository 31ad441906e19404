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
        const Result<FlashData> data = readFlashDataFile(*file);
        if (!data) {
            printError(data.failure().detail);
            ctx.exitCode = kExitFailure;
            return;
        }
        if (data->isShort())
            printError(*file + ": the header gives " + std::to_string(data->headerCount()) + " records, " +
                       std::to_string(data->count()) + " complete ones are there");
        else if (data->count() == 0)
            printError(*file + ": no records");
        const auto titles = englishFlashDataTitles();
        if (output->empty()) {
            flashDataCsvLines(*data, titles, [](std::string_view line) {
                return std::fwrite(line.data(), 1, line.size(), stdout) == line.size();
            });
        } else if (const auto failure = writeFlashDataCsv(*output, *data, titles)) {
            printError(failure->detail);
            ctx.exitCode = kExitFailure;
        }
    });
}

} // namespace dcv::cli
