#include "platform/DCVLog.h"

#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <syslog.h>

void dcvLog(const char* format, ...) {
    static const bool opened = [] {
        openlog("dcv-viewer", LOG_PID, LOG_USER);
        return true;
    }();
    (void)opened;
    char line[2048];
    va_list args;
    va_start(args, format);
    std::vsnprintf(line, sizeof line, format, args);
    va_end(args);
    syslog(LOG_NOTICE, "%s", line);
    // For headless runs and tests the same line can go to standard error.
    if (std::getenv("DCV_LOG_STDERR"))
        std::fprintf(stderr, "%s\n", line);
}
