#pragma once

// One line in the system log (ident "dcv-viewer") per call, printf-style, without levels.
void dcvLog(const char* format, ...)
#if defined(__GNUC__)
    __attribute__((format(printf, 1, 2)))
#endif
    ;
