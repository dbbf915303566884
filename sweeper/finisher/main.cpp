// sweeper: finishes the removal of the Solvane client. It asks the running
// Download Tool to shut down, waits for its completion message, then removes
// the RunOnce entry, two files and two updater folder trees it leaves behind.
// It shows nothing; every step leaves a debugger-output line.
#include <windows.h>

#include <string>
#include <vector>

#include "DllSearch.h"
#include "Scoped.h"
#include "Sweeper.h"

namespace sweeper {

namespace {

// Process-wide values, each set once during start-up.
HINSTANCE g_instance = nullptr;
UINT g_uninstallMessage = 0;
UINT g_completionMessage = 0;
// Set by the window procedure; only the completion message starts the
// clean-up, a quit message from anywhere else does not.
bool g_completionReceived = false;

void Trace(const char* line) { OutputDebugStringA(line); }

// How long the request waits for one other window that stops answering
// while it handles it (once judged hung; Wine, which ignores
// SMTO_NOTIMEOUTIFNOTHUNG, counts from the start).
constexpr UINT kBroadcastTimeoutMs = 30000;

LRESULT CALLBACK RUDavoWndProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
#ifdef SWEEPER_REFUSE_WINDOW
    // Test build only: window creation fails, as it may on a starved desktop.
    if (msg == WM_NCCREATE) return FALSE;
#endif
    // A message that failed to register (0) must not turn WM_NULL into the
    // completion message.
    if (g_completionMessage != 0 && msg == g_completionMessage) {
        Trace(kTraceCompletionReceived);
        g_completionReceived = true;
        return 1;
    }
    return DefWindowProcA(hwnd, msg, wParam, lParam);
}

// Registers the class and creates the hidden top-level window that receives
// the completion message. The window lives as long as the process.
bool InitWindow() {
    WNDCLASSEXA wc = {};
    wc.cbSize = sizeof(wc);
    wc.style = 0;
    wc.lpfnWndProc = RUDavoWndProc;
    wc.hInstance = g_instance;
    wc.lpszClassName = kWindowClass;
    if (RegisterClassExA(&wc) == 0) Trace(kTraceRegisterClassFailed);

    HWND window = CreateWindowExA(0, kWindowClass, kWindowTitle, 0, CW_USEDEFAULT, CW_USEDEFAULT,
                                  CW_USEDEFAULT, CW_USEDEFAULT, nullptr, nullptr, g_instance,
                                  nullptr);
    if (window == nullptr) {
        Trace(kTraceCreateWindowFailed);
        return false;
    }
    return true;
}

BOOL CALLBACK AddTopWindow(HWND window, LPARAM windows) {
    try {
        reinterpret_cast<std::vector<HWND>*>(windows)->push_back(window);
        return TRUE;
    } catch (...) {
        return FALSE;  // out of memory: the windows listed so far are still told
    }
}

// Tells the Download Tool's window the uninstall request, then every other
// top-level window, as a broadcast would. The Download Tool gets it as a
// notification: queued however long its thread is busy, handled at its next
// pump (never dropped, as a send that skips hung windows or times out drops
// it), and never holding the finisher; its answer is the completion
// message, not a return value. The others get it synchronously, skipping a
// window whose program has stopped answering, so that no unrelated hung
// program holds the uninstall. False when the Download Tool's window is gone.
bool SendRequest(HWND tool) {
    if (!SendNotifyMessageA(tool, g_uninstallMessage, 0, 0)) return false;
    std::vector<HWND> windows;
    EnumWindows(AddTopWindow, reinterpret_cast<LPARAM>(&windows));
    for (HWND window : windows) {
        if (window == tool) continue;  // told once
        DWORD_PTR ignored = 0;
        SendMessageTimeoutA(window, g_uninstallMessage, 0, 0,
                            SMTO_ABORTIFHUNG | SMTO_NOTIMEOUTIFNOTHUNG, kBroadcastTimeoutMs,
                            &ignored);
    }
    return true;
}

void DispatchQueued() {
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (msg.message != WM_QUIT) DispatchMessageA(&msg);  // a stray quit ends nothing
    }
}

// Waits until the completion message has arrived, however long the Download
// Tool takes: true. False if the queue cannot be waited on, or once the
// Download Tool's process (tool, when it could be opened) has ended without
// sending it, be it before or after it took the request: nothing would end
// the wait then.
bool WaitForCompletion(HANDLE tool) {
    const DWORD count = tool != nullptr ? 1 : 0;
    for (;;) {
        DispatchQueued();
        if (g_completionReceived) return true;
        const DWORD woken = MsgWaitForMultipleObjects(count, &tool, FALSE, INFINITE, QS_ALLINPUT);
        if (woken == WAIT_FAILED) return false;
        if (count == 1 && woken == WAIT_OBJECT_0) {
            DispatchQueued();  // what it posted or sent before it ended
            return g_completionReceived;
        }
    }
}

void RemoveRunOnceEntry() {
    scoped::Key key;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, kRunOnceKey, 0, KEY_ALL_ACCESS, key.put()) !=
        ERROR_SUCCESS) {
        Trace(kTraceOpenKeyFailed);
        return;
    }
    const LONG result = RegDeleteValueA(key.get(), kRunOnceValue);
    if (result != ERROR_SUCCESS) {
        char line[MAX_PATH];  // wsprintfA: C's printf would add ~25 KB of formatter
        wsprintfA(line, kTraceDeleteValueFailed, static_cast<long>(result));
        Trace(line);
    }
}

void DeleteLeftFile(const char* name) {
    const std::string path = std::string(kInstallFolder) + name;
    if (!DeleteFileA(path.c_str())) Trace(kTraceDeleteFileFailed);
}

void Run(HINSTANCE instance) {
    g_instance = instance;
    g_uninstallMessage = RegisterWindowMessageA(kUninstallMessageName);
    g_completionMessage = RegisterWindowMessageA(kCompletionMessageName);

    // Without the window, or without the messages, nothing could ever end
    // the wait: the Download Tool is not told, and nothing is removed.
    if (!InitWindow()) return;
    if (g_uninstallMessage == 0 || g_completionMessage == 0) return;

    const HWND tool = FindWindowA(kDownloadToolClass, kDownloadToolTitle);
    if (tool == nullptr) return;
    // Opened before the request, so that its id names that very process.
    DWORD toolProcessId = 0;
    GetWindowThreadProcessId(tool, &toolProcessId);
    const scoped::Handle toolProcess(OpenProcess(SYNCHRONIZE, FALSE, toolProcessId));
    if (!SendRequest(tool)) return;  // nobody left to answer
    if (!WaitForCompletion(toolProcess.get())) return;

    RemoveRunOnceEntry();
    DeleteLeftFile(kFirstFile);
    DeleteLeftFile(kSecondFile);
    RemoveFolderTree(std::string(kInstallFolder) + kFirstTree);
    RemoveFolderTree(std::string(kInstallFolder) + kSecondTree);
}

}  // namespace

}  // namespace sweeper

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    dllsearch::RestrictToSystemFolder();  // before the window pulls in any library
    sweeper::Trace(sweeper::kTraceEnter);
    try {
        sweeper::Run(instance);
    } catch (...) {
        // Out of memory while building a path: stop here, still report the end.
    }
    sweeper::Trace(sweeper::kTraceExit);
    return 0;
}
