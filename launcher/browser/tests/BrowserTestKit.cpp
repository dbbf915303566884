// Helpers for the browser window tests (see BrowserTestKit.h).
#include "BrowserTestKit.h"

// clang-format off
#include <windows.h>  // before the other system headers, which need it
#include <commctrl.h>
// clang-format on

#include "BrowserWindow.h"

namespace browsertest {

void Pump() {
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (browser::PreTranslateBrowserMessage(&msg)) continue;
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
}

bool PumpUntil(const std::function<bool()>& done, DWORD timeoutMs) {
    DWORD start = GetTickCount();
    for (;;) {
        Pump();
        if (done()) return true;
        if (GetTickCount() - start > timeoutMs) return done();
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
    }
}

std::string Text(HWND hwnd) {
    char buf[1024] = {};
    GetWindowTextA(hwnd, buf, sizeof(buf));
    return buf;
}

std::vector<std::string> ListItems(HWND combo) {
    std::vector<std::string> items;
    LRESULT n = SendMessageA(combo, CB_GETCOUNT, 0, 0);
    for (LRESULT i = 0; i < n; ++i) {
        char buf[1024] = {};
        SendMessageA(combo, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(buf));
        items.push_back(buf);
    }
    return items;
}

int ListIndex(HWND combo) {
    return static_cast<int>(SendMessageA(combo, CB_GETCURSEL, 0, 0));
}

HWND EditOf(HWND combo) {
    return GetWindow(combo, GW_CHILD);
}

RECT ChildRect(HWND child) {
    RECT rc = {};
    GetWindowRect(child, &rc);
    MapWindowPoints(nullptr, GetParent(child), reinterpret_cast<POINT*>(&rc), 2);
    return rc;
}

SIZE ClientSize(HWND hwnd) {
    RECT rc = {};
    GetClientRect(hwnd, &rc);
    return SIZE{rc.right, rc.bottom};
}

void TypeText(HWND target, const std::string& text) {
    for (unsigned char c : text) PostMessageA(target, WM_CHAR, c, 1);
    Pump();
}

void PressKey(HWND target, UINT vk, bool alt) {
    UINT scan = MapVirtualKeyA(vk, 0);
    LPARAM down = 1 | (static_cast<LPARAM>(scan) << 16) | (alt ? (1 << 29) : 0);
    LPARAM up = down | (static_cast<LPARAM>(1) << 30) | (static_cast<LPARAM>(1) << 31);
    PostMessageA(target, alt ? WM_SYSKEYDOWN : WM_KEYDOWN, vk, down);
    PostMessageA(target, alt ? WM_SYSKEYUP : WM_KEYUP, vk, up);
    Pump();
}

void ClickToolbarButton(HWND toolbar, int index) {
    RECT rc = {};
    SendMessageA(toolbar, TB_GETITEMRECT, index, reinterpret_cast<LPARAM>(&rc));
    LPARAM at = MAKELPARAM((rc.left + rc.right) / 2, (rc.top + rc.bottom) / 2);
    PostMessageA(toolbar, WM_MOUSEMOVE, 0, at);
    PostMessageA(toolbar, WM_LBUTTONDOWN, MK_LBUTTON, at);
    PostMessageA(toolbar, WM_LBUTTONUP, 0, at);
    Pump();
}

}  // namespace browsertest
