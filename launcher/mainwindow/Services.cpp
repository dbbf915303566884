// The system side of the launcher's services (see Services.h).
#include "Services.h"

#include <vector>

#include "BrowserWindow.h"
#include "DiscList.h"
#include "ProductCommand.h"
#include "WideText.h"

namespace launcher {

namespace {

// ERROR_ELEVATION_REQUIRED, which older SDK headers do not define.
constexpr DWORD kErrorElevationRequired = 740;

}  // namespace

SystemServices::~SystemServices() {
    // An asynchronous sound plays on a thread inside WINMM: stop it before
    // the process ends under it.
    if (played_) sndPlaySoundA(nullptr, 0);
}

// WINMM (not a known DLL) and the sound drivers behind it take longer to
// load than the whole window: it is delay-imported and loads for the first
// sound, which the main window plays once it is on screen.
void SystemServices::PlaySoundFile(const std::string& name, UINT flags) {
    played_ = true;
    sndPlaySoundA(name.c_str(), flags);
}

void SystemServices::StartProgram(const std::string& commandLine) { StartProcess(commandLine); }

void SystemServices::StartFile(const std::wstring& path, const std::wstring& commandLine) {
    StartFileProcess(path, commandLine);
}

void SystemServices::OpenBrowserWindow(HINSTANCE instance, const std::string& startingAddress) {
    browser::ShowBrowserWindow(instance, startingAddress);
}

void SystemServices::CloseBrowserWindows() { browser::CloseAllBrowserWindows(); }

std::string CurrentFolder() {
    DWORD n = GetCurrentDirectoryA(0, nullptr);
    if (n == 0) return std::string();
    std::vector<char> buffer(n + 1, '\0');
    DWORD got = GetCurrentDirectoryA(static_cast<DWORD>(buffer.size()), buffer.data());
    if (got == 0 || got >= buffer.size()) return std::string();
    return std::string(buffer.data(), got);
}

std::wstring CurrentFolderW() {
    DWORD n = GetCurrentDirectoryW(0, nullptr);
    if (n == 0) return std::wstring();
    std::vector<wchar_t> buffer(n + 1, L'\0');
    DWORD got = GetCurrentDirectoryW(static_cast<DWORD>(buffer.size()), buffer.data());
    if (got == 0 || got >= buffer.size()) return std::wstring();
    return std::wstring(buffer.data(), got);
}

std::string AnsiPath(const std::wstring& path) {
    auto exact = [](const std::wstring& wide, std::string* out) {
        BOOL lossy = FALSE;
        const int n = WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, wide.c_str(), -1, nullptr,
                                          0, nullptr, &lossy);
        if (n <= 0 || lossy) return false;
        std::vector<char> narrow(static_cast<size_t>(n));
        WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, wide.c_str(), -1, narrow.data(), n,
                            nullptr, &lossy);
        *out = narrow.data();
        return !lossy && widetext::Widen(*out) == wide;
    };
    std::string ansi;
    if (exact(path, &ansi)) return ansi;
    DWORD n = GetShortPathNameW(path.c_str(), nullptr, 0);
    if (n == 0) return std::string();
    std::wstring shortPath(n, L'\0');
    DWORD got = GetShortPathNameW(path.c_str(), &shortPath[0], n);
    if (got == 0 || got >= n) return std::string();
    shortPath.resize(got);
    return exact(shortPath, &ansi) ? ansi : std::string();
}

namespace {

// The program of an elevated start runs in the launcher's current folder,
// as CreateProcessA would have run it.
bool StartElevated(const std::string& commandLine, const ProcessStartCalls& calls) {
    product::OpenCommand command;
    if (!product::ParseOpenCommand(commandLine, &command)) return false;
    ProcessStartCalls::ShellExecuteExFn shellExecuteEx =
        calls.shellExecuteEx ? calls.shellExecuteEx : ShellExecuteExA;
    const std::string folder = CurrentFolder();
    SHELLEXECUTEINFOA info = {};
    info.cbSize = sizeof(info);
    // No error boxes: a refused prompt is as silent as any failed start.
    info.fMask = SEE_MASK_NOASYNC | SEE_MASK_FLAG_NO_UI;
    info.lpFile = command.path.c_str();
    info.lpParameters = command.arguments.empty() ? nullptr : command.arguments.c_str();
    info.lpDirectory = folder.empty() ? nullptr : folder.c_str();
    info.nShow = SW_SHOWNORMAL;
    return shellExecuteEx(&info) != FALSE;
}

}  // namespace

bool StartProcess(const std::string& commandLine, const ProcessStartCalls& calls) {
    std::vector<char> cmd(commandLine.begin(), commandLine.end());
    cmd.push_back('\0');
    STARTUPINFOA si = {};
    si.cb = sizeof(si);
    si.dwFlags = STARTF_USESHOWWINDOW;
    si.wShowWindow = SW_SHOWNORMAL;
    PROCESS_INFORMATION pi = {};
    if (!calls.createProcess(nullptr, cmd.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                             &si, &pi))
        return GetLastError() == kErrorElevationRequired && StartElevated(commandLine, calls);
    scoped::Handle process(pi.hProcess);
    scoped::Handle thread(pi.hThread);
    return true;
}

bool StartFileProcess(const std::wstring& path, const std::wstring& commandLine,
                      const ProcessStartCalls& calls) {
    std::vector<wchar_t> cmd(commandLine.begin(), commandLine.end());
    cmd.push_back(L'\0');
    STARTUPINFOW si = {};
    si.cb = sizeof(si);
    si.dwFlags = STARTF_USESHOWWINDOW;
    si.wShowWindow = SW_SHOWNORMAL;
    PROCESS_INFORMATION pi = {};
    if (calls.createProcessW(path.c_str(), cmd.data(), nullptr, nullptr, FALSE, 0, nullptr,
                             nullptr, &si, &pi)) {
        scoped::Handle process(pi.hProcess);
        scoped::Handle thread(pi.hThread);
        return true;
    }
    if (GetLastError() != kErrorElevationRequired) return false;
    // The shell takes the program and its arguments apart, by the rule the
    // command was resolved with.
    const std::wstring arguments =
        widetext::Widen(disclist::SplitCommand(widetext::Narrow(commandLine)).arguments);
    const std::wstring folder = CurrentFolderW();
    SHELLEXECUTEINFOW info = {};
    info.cbSize = sizeof(info);
    info.fMask = SEE_MASK_NOASYNC | SEE_MASK_FLAG_NO_UI;
    info.lpFile = path.c_str();
    info.lpParameters = arguments.empty() ? nullptr : arguments.c_str();
    info.lpDirectory = folder.empty() ? nullptr : folder.c_str();
    info.nShow = SW_SHOWNORMAL;
    return (calls.shellExecuteExW ? calls.shellExecuteExW : ShellExecuteExW)(&info) != FALSE;
}

}  // namespace launcher
