#include "cli/Commands.h"

#include "recordings/RecordingScan.h"

#include <cerrno>
#include <cstring>
#include <sys/stat.h>

namespace dcv::cli {
namespace {

const char* kindName(int32_t division) {
    switch (division) {
    case 1:
        return "motion";
    case 2:
        return "event";
    default:
        return "always";
    }
}

int runList(const std::string& dir) {
    struct stat st {};
    if (::stat(dir.c_str(), &st) != 0) {
        printError(dir + ": " + std::strerror(errno));
        return kExitFailure;
    }
    if (!S_ISDIR(st.st_mode)) {
        printError(dir + ": not a directory");
        return kExitFailure;
    }
    const std::vector<DCVMediaPtr> medias = scanRecordings(dir);
    std::string out;
    out.reserve(medias.size() * 96);
    char buf[64];
    for (const DCVMediaPtr& m : medias) {
        out += kindName(m->mediaDivision());
        out += '\t';
        if (m->year() < 1) {
            out += "-\t-\t";
        } else {
            std::snprintf(buf, sizeof buf, "%04d-%02d-%02d\t%02d:%02d:%02d\t", m->year(), m->month(),
                          m->day(), m->hour(), m->minute(), m->second());
            out += buf;
        }
        out += m->fileName();
        out += '\t';
        out += m->path();
        out += '\n';
    }
    std::fwrite(out.data(), 1, out.size(), stdout);
    return kExitOk;
}

} // namespace

void addListCommand(CLI::App& app, Context& ctx) {
    auto dir = std::make_shared<std::string>();
    CLI::App* cmd = app.add_subcommand("list", "List the recordings under DIR in time order, one per line:\n"
                                               "kind, date, time, file name and path, separated by tabs");
    cmd->add_option("DIR", *dir, "Folder to scan (subfolders included)")->required();
    cmd->callback([&ctx, dir] { ctx.exitCode = runList(*dir); });
}

} // namespace dcv::cli
