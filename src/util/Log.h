#pragma once

#include <functional>
#include <string>

namespace dcv {

// Diagnostics: one formatted line per call, without levels. Nothing of it is shown to the user.
// By default each line goes to the system log (syslog, ident "dcv-viewer"); tools and tests
// may route the lines elsewhere with setLogSink.
using LogSink = std::function<void(const std::string& line)>;

#if defined(__GNUC__)
__attribute__((format(printf, 1, 2)))
#endif
void dcvLog(const char* format, ...);

// Installs `sink` for every later line, from any thread; an empty sink restores the system
// log. Returns the sink that was installed before.
LogSink setLogSink(LogSink sink);

// The default sink; with DCV_LOG_STDERR set in the environment it also prints the line on stderr.
void systemLogSink(const std::string& line);

// Sets a sink for the lifetime of the object and puts the previous one back afterwards.
class ScopedLogSink {
public:
    explicit ScopedLogSink(LogSink sink) : m_previous(setLogSink(std::move(sink))) {}
    ~ScopedLogSink() { setLogSink(std::move(m_previous)); }
    ScopedLogSink(const ScopedLogSink&) = delete;
    ScopedLogSink& operator=(const ScopedLogSink&) = delete;

private:
    LogSink m_previous;
};

} // namespace dcv
