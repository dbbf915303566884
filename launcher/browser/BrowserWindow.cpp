// Placeholder browser windows: a plain window titled with its address, until
// the real browser window with its hosted control replaces this file.
#include "BrowserWindow.h"

#include <vector>

namespace browser {

namespace {

const char kClassName[] = "WexaBrowserPlaceholder";
std::vector<HWND> g_windows;  // in load order

LRESULT CALLBACK PlaceholderProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_DESTROY) {
        for (auto it = g_windows.begin(); it != g_windows.end(); ++it) {
            if (*it == hwnd) {
                g_windows.erase(it);
                break;
            }
        }
    }
    return DefWindowProcA(hwnd, msg, wParam, lParam);
}

}  // namespace

HWND ShowBrowserWindow(HINSTANCE instance, const std::string& startingAddress) {
    WNDCLASSA wc = {};
    wc.lpfnWndProc = PlaceholderProc;
    wc.hInstance = instance;
    wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    wc.lpszClassName = kClassName;
    RegisterClassA(&wc);  // fails harmlessly when already registered
    HWND hwnd = CreateWindowExA(WS_EX_TOOLWINDOW, kClassName, startingAddress.c_str(),
                                WS_OVERLAPPEDWINDOW, CW_USEDEFAULT, CW_USEDEFAULT, 640, 480,
                                nullptr, nullptr, instance, nullptr);
    if (!hwnd) return nullptr;
    g_windows.push_back(hwnd);
    ShowWindow(hwnd, SW_SHOWNORMAL);
    return hwnd;
}

bool PreTranslateBrowserMessage(MSG*) { return false; }

void CloseAllBrowserWindows() {
    while (!g_windows.empty()) {
        HWND last = g_windows.back();
        DestroyWindow(last);  // WM_DESTROY takes it off the list
        if (!g_windows.empty() && g_windows.back() == last) g_windows.pop_back();
    }
}

}  // namespace browser
