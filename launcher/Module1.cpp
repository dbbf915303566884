// Module1: start-up of Setup and the one message loop of its thread.
#include "Module1.h"

#include <commctrl.h>

#include "BrowserWindow.h"
#include "Services.h"
#include "frmMain.h"

namespace launcher {

namespace {

// Later library loads (the browser window's, the common controls') come
// from the system folder only, never from the CD next to Setup.exe.
void RestrictDllSearch() {
    using SetDefaultDllDirectoriesFn = BOOL(WINAPI*)(DWORD);
    HMODULE kernel32 = GetModuleHandleA("kernel32.dll");
    auto setDefault = kernel32 ? reinterpret_cast<SetDefaultDllDirectoriesFn>(
                                     reinterpret_cast<void*>(
                                         GetProcAddress(kernel32, "SetDefaultDllDirectories")))
                               : nullptr;
    if (setDefault) setDefault(LOAD_LIBRARY_SEARCH_SYSTEM32);
    SetDllDirectoryA("");  // takes the current folder out of the search path
}

}  // namespace

int Module1_Main(HINSTANCE instance, int showCommand) {
    RestrictDllSearch();
    INITCOMMONCONTROLSEX icc = {sizeof(icc), ICC_WIN95_CLASSES};
    InitCommonControlsEx(&icc);

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
