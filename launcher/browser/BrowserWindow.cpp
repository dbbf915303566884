// The launcher's way into its browser windows: open one on the system's
// WebBrowser control, route keyboard messages, close them all.
#include "BrowserWindow.h"

#include "BrowserForm.h"

namespace browser {

HWND ShowBrowserWindow(HINSTANCE instance, const std::string& startingAddress) {
    try {
        return FrmBrowser::Open(instance, startingAddress, CreateWebBrowserEngine());
    } catch (...) {
        return nullptr;
    }
}

bool PreTranslateBrowserMessage(MSG* msg) {
    return FrmBrowser::PreTranslate(msg);
}

void CloseAllBrowserWindows() {
    // The last loaded first. Nothing of a browser window is saved, so none
    // is asked: each is destroyed.
    std::vector<HWND> windows = FrmBrowser::OpenWindows();
    for (auto it = windows.rbegin(); it != windows.rend(); ++it) {
        if (IsWindow(*it)) DestroyWindow(*it);
    }
}

}  // namespace browser
