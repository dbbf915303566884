// Launcher benchmark harness (run under Wine by bench/launcher/run-bench):
//   startup: time from CreateProcess to the program's main window being
//            visible, for Setup.exe and for the empty-window baseline,
//            alternating, median of N runs each, and their ratio;
// (The idle CPU time is measured by the script from the Linux side: Wine
// does not report other processes' times.)
// Usage: bench_launcher SETUP_EXE BASELINE_EXE [RUNS]
// Setup.exe runs in the current folder (the CD folder, for setup.dat).
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "../Timing.h"

namespace {

using bench::Median;
using bench::Now;

struct Search {
    DWORD pid;
    const char* cls;
    HWND found;
};

BOOL CALLBACK FindShown(HWND w, LPARAM lp) {
    Search* s = reinterpret_cast<Search*>(lp);
    DWORD pid = 0;
    GetWindowThreadProcessId(w, &pid);
    char cls[128] = {};
    GetClassNameA(w, cls, sizeof(cls));
    if (pid == s->pid && IsWindowVisible(w) && lstrcmpA(cls, s->cls) == 0) {
        s->found = w;
        return FALSE;
    }
    return TRUE;
}

PROCESS_INFORMATION Launch(const std::string& exe) {
    std::string cmd = "\"" + exe + "\"";
    STARTUPINFOA si = {};
    si.cb = sizeof(si);
    PROCESS_INFORMATION pi = {};
    if (!CreateProcessA(nullptr, &cmd[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi))
        pi.hProcess = nullptr;
    return pi;
}

HWND WaitShown(const PROCESS_INFORMATION& pi, const char* cls, double timeoutMs) {
    double start = Now();
    Search s = {pi.dwProcessId, cls, nullptr};
    while (Now() - start < timeoutMs) {
        EnumWindows(FindShown, reinterpret_cast<LPARAM>(&s));
        if (s.found) return s.found;
        Sleep(1);
    }
    return nullptr;
}

void End(PROCESS_INFORMATION& pi) {
    TerminateProcess(pi.hProcess, 0);
    WaitForSingleObject(pi.hProcess, 10000);
    CloseHandle(pi.hProcess);
    CloseHandle(pi.hThread);
}

// Milliseconds from process start to its window being shown; -1 on failure.
double StartupMs(const std::string& exe, const char* cls) {
    double t0 = Now();
    PROCESS_INFORMATION pi = Launch(exe);
    if (!pi.hProcess) return -1;
    HWND w = WaitShown(pi, cls, 30000);
    double t1 = Now();
    End(pi);
    return w ? t1 - t0 : -1;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 3) {
        std::fprintf(stderr, "usage: bench_launcher SETUP_EXE BASELINE_EXE [RUNS]\n");
        return 2;
    }
    std::string setup = argv[1], baseline = argv[2];
    int runs = argc > 3 ? std::atoi(argv[3]) : 15;
    SetCursorPos(GetSystemMetrics(SM_CXSCREEN) - 2, GetSystemMetrics(SM_CYSCREEN) - 2);

    // Warm-up of each (first start of a program pays for the disk cache).
    StartupMs(setup, "WexaLauncherMain");
    StartupMs(baseline, "BenchEmptyWindow");
    std::vector<double> a, b;
    for (int i = 0; i < runs; ++i) {
        double x = StartupMs(setup, "WexaLauncherMain");
        double y = StartupMs(baseline, "BenchEmptyWindow");
        if (x < 0 || y < 0) {
            std::fprintf(stderr, "a program did not show its window\n");
            return 1;
        }
        a.push_back(x);
        b.push_back(y);
    }
    double ms = Median(a), base = Median(b);
    std::printf("startup to window shown (median of %d): Setup %.1f ms, empty window %.1f ms, "
                "ratio %.2f\n", runs, ms, base, base > 0 ? ms / base : 0.0);

    return 0;
}
