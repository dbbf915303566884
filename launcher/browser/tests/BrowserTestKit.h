// Helpers for the browser window tests: the launcher's message loop (browser
// windows see keyboard messages first), reading what a window shows, and
// keys and clicks posted to its controls.
#pragma once

// clang-format off
#include <windows.h>  // before the other system headers, which need it
#include <commctrl.h>
// clang-format on

#include <cstdio>
#include <string>
#include <vector>

#include "BrowserWindow.h"
#include "Gui.h"

namespace browsertest {

using testkit::WindowText;
using Items = std::vector<std::string>;

inline void Pump() {
    testkit::Pump(browser::PreTranslateBrowserMessage);
}
inline bool PumpUntil(const std::function<bool()>& done) {
    return testkit::PumpUntil(done, 10000, browser::PreTranslateBrowserMessage);
}

inline Items ListItems(HWND combo) {
    Items items;
    char text[1024];
    for (LRESULT i = 0, n = SendMessageA(combo, CB_GETCOUNT, 0, 0); i < n; ++i) {
        SendMessageA(combo, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(text));
        items.push_back(text);
    }
    return items;
}

// "left,top,right,bottom"
inline std::string Str(const RECT& rc) {
    char text[64];
    std::snprintf(text, sizeof(text), "%ld,%ld,%ld,%ld", static_cast<long>(rc.left),
                  static_cast<long>(rc.top), static_cast<long>(rc.right),
                  static_cast<long>(rc.bottom));
    return text;
}
inline RECT ClientRect(HWND hwnd) {
    RECT rc = {};
    GetClientRect(hwnd, &rc);
    return rc;
}
// A child's rectangle in its parent's client pixels.
inline RECT ChildRect(HWND child) {
    RECT rc = {};
    GetWindowRect(child, &rc);
    MapWindowPoints(nullptr, GetParent(child), reinterpret_cast<POINT*>(&rc), 2);
    return rc;
}

// Characters as WM_CHAR, a key as WM_KEYDOWN/WM_KEYUP (with Alt as
// WM_SYSKEYDOWN/UP), posted to target and then pumped.
inline void TypeText(HWND target, const std::string& text) {
    for (unsigned char c : text) PostMessageA(target, WM_CHAR, c, 1);
    Pump();
}
inline void PressKey(HWND target, UINT vk, bool alt = false) {
    LPARAM down = 1 | (static_cast<LPARAM>(MapVirtualKeyA(vk, 0)) << 16) | (alt ? 1 << 29 : 0);
    PostMessageA(target, alt ? WM_SYSKEYDOWN : WM_KEYDOWN, vk, down);
    PostMessageA(target, alt ? WM_SYSKEYUP : WM_KEYUP, vk, down | (LPARAM{3} << 30));
    Pump();
}
// A left click in the middle of toolbar button `index` (0-based).
inline void ClickToolbarButton(HWND toolbar, int index) {
    RECT rc = {};
    SendMessageA(toolbar, TB_GETITEMRECT, index, reinterpret_cast<LPARAM>(&rc));
    LPARAM at = MAKELPARAM((rc.left + rc.right) / 2, (rc.top + rc.bottom) / 2);
    PostMessageA(toolbar, WM_MOUSEMOVE, 0, at);
    PostMessageA(toolbar, WM_LBUTTONDOWN, MK_LBUTTON, at);
    PostMessageA(toolbar, WM_LBUTTONUP, 0, at);
    Pump();
}

}  // namespace browsertest
