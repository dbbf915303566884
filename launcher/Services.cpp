// The system side of the launcher's services (see Services.h).
#include "Services.h"

#include <vector>

#include "BrowserWindow.h"

namespace launcher {

SystemServices::SystemServices() {
    // WINMM is not a known DLL: taken from the system folder only, so that a
    // winmm.dll lying next to Setup.exe is never loaded.
    winmm_.reset(LoadLibraryExA("winmm.dll", nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32));
    if (!winmm_) {
        char path[MAX_PATH];
        UINT n = GetSystemDirectoryA(path, MAX_PATH);
        if (n > 0 && n < MAX_PATH - 12) {
            lstrcatA(path, "\\winmm.dll");
            winmm_.reset(LoadLibraryA(path));
        }
    }
    if (winmm_)
        sndPlaySound_ = reinterpret_cast<SndPlaySoundA>(
            reinterpret_cast<void*>(GetProcAddress(winmm_.get(), "sndPlaySoundA")));
}

SystemServices::~SystemServices() {
    // An asynchronous sound plays on a thread inside WINMM: stop it before
    // the library is unloaded under it.
    if (sndPlaySound_) sndPlaySound_(nullptr, 0);
}

void SystemServices::PlaySoundFile(const std::string& name, UINT flags) {
    if (sndPlaySound_) sndPlaySound_(name.c_str(), flags);
}

void SystemServices::StartProgram(const std::string& commandLine) { StartProcess(commandLine); }

void SystemServices::OpenBrowserWindow(HINSTANCE instance, const std::string& startingAddress) {
    browser::ShowBrowserWindow(instance, startingAddress);
}

void SystemServices::CloseBrowserWindows() { browser::CloseAllBrowserWindows(); }

bool StartProcess(const std::string& commandLine) {
    std::vector<char> cmd(commandLine.begin(), commandLine.end());
    cmd.push_back('\0');
    STARTUPINFOA si = {};
    si.cb = sizeof(si);
    si.dwFlags = STARTF_USESHOWWINDOW;
    si.wShowWindow = SW_SHOWNORMAL;
    PROCESS_INFORMATION pi = {};
    if (!CreateProcessA(nullptr, cmd.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si,
                        &pi))
        return false;
    scoped::Handle process(pi.hProcess);
    scoped::Handle thread(pi.hThread);
    return true;
}

}  // namespace launcher
