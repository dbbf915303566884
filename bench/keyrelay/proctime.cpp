// proctime: starts a command N times, one after the other, and prints the
// median and mean wall time of a run in milliseconds, measured on the
// Windows side so that the launcher of the whole benchmark does not count.
// Usage: proctime.exe N COMMAND-LINE
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

int main(int argc, char** argv) {
    if (argc < 3) {
        std::fprintf(stderr, "usage: proctime N COMMAND-LINE\n");
        return 2;
    }
    const int runs = std::atoi(argv[1]);
    std::string command;
    for (int i = 2; i < argc; ++i) {
        if (i > 2) command += ' ';
        command += argv[i];
    }
    LARGE_INTEGER frequency;
    QueryPerformanceFrequency(&frequency);
    std::vector<double> ms;
    for (int i = 0; i < runs; ++i) {
        std::vector<char> cmd(command.begin(), command.end());
        cmd.push_back('\0');
        STARTUPINFOA si = {};
        si.cb = sizeof(si);
        PROCESS_INFORMATION pi = {};
        LARGE_INTEGER start, end;
        QueryPerformanceCounter(&start);
        if (!CreateProcessA(nullptr, cmd.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si,
                            &pi)) {
            std::fprintf(stderr, "proctime: cannot start %s\n", command.c_str());
            return 2;
        }
        WaitForSingleObject(pi.hProcess, INFINITE);
        QueryPerformanceCounter(&end);
        DWORD code = 0;
        GetExitCodeProcess(pi.hProcess, &code);
        CloseHandle(pi.hThread);
        CloseHandle(pi.hProcess);
        if (code != 0) {
            std::fprintf(stderr, "proctime: run %d exited with %ld\n", i, static_cast<long>(code));
            return 1;
        }
        ms.push_back(1000.0 * static_cast<double>(end.QuadPart - start.QuadPart) /
                     static_cast<double>(frequency.QuadPart));
    }
    std::sort(ms.begin(), ms.end());
    double sum = 0;
    for (double v : ms) sum += v;
    std::printf("%.2f %.2f\n", ms[ms.size() / 2], sum / static_cast<double>(ms.size()));
    return 0;
}
