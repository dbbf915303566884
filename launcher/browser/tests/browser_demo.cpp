// Opens browser windows on the real control for a look by hand (and for
// screenshots): browser_demo [address ...]; ends when the last one closes.
#include <windows.h>

#include "BrowserForm.h"
#include "BrowserWindow.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    int opened = 0;
    for (int i = 1; i < __argc; ++i)
        if (browser::ShowBrowserWindow(instance, __argv[i])) ++opened;
    if (__argc < 2 && browser::ShowBrowserWindow(instance, "")) ++opened;
    if (!opened) return 1;
    MSG msg;
    while (!browser::FrmBrowser::OpenWindows().empty() && GetMessageA(&msg, nullptr, 0, 0) > 0) {
        if (browser::PreTranslateBrowserMessage(&msg)) continue;
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    return 0;
}
