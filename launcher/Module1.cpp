// Module1: start-up of Setup and the one message loop of its thread.
#include "Module1.h"

#include "BrowserWindow.h"
#include "DllSearch.h"
#include "Services.h"
#include "frmMain.h"

namespace launcher {

namespace {

// One launcher per product in a session: autorun and a double-click on the
// CD must not give two windows that both poll and both write the rectangle.
// The claim is a session-wide name held in *claim for the launcher's life.
// Returns false when another launcher already holds it: that launcher's
// window is then brought to the front, restored if it was minimised. A name
// that cannot be made at all never stops the launcher.
bool ClaimTheOnlyLauncher(const std::string& productName, scoped::Handle* claim) {
    std::string name = "Local\\WexaLauncher." + productName;
    claim->reset(CreateMutexA(nullptr, FALSE, name.c_str()));
    if (!*claim || GetLastError() != ERROR_ALREADY_EXISTS) return true;
    // The first launcher may still be creating its window: give it a while.
    for (int wait = 0; wait < 100; ++wait) {
        HWND first = FindWindowA(frmMain::kClassName, nullptr);
        if (first) {
            if (IsIconic(first)) ShowWindow(first, SW_RESTORE);
            SetForegroundWindow(first);
            break;
        }
        Sleep(50);
    }
    return false;
}

}  // namespace

int Module1_Main(HINSTANCE instance, int showCommand) {
    // Later library loads (the browser window's, the common controls') come
    // from the system folder only, never from the CD next to Setup.exe.
    dllsearch::RestrictToSystemFolder();
    scoped::Handle claim;
    if (!ClaimTheOnlyLauncher(Options().ProductName, &claim)) return 0;

    SystemServices services;
    frmMain form(instance, services);
    if (!form.Load()) return 1;
    form.Show(showCommand);

    MSG msg;
    while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
        if (browser::PreTranslateBrowserMessage(&msg)) continue;
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    return 0;
}

}  // namespace launcher
