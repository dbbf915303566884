// proctime: times command lines, started in turn N times each (so that all
// see the same machine), and prints for each the median, mean and minimum
// wall time of a run in milliseconds. Measured on the Windows side, so the
// launcher of the whole benchmark does not count.
// Usage: proctime.exe N COMMAND-LINE [COMMAND-LINE...]
// Output: one line per command, in order: "median mean min".
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

// One run of command; its wall time in ms, or a negative value on failure.
double TimeOneRun(const std::string& command, double ticksPerMs) {
    std::vector<char> cmd(command.begin(), command.end());
    cmd.push_back('\0');
    STARTUPINFOA si = {};
    si.cb = sizeof(si);
    PROCESS_INFORMATION pi = {};
    LARGE_INTEGER start, end;
    QueryPerformanceCounter(&start);
    if (!CreateProcessA(nullptr, cmd.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si,
                        &pi))
        return -1;
    WaitForSingleObject(pi.hProcess, INFINITE);
    QueryPerformanceCounter(&end);
    DWORD code = 1;
    GetExitCodeProcess(pi.hProcess, &code);
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
    if (code != 0) return -1;
    return static_cast<double>(end.QuadPart - start.QuadPart) / ticksPerMs;
}

void Print(std::vector<double> ms) {
    std::sort(ms.begin(), ms.end());
    double sum = 0;
    for (double v : ms) sum += v;
    std::printf("%.2f %.2f %.2f\n", ms[ms.size() / 2], sum / static_cast<double>(ms.size()),
                ms.front());
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 3 || std::atoi(argv[1]) < 1) {
        std::fprintf(stderr, "usage: proctime N COMMAND-LINE [COMMAND-LINE...]\n");
        return 2;
    }
    const int commands = argc - 2;
    const int runs = std::atoi(argv[1]);
    LARGE_INTEGER frequency;
    QueryPerformanceFrequency(&frequency);
    const double ticksPerMs = static_cast<double>(frequency.QuadPart) / 1000.0;
    std::vector<std::vector<double>> times(static_cast<size_t>(commands));
    for (int i = 0; i < runs; ++i) {
        for (int which = 0; which < commands; ++which) {
            const double ms = TimeOneRun(argv[2 + which], ticksPerMs);
            if (ms < 0) {
                std::fprintf(stderr, "proctime: %s failed\n", argv[2 + which]);
                return 1;
            }
            times[static_cast<size_t>(which)].push_back(ms);
        }
    }
    for (const std::vector<double>& t : times) Print(t);
    return 0;
}
