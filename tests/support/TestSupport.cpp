#include "support/TestSupport.h"

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <fstream>
#include <poll.h>
#include <sstream>
#include <stdexcept>
#include <sys/wait.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace dcv::test {

TempDir::TempDir() {
    std::string templ = (fs::temp_directory_path() / "dcv-test-XXXXXX").string();
    if (::mkdtemp(templ.data()) == nullptr)
        throw std::runtime_error("mkdtemp failed");
    m_path = templ;
}

TempDir::~TempDir() {
    std::error_code ec;
    // Tests make folders read-only to provoke failures; give the rights back before removing.
    for (auto it =
             fs::recursive_directory_iterator(m_path, fs::directory_options::skip_permission_denied, ec);
         !ec && it != fs::recursive_directory_iterator(); it.increment(ec)) {
        if (it->is_directory(ec) && !it->is_symlink(ec))
            fs::permissions(it->path(), fs::perms::owner_all, fs::perm_options::add, ec);
    }
    fs::permissions(m_path, fs::perms::owner_all, fs::perm_options::add, ec);
    fs::remove_all(m_path, ec);
}

CapturedLog::CapturedLog()
    : m_sink([this](const std::string& line) {
          std::lock_guard lock(m_mutex);
          m_lines.push_back(line);
      }) {}

std::vector<std::string> CapturedLog::lines() const {
    std::lock_guard lock(m_mutex);
    return m_lines;
}

int CapturedLog::count(const std::string& line) const {
    std::lock_guard lock(m_mutex);
    return int(std::count(m_lines.begin(), m_lines.end(), line));
}

fs::path TempDir::write(const std::string& relative, const std::string& bytes) const {
    fs::path p = m_path / relative;
    fs::create_directories(p.parent_path());
    std::ofstream f(p, std::ios::binary | std::ios::trunc);
    f.write(bytes.data(), std::streamsize(bytes.size()));
    if (!f)
        throw std::runtime_error("cannot write " + p.string());
    return p;
}

int runAsNobody(const std::function<int()>& body) {
    const pid_t pid = ::fork();
    if (pid == 0) {
        if (::geteuid() == 0 && (::setgid(65534) != 0 || ::setuid(65534) != 0))
            ::_exit(100);
        ::_exit(body());
    }
    int status = 0;
    ::waitpid(pid, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

ProcessResult runProcess(const std::vector<std::string>& argv, const std::string& input) {
    int in[2], out[2], err[2];
    if (::pipe(in) || ::pipe(out) || ::pipe(err))
        throw std::runtime_error("pipe failed");
    const pid_t pid = ::fork();
    if (pid < 0)
        throw std::runtime_error("fork failed");
    if (pid == 0) {
        ::dup2(in[0], 0);
        ::dup2(out[1], 1);
        ::dup2(err[1], 2);
        for (int fd : {in[0], in[1], out[0], out[1], err[0], err[1]})
            ::close(fd);
        std::vector<char*> args;
        for (const auto& a : argv)
            args.push_back(const_cast<char*>(a.c_str()));
        args.push_back(nullptr);
        ::execvp(args[0], args.data());
        ::_exit(127);
    }
    ::close(in[0]);
    ::close(out[1]);
    ::close(err[1]);
    // Write stdin and drain both outputs together so that no pipe fills up and blocks the child.
    ::signal(SIGPIPE, SIG_IGN);
    size_t written = 0;
    if (input.empty())
        ::close(in[1]);
    ProcessResult r;
    bool outOpen = true, errOpen = true, inOpen = !input.empty();
    while (outOpen || errOpen || inOpen) {
        pollfd fds[3];
        int n = 0;
        if (outOpen)
            fds[n++] = {out[0], POLLIN, 0};
        if (errOpen)
            fds[n++] = {err[0], POLLIN, 0};
        if (inOpen)
            fds[n++] = {in[1], POLLOUT, 0};
        if (::poll(fds, nfds_t(n), -1) < 0) {
            if (errno == EINTR)
                continue;
            break;
        }
        for (int i = 0; i < n; ++i) {
            if (fds[i].revents == 0)
                continue;
            if (fds[i].fd == in[1]) {
                const ssize_t k = ::write(in[1], input.data() + written, input.size() - written);
                if (k > 0)
                    written += size_t(k);
                if (k <= 0 || written == input.size()) {
                    ::close(in[1]);
                    inOpen = false;
                }
                continue;
            }
            char buf[65536];
            const ssize_t k = ::read(fds[i].fd, buf, sizeof buf);
            if (k <= 0) {
                ::close(fds[i].fd);
                (fds[i].fd == out[0] ? outOpen : errOpen) = false;
            } else {
                (fds[i].fd == out[0] ? r.out : r.err).append(buf, size_t(k));
            }
        }
    }
    int status = 0;
    ::waitpid(pid, &status, 0);
    r.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return r;
}

std::string dcvPath() {
    // Another build of the tool may be tried against these tests (an older one, say).
    const char* other = std::getenv("DCV_CLI");
    return other && *other ? other : DCV_CLI_PATH;
}

ProcessResult runDcv(const std::vector<std::string>& args, const std::string& input) {
    std::vector<std::string> argv{dcvPath()};
    argv.insert(argv.end(), args.begin(), args.end());
    return runProcess(argv, input);
}

std::string readFile(const fs::path& path) {
    std::ifstream f(path, std::ios::binary);
    std::ostringstream s;
    s << f.rdbuf();
    return s.str();
}

fs::path sourceDir() {
    return DCV_SOURCE_DIR;
}
fs::path sampleCardDir() {
    return sourceDir() / "samples" / "card";
}

} // namespace dcv::test
