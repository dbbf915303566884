// The open browser windows, their hidden owner and the cascade (see
// BrowserWindowList.h).
#include "BrowserWindowList.h"

#include <algorithm>

namespace browser {
namespace windowlist {

namespace {

const char kOwnerClass[] = "WexaBrowserOwner";

std::vector<HWND>& Windows() {
    static std::vector<HWND> windows;
    return windows;
}

}  // namespace

const std::vector<HWND>& Loaded() {
    return Windows();
}

void Add(HWND hwnd) {
    Windows().push_back(hwnd);
}

void Remove(HWND hwnd) {
    auto& windows = Windows();
    windows.erase(std::remove(windows.begin(), windows.end(), hwnd), windows.end());
}

HWND HiddenOwner(HINSTANCE instance) {
    static HWND owner = nullptr;
    if (owner && IsWindow(owner)) return owner;
    WNDCLASSA wc = {};
    wc.lpfnWndProc = DefWindowProcA;
    wc.hInstance = instance;
    wc.lpszClassName = kOwnerClass;
    RegisterClassA(&wc);  // fails harmlessly when already registered
    owner = CreateWindowExA(0, kOwnerClass, "", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr, instance,
                            nullptr);
    return owner;
}

layout::Spot CascadeSpot(layout::Spot design, int width, int height) {
    const std::vector<HWND>& open = Windows();
    RECT last = {};
    bool haveLast = !open.empty() && GetWindowRect(open.back(), &last);
    MONITORINFO mi = {};
    mi.cbSize = sizeof(mi);
    HMONITOR monitor = haveLast
                           ? MonitorFromWindow(open.back(), MONITOR_DEFAULTTOPRIMARY)
                           : MonitorFromPoint(POINT{design.x, design.y}, MONITOR_DEFAULTTOPRIMARY);
    RECT work = {0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    if (GetMonitorInfoA(monitor, &mi)) work = mi.rcWork;
    layout::Spot lastSpot = {last.left, last.top};
    return layout::CascadePosition(haveLast ? &lastSpot : nullptr, design, width, height,
                                   GetSystemMetrics(SM_CYCAPTION),
                                   {work.left, work.top, work.right, work.bottom});
}

}  // namespace windowlist
}  // namespace browser
