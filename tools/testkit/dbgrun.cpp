// dbgrun: runs a program as a debuggee and prints its debugger output, one
// string per line, then exits with the program's exit code. For scripts.
// Usage: dbgrun.exe PROGRAM [ARGS...]
#include "DebugCapture.h"

#include <cstdio>
#include <string>

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: dbgrun PROGRAM [ARGS...]\n");
        return 2;
    }
    std::string cmd;
    for (int i = 1; i < argc; ++i) {
        if (i > 1) cmd += ' ';
        cmd += '"';
        cmd += argv[i];
        cmd += '"';
    }
    testkit::CapturedRun run = testkit::RunCapturingDebugOutput(cmd);
    if (!run.started) {
        std::fprintf(stderr, "dbgrun: cannot start %s\n", argv[1]);
        return 2;
    }
    for (const std::string& line : run.lines) std::fputs(line.c_str(), stdout);
    std::fflush(stdout);
    return static_cast<int>(run.exitCode);
}
