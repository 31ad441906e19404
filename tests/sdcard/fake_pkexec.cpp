// Stands in for pkexec in tests: notes the command it was given, then either answers like a
// dismissed authorisation dialog or runs the command.
//   FAKE_PKEXEC_LOG   file that gets one line per argument and an empty line after them
//   FAKE_PKEXEC_EXIT  exit status to answer with (default 126), or "exec" to run the command
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <unistd.h>

int main(int argc, char** argv) {
    if (const char* log = std::getenv("FAKE_PKEXEC_LOG")) {
        if (FILE* f = std::fopen(log, "a")) {
            for (int i = 1; i < argc; ++i)
                std::fprintf(f, "%s\n", argv[i]);
            std::fprintf(f, "\n");
            std::fclose(f);
        }
    }
    const char* exitText = std::getenv("FAKE_PKEXEC_EXIT");
    if (exitText && std::strcmp(exitText, "exec") == 0 && argc > 1) {
        ::execv(argv[1], argv + 1);
        return 127;
    }
    const int status = exitText ? std::atoi(exitText) : 126;
    if (status == 126)
        std::fprintf(stderr, "Error executing command as another user: Request dismissed\n");
    return status;
}
