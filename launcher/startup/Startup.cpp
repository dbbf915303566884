// Start-up of Setup and the one message loop of its thread.
#include "Startup.h"

#include <string>

#include "BrowserWindow.h"
#include "DllSearch.h"
#include "ModulePath.h"
#include "Services.h"
#include "VerifyWindow.h"
#include "frmMain.h"

namespace launcher {

namespace {

// setup.dat, the sounds and the programs of the commands are all named
// relative to the current folder. Autorun starts the launcher with the
// disc's root current (also as "open=bin\Setup.exe"), and that folder is
// kept; started from the Run box or a console the current folder is
// another one, and the launcher's own folder takes its place before
// anything is read.
void FindTheDisc() {
    DWORD here = GetFileAttributesW(L"setup.dat");
    if (here != INVALID_FILE_ATTRIBUTES && !(here & FILE_ATTRIBUTE_DIRECTORY)) return;
    std::wstring folder = modulepath::ModulePathW(nullptr);
    size_t slash = folder.find_last_of(L"\\/");
    if (slash == std::wstring::npos) return;
    folder.resize(slash + 1);  // "D:\" stays a root, "D:\bin\" is its folder
    SetCurrentDirectoryW(folder.c_str());
}

// The launcher's claim names its product: the detection profile, and for a
// disc whose product key is not the demo's also the key's first part, so
// that two discs' launchers open side by side instead of handing over to
// each other. The caption (of the user's language) tells the product's
// window from another disc's.
struct Product {
    std::string claim;
    std::wstring caption;
};
Product ThisProduct(const frmMain& form) {
    Product product{Options().ProductName, form.caption()};
    const std::string& key = form.productKey();
    if (key != kProductCommandKey) product.claim += "." + key.substr(0, key.find('\\'));
    return product;
}

// One launcher per product in a session: autorun and a double-click on the
// CD must not give two windows that both poll and both write the rectangle.
// The claim is a session-wide name held in *claim for the launcher's life.
// Returns false when another launcher already holds it and its window
// turned up: that window is brought to the front, restored if it was
// minimised, without ever waiting on its thread (a busy or hung first
// launcher must not hang this one). When the name is held but no window
// appears within the wait, this launcher goes on with a window of its own.
// A name that cannot be made at all never stops the launcher.
bool ClaimTheOnlyLauncher(const Product& product, scoped::Handle* claim) {
    std::string name = "Local\\WexaLauncher." + product.claim;
    claim->reset(CreateMutexA(nullptr, FALSE, name.c_str()));
    if (!*claim || GetLastError() != ERROR_ALREADY_EXISTS) return true;
    // The first launcher may still be creating its window: give it a while.
    // FindWindow and IsIconic read what the system keeps and send nothing.
    for (int wait = 0; wait < 100; ++wait) {
        HWND first = FindWindowW(frmMain::kClassNameW, product.caption.c_str());
        if (!first) first = FindWindowA(frmMain::kClassName, nullptr);
        if (first) {
            // Both are queued for the first launcher's thread; neither waits
            // for it. This process was just started by the user, so it may
            // hand the foreground on.
            if (IsIconic(first)) ShowWindowAsync(first, SW_RESTORE);
            SetForegroundWindow(first);
            SetWindowPos(first, HWND_TOP, 0, 0, 0, 0,
                         SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE | SWP_ASYNCWINDOWPOS);
            return false;
        }
        Sleep(50);
    }
    return true;
}

}  // namespace

int Run(HINSTANCE instance, int showCommand) {
    // Later library loads (the browser window's, the common controls') come
    // from the system folder only, never from the CD next to Setup.exe.
    dllsearch::RestrictToSystemFolder();
    FindTheDisc();
    // A check of the disc for scripts: no window, and not a second launcher.
    if (discverify::IsVerifyCommandLine(GetCommandLineW()))
        return discverify::VerifyFromCommandLine(instance);
    SystemServices services;
    frmMain form(instance, services);  // reads its texts; no window yet
    scoped::Handle claim;
    if (!ClaimTheOnlyLauncher(ThisProduct(form), &claim)) return 0;
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
