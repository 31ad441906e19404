#include "cli/Commands.h"

#include "recordings/RecordingScan.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <malloc.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

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

// Two digits of a timestamp field (each lies within 0..60 once the name passed the filter).
char* put2(char* p, int32_t v) {
    p[0] = char('0' + v / 10 % 10);
    p[1] = char('0' + v % 10);
    return p + 2;
}

#ifndef MADV_POPULATE_WRITE
#define MADV_POPULATE_WRITE 23
#endif

// A scan of 15,000 recordings makes two small allocations for each. Faulting the heap in page
// by page costs about as much as the walk itself (on a virtual machine each fault is a trip to
// the hypervisor), so the heap is grown once and its pages made present in one call. Freed
// again at once, the block stays at the top of the heap for the entries. Older kernels refuse
// the advice; the run is then as before.
void prepareHeap() {
    constexpr size_t kBlock = size_t(6) << 20;
    ::mallopt(M_MMAP_THRESHOLD, 32 << 20);
    ::mallopt(M_TRIM_THRESHOLD, 64 << 20);
    ::mallopt(M_TOP_PAD, 8 << 20);
    void* p = std::malloc(kBlock);
    if (p == nullptr)
        return;
    const uintptr_t page = uintptr_t(::sysconf(_SC_PAGESIZE));
    const uintptr_t first = (reinterpret_cast<uintptr_t>(p) + page - 1) & ~(page - 1);
    (void)::madvise(reinterpret_cast<void*>(first), kBlock - page, MADV_POPULATE_WRITE);
    std::free(p);
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
    prepareHeap();
    RecordingScanReport report;
    std::vector<DCVMediaPtr> medias = scanRecordings(dir, nullptr, &report);
    // Formatted by hand into one buffer flushed in blocks: this runs once per recording and
    // printf-style formatting would cost more than the walk itself.
    std::string out;
    out.reserve(1 << 16);
    for (const DCVMediaPtr& m : medias) {
        out += kindName(m->mediaDivision());
        out += '\t';
        if (m->year() < 1) {
            out += "-\t-\t";
        } else {
            char t[20]; // "YYYY-MM-DD\tHH:MM:SS\t"
            char* p = put2(put2(t, m->year() / 100), m->year() % 100);
            *p++ = '-';
            p = put2(p, m->month());
            *p++ = '-';
            p = put2(p, m->day());
            *p++ = '\t';
            p = put2(p, m->hour());
            *p++ = ':';
            p = put2(p, m->minute());
            *p++ = ':';
            p = put2(p, m->second());
            *p++ = '\t';
            out.append(t, size_t(p - t));
        }
        out += m->mediaName();
        out += '.';
        out += m->extension();
        out += '\t';
        out += m->path();
        out += '\n';
        if (out.size() > (1 << 16) - 4096) {
            std::fwrite(out.data(), 1, out.size(), stdout);
            out.clear();
        }
    }
    std::fwrite(out.data(), 1, out.size(), stdout);
    // The listing stays as it is; what the scan could not read is said on stderr. When the folder
    // itself could not be read, nothing was scanned at all.
    for (const auto& folder : report.unreadableFolders)
        printError("cannot read the folder " + folder);
    if (report.limitReached)
        printError("the scan stopped at the limit of " + std::to_string(kMediaListLimit) +
                   " recordings; more are there");
    const bool nothingRead = !report.unreadableFolders.empty() && medias.empty() &&
                             report.unreadableFolders.front().rfind(dir + ": ", 0) == 0;
    // The process ends right after this; handing the entries to a static keeps them reachable and
    // spares freeing 15,000 objects one by one on the way out.
    static auto* keep = new std::vector<DCVMediaPtr>();
    *keep = std::move(medias);
    return nothingRead ? kExitFailure : kExitOk;
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
