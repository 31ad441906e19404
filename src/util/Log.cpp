#include "util/Log.h"

#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <mutex>
#include <syslog.h>

namespace dcv {
namespace {

std::mutex& sinkMutex() {
    static std::mutex m;
    return m;
}

LogSink& currentSink() {
    static LogSink sink;
    return sink;
}

} // namespace

void systemLogSink(const std::string& line) {
    static std::once_flag opened;
    std::call_once(opened, [] { ::openlog("dcv-viewer", LOG_PID, LOG_USER); });
    ::syslog(LOG_NOTICE, "%s", line.c_str());
    // For headless runs and tests the same line can go to standard error.
    if (std::getenv("DCV_LOG_STDERR"))
        std::fprintf(stderr, "%s\n", line.c_str());
}

LogSink setLogSink(LogSink sink) {
    std::lock_guard lock(sinkMutex());
    LogSink previous = std::move(currentSink());
    currentSink() = std::move(sink);
    return previous;
}

void dcvLog(const char* format, ...) {
    char small[512];
    std::va_list args;
    va_start(args, format);
    std::va_list again;
    va_copy(again, args);
    const int n = std::vsnprintf(small, sizeof small, format, args);
    va_end(args);
    std::string line;
    if (n < 0) {
        line = format;
    } else if (size_t(n) < sizeof small) {
        line.assign(small, size_t(n));
    } else {
        line.resize(size_t(n) + 1);
        std::vsnprintf(line.data(), line.size(), format, again);
        line.resize(size_t(n));
    }
    va_end(again);
    // One call is one line: a trailing newline of the format would add an empty one.
    while (!line.empty() && (line.back() == '\n' || line.back() == '\r'))
        line.pop_back();

    LogSink sink;
    {
        std::lock_guard lock(sinkMutex());
        sink = currentSink();
    }
    // Called outside the lock, so that a sink may itself log or change the sink.
    if (sink)
        sink(line);
    else
        systemLogSink(line);
}

} // namespace dcv
