// proctime: times two command lines, started alternately N times each (so
// that both see the same machine), and prints for each the median, mean and
// minimum wall time of a run in milliseconds. Measured on the Windows side,
// so the launcher of the whole benchmark does not count.
// Usage: proctime.exe N BASELINE-COMMAND-LINE COMMAND-LINE
// Output: one line per command: "median mean min".
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
    if (argc != 4 || std::atoi(argv[1]) < 1) {
        std::fprintf(stderr, "usage: proctime N BASELINE-COMMAND-LINE COMMAND-LINE\n");
        return 2;
    }
    const int runs = std::atoi(argv[1]);
    LARGE_INTEGER frequency;
    QueryPerformanceFrequency(&frequency);
    const double ticksPerMs = static_cast<double>(frequency.QuadPart) / 1000.0;
    std::vector<double> times[2];
    for (int i = 0; i < runs; ++i) {
        for (int which = 0; which < 2; ++which) {
            const double ms = TimeOneRun(argv[2 + which], ticksPerMs);
            if (ms < 0) {
                std::fprintf(stderr, "proctime: %s failed\n", argv[2 + which]);
                return 1;
            }
            times[which].push_back(ms);
        }
    }
    Print(times[0]);
    Print(times[1]);
    return 0;
}
