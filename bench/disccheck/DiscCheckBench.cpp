// Disc-check benchmark harness (run under Wine by bench/disccheck/run-bench):
//   throughput: CheckFile (size, then SHA-256 through bcrypt) on a file of
//               SIZE_MB against only reading the same file the same way,
//               alternating, medians of RUNS each, in MB/s and as a ratio;
//   delay:      what the check before a command adds (CheckBeforeStart on the
//               installer of a listed disc: the first time with loading
//               bcrypt and reading the list, then the median of later ones)
//               against the start of that installer (CreateProcess until
//               the quiet stand-in has ended).
// Usage: bench_disccheck LISTED_CD_FOLDER [SIZE_MB] [RUNS]
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "DiscCheck.h"
#include "Scoped.h"
#include "Services.h"
#include "WideText.h"

#include "../Timing.h"

namespace {

using bench::Median;
using bench::Now;

bool ReadOnly(const std::wstring& path) {
    scoped::FileHandle f(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                     OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
    std::vector<char> buffer(1 << 20);
    DWORD read = 0;
    while (f &&
           ReadFile(f.get(), buffer.data(), static_cast<DWORD>(buffer.size()), &read, nullptr) &&
           read)
        ;
    return static_cast<bool>(f);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) return 2;
    const std::string cd = argv[1];
    const int mb = argc > 2 ? atoi(argv[2]) : 64, runs = argc > 3 ? atoi(argv[3]) : 7;

    char temp[MAX_PATH];
    GetTempPathA(MAX_PATH, temp);
    const std::string big = std::string(temp) + "disccheck-bench.bin";
    {
        scoped::FileHandle f(
            CreateFileA(big.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
        std::vector<unsigned> block((1 << 20) / sizeof(unsigned));
        unsigned x = 12345;
        for (int i = 0; i < mb; ++i) {
            for (unsigned& v : block) v = x = x * 1103515245u + 12345u;
            DWORD written = 0;
            WriteFile(f.get(), block.data(), 1 << 20, &written, nullptr);
        }
    }
    disclist::Entry entry = {};  // the right size, a hash it will not have: hashed to the end
    entry.size = static_cast<uint64_t>(mb) << 20;
    const std::wstring wbig = widetext::Widen(big);
    ReadOnly(wbig);  // both from the system's cache
    std::vector<double> read, check;
    for (int i = 0; i < runs; ++i) {
        double t0 = Now();
        ReadOnly(wbig);
        double t1 = Now();
        disccheck::CheckFile(wbig, entry);
        double t2 = Now();
        read.push_back(t1 - t0);
        check.push_back(t2 - t1);
    }
    DeleteFileA(big.c_str());
    const double r = Median(read), c = Median(check);
    printf(
        "throughput on %d MB (median of %d): read only %.0f MB/s, check %.0f MB/s; "
        "check takes %.2f x the time of the read\n",
        mb, runs, mb * 1000.0 / r, mb * 1000.0 / c, c / r);

    scoped::Module setup(
        LoadLibraryExA((cd + "\\Setup.exe").c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE));
    if (!disccheck::CarriesList(setup.get())) {
        fprintf(stderr, "%s\\Setup.exe carries no list\n", cd.c_str());
        return 1;
    }
    SetCurrentDirectoryA(cd.c_str());
    SetEnvironmentVariableA("CDSTANDIN_QUIET", "1");
    SetEnvironmentVariableA("CDSTANDIN_JOURNAL", (std::string(temp) + "bench-journal.txt").c_str());
    SetEnvironmentVariableA("CDSTANDIN_INSTALL_DIR", (std::string(temp) + "bench-kestrix").c_str());
    const char installer[] = "kx\\setup.exe";
    std::vector<double> checks, starts;
    double first = 0;
    for (int i = 0; i <= runs; ++i) {
        double t0 = Now();
        disccheck::SetupDat setupDat = disccheck::ReadSetupDat(widetext::Widen(cd));
        disccheck::Checked checked;
        bool ok = disccheck::CheckBeforeStart(nullptr, setup.get(), installer, widetext::Widen(cd),
                                              setupDat, &checked) == disccheck::Verdict::Checked;
        checked.held.reset();
        double t1 = Now();
        if (!ok) {
            fprintf(stderr, "the installer on %s did not pass its check\n", cd.c_str());
            return 1;
        }
        std::string cmd = installer;
        STARTUPINFOA si = {};
        si.cb = sizeof(si);
        PROCESS_INFORMATION pi = {};
        if (!CreateProcessA(nullptr, &cmd[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si,
                            &pi))
            return 1;
        scoped::Handle process(pi.hProcess), thread(pi.hThread);
        WaitForSingleObject(pi.hProcess, INFINITE);
        double t2 = Now();
        if (i == 0)
            first = t1 - t0;
        else
            checks.push_back(t1 - t0), starts.push_back(t2 - t1);
    }
    RegDeleteTreeA(HKEY_CLASSES_ROOT, "KestrixBasicFile");
    RegDeleteTreeA(HKEY_CLASSES_ROOT, ".kxb");
    printf(
        "delay before the installer (%s) starts: first %.1f ms (bcrypt loaded, list read), "
        "then %.1f ms (median of %d); the start itself takes %.1f ms: the check adds %.0f %%\n",
        installer, first, Median(checks), runs, Median(starts),
        100.0 * Median(checks) / Median(starts));
    return 0;
}
