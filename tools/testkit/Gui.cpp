// Implementation of the window, input and file-reading test helpers.
#include "Gui.h"

#include <cstdlib>

#include "Scoped.h"
#include "Testkit.h"

namespace testkit {

void Pump(PreTranslate preTranslate) {
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (preTranslate && preTranslate(&msg)) continue;
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
}

bool PumpUntil(const std::function<bool()>& done, DWORD timeoutMs, PreTranslate preTranslate) {
    DWORD start = GetTickCount();
    for (;;) {
        Pump(preTranslate);
        if (done()) return true;
        if (GetTickCount() - start > timeoutMs) return done();
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
    }
}

bool WaitFor(const std::function<bool()>& done, DWORD timeoutMs) {
    DWORD start = GetTickCount();
    while (!done()) {
        if (GetTickCount() - start > timeoutMs) return done();
        Sleep(20);
    }
    return true;
}

namespace {

struct Search {
    DWORD pid;
    const char* className;
    std::vector<HWND> found;
};

bool ClassIs(HWND hwnd, const char* className) {
    char cls[128] = {};
    GetClassNameA(hwnd, cls, sizeof(cls));
    return lstrcmpiA(cls, className) == 0;
}

BOOL CALLBACK CollectTop(HWND hwnd, LPARAM lp) {
    Search* s = reinterpret_cast<Search*>(lp);
    DWORD pid = 0;
    GetWindowThreadProcessId(hwnd, &pid);
    if ((!s->pid || pid == s->pid) && IsWindowVisible(hwnd) && ClassIs(hwnd, s->className))
        s->found.push_back(hwnd);
    return TRUE;
}

BOOL CALLBACK FirstChild(HWND hwnd, LPARAM lp) {
    Search* s = reinterpret_cast<Search*>(lp);
    if (!ClassIs(hwnd, s->className)) return TRUE;
    s->found.push_back(hwnd);
    return FALSE;
}

void SendMouse(DWORD flags, POINT p) {
    INPUT in = {};
    in.type = INPUT_MOUSE;
    in.mi.dx = MulDiv(p.x, 65535, GetSystemMetrics(SM_CXSCREEN) - 1);
    in.mi.dy = MulDiv(p.y, 65535, GetSystemMetrics(SM_CYSCREEN) - 1);
    in.mi.dwFlags = flags | MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
    SendInput(1, &in, sizeof(in));
}

void SendKey(WORD vk, bool up) {
    INPUT in = {};
    in.type = INPUT_KEYBOARD;
    in.ki.wVk = vk;
    in.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
    SendInput(1, &in, sizeof(in));
}

// Wine moves the X pointer for each of SendInput's moves, under a pointer
// grab of its own. The X server tells the grab's start, at the pointer's old
// place, to the process that owns the desktop's X window, and its end, at
// the new place, to the owner of the X window under the pointer; each
// passes what it is told on as a move of its own when it reads its events.
// When the desktop's process reads late, after the window's owner, the
// window under the pointer sees the old place last and keeps it. So a move
// waits until those owners have read their events (the X server has
// handled the move: a cursor query is a round trip once Wine's own place is
// 100 ms old; an owner answers a second message only after the wait in
// which it reads them), then is made again: from wherever a late old place
// took Wine's pointer, back to where the X pointer already is, which moves
// no X pointer and so starts no grab.
void SettlePointer() {
    Sleep(120);
    POINT p = {};
    GetCursorPos(&p);
    for (HWND owner : {GetDesktopWindow(), WindowFromPoint(p)}) {
        DWORD_PTR answer = 0;
        for (int i = 0; i < 2; ++i)
            SendMessageTimeoutA(owner, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, kPatienceMs, &answer);
    }
}

void PointAt(POINT screen) {
    SendMouse(0, screen);
    SettlePointer();
    SendMouse(0, screen);
    SettlePointer();
}

}  // namespace

std::vector<HWND> TopWindows(DWORD pid, const char* className) {
    Search s{pid, className, {}};
    EnumWindows(CollectTop, reinterpret_cast<LPARAM>(&s));
    return s.found;
}

HWND FindChild(HWND parent, const char* className) {
    Search s{0, className, {}};
    EnumChildWindows(parent, FirstChild, reinterpret_cast<LPARAM>(&s));
    return s.found.empty() ? nullptr : s.found.front();
}

std::string WindowText(HWND hwnd) {
    char buffer[1024] = {};
    DWORD_PTR result = 0;
    SendMessageTimeoutA(hwnd, WM_GETTEXT, sizeof(buffer), reinterpret_cast<LPARAM>(buffer),
                        SMTO_ABORTIFHUNG, kPatienceMs, &result);
    return buffer;
}

void MoveMouse(POINT screen) {
    PointAt(screen);
}

void Click(POINT screen) {
    PointAt(screen);
    SendMouse(MOUSEEVENTF_LEFTDOWN, screen);
    SendMouse(MOUSEEVENTF_LEFTUP, screen);
    Sleep(50);
}

void Key(WORD vk, bool shift, bool alt) {
    if (shift) SendKey(VK_SHIFT, false);
    if (alt) SendKey(VK_MENU, false);
    SendKey(vk, false);
    SendKey(vk, true);
    if (alt) SendKey(VK_MENU, true);
    if (shift) SendKey(VK_SHIFT, true);
    Sleep(50);
}

COLORREF ScreenPixel(POINT p) {
    scoped::WindowDC screen(nullptr);
    scoped::MemoryDC m(CreateCompatibleDC(screen.get()));
    scoped::GdiObject b(CreateCompatibleBitmap(screen.get(), 1, 1));
    scoped::Selection pixel(m.get(), b.get());
    BitBlt(m.get(), 0, 0, 1, 1, screen.get(), p.x, p.y, SRCCOPY);
    return GetPixel(m.get(), 0, 0);
}

int ScreenDpi() {
    scoped::WindowDC screen(nullptr);
    return GetDeviceCaps(screen.get(), LOGPIXELSX);
}

int ExpectedDpi() {
    char expected[8] = "96";
    GetEnvironmentVariableA("EXPECT_DPI", expected, sizeof(expected));
    return atoi(expected);
}

std::vector<std::string> ReadLines(const std::string& path) {
    std::vector<std::string> lines;
    std::string text = ReadTextFile(path);
    size_t pos = 0;
    for (size_t end; (end = text.find('\n', pos)) != std::string::npos; pos = end + 1) {
        size_t len = end - pos;
        if (len && text[end - 1] == '\r') --len;
        lines.push_back(text.substr(pos, len));
    }
    return lines;
}

std::vector<unsigned char> ReadBytes(const std::string& path) {
    std::string text = ReadTextFile(path);
    return std::vector<unsigned char>(text.begin(), text.end());
}

}  // namespace testkit
