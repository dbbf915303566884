// Display-scale helpers shared by the launcher's windows. Header-only, like
// Scoped.h.
#pragma once

#include <windows.h>

namespace display {

// WM_DPICHANGED, which older SDK headers do not define.
constexpr UINT kWmDpiChanged = 0x02E0;

// The DPI of the monitor a window is on (Windows 10 and later, looked up at
// run time); 0 when the system cannot say.
inline int DpiOf(HWND hwnd) {
    using GetDpiForWindowFn = UINT(WINAPI*)(HWND);
    HMODULE user32 = GetModuleHandleA("user32.dll");
    static const GetDpiForWindowFn getDpiForWindow =
        user32 ? reinterpret_cast<GetDpiForWindowFn>(
                     reinterpret_cast<void*>(GetProcAddress(user32, "GetDpiForWindow")))
               : nullptr;
    return getDpiForWindow && hwnd ? static_cast<int>(getDpiForWindow(hwnd)) : 0;
}

}  // namespace display
