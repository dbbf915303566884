// Display-scale helpers shared by the launcher's windows: which DPI a window
// is drawn at, what WM_DPICHANGED says, and the frame around a client area
// of a given size at a given DPI. Header-only, like Scoped.h.
#pragma once

#include <windows.h>

#include "Scoped.h"
#include "SystemLibrary.h"

namespace display {

// WM_DPICHANGED, which older SDK headers do not define.
constexpr UINT kWmDpiChanged = 0x02E0;

// A DPI function of user32 that only newer systems have (Windows 10 and
// later); null where absent. user32 itself is loaded from the start: only
// these functions are looked up by name, not delay-imported, because a
// system without them must still start the launcher.
template <typename Fn>
Fn User32Function(const char* name) {
    return syslib::FindFunction<Fn>(GetModuleHandleA("user32.dll"), name);
}

// The DPI of the monitor a window is on (Windows 10 and later, looked up at
// run time); 0 when the system cannot say.
inline int DpiOf(HWND hwnd) {
    using GetDpiForWindowFn = UINT(WINAPI*)(HWND);
    static const GetDpiForWindowFn getDpiForWindow =
        User32Function<GetDpiForWindowFn>("GetDpiForWindow");
    return getDpiForWindow && hwnd ? static_cast<int>(getDpiForWindow(hwnd)) : 0;
}

// The DPI of the whole screen as the system reports it; 96 when it cannot
// say. Windows keeps one DPI for both axes; the horizontal one is read,
// as from WM_DPICHANGED below.
inline int SystemDpi() {
    scoped::WindowDC screen(nullptr);
    int dpi = screen ? GetDeviceCaps(screen.get(), LOGPIXELSX) : 96;
    return dpi > 0 ? dpi : 96;
}

// The DPI a window is drawn at: its monitor's, else the system's.
inline int WindowDpi(HWND hwnd) {
    if (int dpi = DpiOf(hwnd)) return dpi;
    return SystemDpi();
}

// WM_DPICHANGED: the new DPI (wParam holds it for both axes; the low word,
// the horizontal one, is read) and the rectangle the system suggests, of
// which the windows take only the position (lParam; null when absent).
inline int NewDpi(WPARAM wParam) {
    return LOWORD(wParam);
}
inline const RECT* SuggestedRect(LPARAM lParam) {
    return reinterpret_cast<const RECT*>(lParam);
}

// The outer size of a window with this style whose client area is
// clientWidth x clientHeight pixels at dpi: the frame the system draws at
// that DPI where it can say (Windows 10 and later), else its frame at the
// system DPI scaled to dpi.
inline SIZE OuterSize(int clientWidth, int clientHeight, int dpi, DWORD style, DWORD exStyle,
                      bool hasMenu) {
    using AdjustWindowRectExForDpiFn = BOOL(WINAPI*)(LPRECT, DWORD, BOOL, DWORD, UINT);
    static const AdjustWindowRectExForDpiFn adjustForDpi =
        User32Function<AdjustWindowRectExForDpiFn>("AdjustWindowRectExForDpi");
    if (dpi <= 0) dpi = 96;
    RECT r = {0, 0, clientWidth, clientHeight};
    if (adjustForDpi && adjustForDpi(&r, style, hasMenu, exStyle, static_cast<UINT>(dpi)))
        return SIZE{r.right - r.left, r.bottom - r.top};
    r = RECT{0, 0, 0, 0};
    AdjustWindowRectEx(&r, style, hasMenu, exStyle);
    const int system = SystemDpi();
    return SIZE{clientWidth + MulDiv(r.right - r.left, dpi, system),
                clientHeight + MulDiv(r.bottom - r.top, dpi, system)};
}

// Sizes hwnd so that its client area comes out at exactly clientWidth x
// clientHeight pixels at dpi, its top left corner at `at` (null: where it
// is). The frame the system draws may differ from the one reckoned (a menu
// bar of another height, a frame not scaled in step): the client area is
// measured afterwards and the window corrected by the difference.
inline void FitClient(HWND hwnd, int clientWidth, int clientHeight, int dpi, const RECT* at) {
    SIZE outer = OuterSize(
        clientWidth, clientHeight, dpi, static_cast<DWORD>(GetWindowLongPtrA(hwnd, GWL_STYLE)),
        static_cast<DWORD>(GetWindowLongPtrA(hwnd, GWL_EXSTYLE)), GetMenu(hwnd) != nullptr);
    RECT now = {};
    GetWindowRect(hwnd, &now);
    int x = at ? at->left : now.left;
    int y = at ? at->top : now.top;
    SetWindowPos(hwnd, nullptr, x, y, outer.cx, outer.cy, SWP_NOZORDER | SWP_NOACTIVATE);
    RECT client;
    if (GetClientRect(hwnd, &client)) {
        int dx = clientWidth - client.right;
        int dy = clientHeight - client.bottom;
        if (dx || dy)
            SetWindowPos(hwnd, nullptr, 0, 0, outer.cx + dx, outer.cy + dy,
                         SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
}

}  // namespace display
