#pragma once

#include "util/Log.h"

#include <filesystem>
#include <functional>
#include <mutex>
#include <string>
#include <vector>

namespace dcv::test {

// A fresh folder under the system's temporary folder, removed with everything in it.
class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;
    const std::filesystem::path& path() const { return m_path; }
    std::filesystem::path operator/(const std::string& name) const { return m_path / name; }
    // Creates a file (and its folders) with the given bytes; returns its path.
    std::filesystem::path write(const std::string& relative, const std::string& bytes = {}) const;

private:
    std::filesystem::path m_path;
};

struct ProcessResult {
    int exitCode = -1; // -1 when the process did not exit normally (a signal)
    std::string out, err;
};

// Runs a program with an argument vector (no shell), optionally feeding stdin.
ProcessResult runProcess(const std::vector<std::string>& argv, const std::string& input = {});
// The `dcv` tool the tests run: the one built here, or the one DCV_CLI names.
std::string dcvPath();
// Runs the built `dcv` tool.
ProcessResult runDcv(const std::vector<std::string>& args, const std::string& input = {});
// What a failing command should leave on stderr: exactly one line.
inline bool oneErrorLine(const ProcessResult& r) {
    return !r.err.empty() && r.err.find('\n') == r.err.size() - 1;
}

// Runs `body` in a child process as the unprivileged user 65534 (tests run as root, who reads
// and writes anything) and returns its exit status, -1 when it did not exit.
int runAsNobody(const std::function<int()>& body);

// The log lines written, from any thread, while it lives.
class CapturedLog {
public:
    CapturedLog();
    std::vector<std::string> lines() const;
    int count(const std::string& line) const;

private:
    mutable std::mutex m_mutex;
    std::vector<std::string> m_lines;
    ScopedLogSink m_sink;
};

std::string readFile(const std::filesystem::path& path);
std::filesystem::path sourceDir();
std::filesystem::path sampleCardDir();

} // namespace dcv::test
