// Stand-in for the Solvane client's Download Tool: a hidden window of class
// "SolvaneDownloadToolWndClass" titled "Download Tool" that answers the
// registered uninstall message with the completion message, in the way the
// command line asks, and journals what it received.
//
// Usage: downloadtool.exe MODE [JOURNAL]
//   MODE  now       post the completion to all top-level windows once the
//                   uninstall message has been handled, then exit
//         during    send the completion to all top-level windows from inside
//                   the handling of the uninstall message, then exit
//         delay:MS  post the completion MS milliseconds later, then exit
//         busy      as now, but its window thread first takes no message
//                   (nor waits on its queue) until it has been judged hung,
//                   and then until a message is sent to it: a request that
//                   skips hung windows never reaches it
//         quit      take the uninstall message, then exit without answering
//         never     never answer; runs until closed (WM_CLOSE) or ended
//         hang      play another program whose window has stopped answering:
//                   a window of class "HungProgramWndClass" titled "Hung
//                   Program" whose thread never takes a message, though it
//                   journals "sent to" once one is sent to it; runs until
//                   ended
//   JOURNAL  file (optional) that gets one line per event: "ready", "busy"
//            (judged hung), "uninstall W L" (the message's wParam and
//            lParam), "completion sent", "exit"
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

enum class Mode { Now, Busy, During, Delay, Quit, Never, Hang };

constexpr char kClassName[] = "SolvaneDownloadToolWndClass";
constexpr char kTitle[] = "Download Tool";
constexpr char kHungClassName[] = "HungProgramWndClass";
constexpr char kHungTitle[] = "Hung Program";
constexpr UINT kAnswerNow = WM_APP + 1;
constexpr UINT_PTR kAnswerTimer = 1;

Mode g_mode = Mode::Never;
UINT g_delayMs = 0;
std::string g_journal;
UINT g_uninstallMessage = 0;
UINT g_completionMessage = 0;
bool g_answered = false;

// Called from the window procedure: nothing here may throw.
void Journal(const char* line) noexcept {
    if (g_journal.empty()) return;
    FILE* f = std::fopen(g_journal.c_str(), "ab");
    if (!f) return;
    std::fputs(line, f);
    std::fputc('\n', f);
    std::fclose(f);
}

void Answer(HWND hwnd, bool synchronous) {
    if (g_answered) return;
    g_answered = true;
    if (synchronous)
        SendMessageA(HWND_BROADCAST, g_completionMessage, 0, 0);
    else
        PostMessageA(HWND_BROADCAST, g_completionMessage, 0, 0);
    Journal("completion sent");
    PostMessageA(hwnd, WM_CLOSE, 0, 0);
}

LRESULT CALLBACK WndProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == g_uninstallMessage && g_uninstallMessage != 0) {
        char line[64];
        std::snprintf(line, sizeof(line), "uninstall %lu %ld", static_cast<unsigned long>(wParam),
                      static_cast<long>(lParam));
        Journal(line);
        switch (g_mode) {
        case Mode::Now:
        case Mode::Busy:
            PostMessageA(hwnd, kAnswerNow, 0, 0);
            break;
        case Mode::During:
            Answer(hwnd, true);
            break;
        case Mode::Delay:
            SetTimer(hwnd, kAnswerTimer, g_delayMs, nullptr);
            break;
        case Mode::Quit:
            PostMessageA(hwnd, WM_CLOSE, 0, 0);
            break;
        case Mode::Never:
        case Mode::Hang:
            break;
        }
        return 0;
    }
    switch (msg) {
    case kAnswerNow:
        Answer(hwnd, false);
        return 0;
    case WM_TIMER:
        if (wParam == kAnswerTimer) {
            KillTimer(hwnd, kAnswerTimer);
            Answer(hwnd, false);
        }
        return 0;
    case WM_DESTROY:
        PostQuitMessage(0);
        return 0;
    default:
        return DefWindowProcA(hwnd, msg, wParam, lParam);
    }
}

bool ParseMode(const char* text) {
    if (std::strcmp(text, "now") == 0) {
        g_mode = Mode::Now;
    } else if (std::strcmp(text, "busy") == 0) {
        g_mode = Mode::Busy;
    } else if (std::strcmp(text, "during") == 0) {
        g_mode = Mode::During;
    } else if (std::strcmp(text, "quit") == 0) {
        g_mode = Mode::Quit;
    } else if (std::strcmp(text, "never") == 0) {
        g_mode = Mode::Never;
    } else if (std::strcmp(text, "hang") == 0) {
        g_mode = Mode::Hang;
    } else if (std::strncmp(text, "delay:", 6) == 0) {
        g_mode = Mode::Delay;
        g_delayMs = static_cast<UINT>(std::strtoul(text + 6, nullptr, 10));
    } else {
        return false;
    }
    return true;
}

// Polls, as taking or waiting for a message would end the hung state.
void WaitUntilSentTo() {
    while (!(HIWORD(GetQueueStatus(QS_SENDMESSAGE)) & QS_SENDMESSAGE)) Sleep(50);
}

// Busy mode: a message sent while it is judged hung is what it waits for.
void StayBusy(HWND hwnd) {
    while (!IsHungAppWindow(hwnd)) Sleep(50);
    Journal("busy");
    WaitUntilSentTo();
}

// Hang mode: a message sent to it stays untaken, but is told of.
[[noreturn]] void StayHung() {
    WaitUntilSentTo();
    Journal("sent to");
    for (;;) Sleep(INFINITE);
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    if (__argc < 2 || !ParseMode(__argv[1])) return 2;
    try {
        if (__argc >= 3) g_journal = __argv[2];
    } catch (...) {
        return 2;
    }

    g_uninstallMessage = RegisterWindowMessageA("Solvane.Uninstall.Event");
    g_completionMessage = RegisterWindowMessageA("Solvane.Uninstall.Complete.Event");

    WNDCLASSEXA wc = {};
    wc.cbSize = sizeof(wc);
    wc.lpfnWndProc = WndProc;
    wc.hInstance = instance;
    const bool hang = g_mode == Mode::Hang;
    wc.lpszClassName = hang ? kHungClassName : kClassName;
    if (!RegisterClassExA(&wc)) return 3;
    // Hidden, like the real tool: FindWindowA and broadcasts reach it anyway.
    HWND hwnd = CreateWindowExA(0, wc.lpszClassName, hang ? kHungTitle : kTitle,
                                WS_OVERLAPPEDWINDOW, CW_USEDEFAULT, CW_USEDEFAULT, 200, 100,
                                nullptr, nullptr, instance, nullptr);
    if (!hwnd) return 4;
    Journal("ready");
    if (hang) StayHung();
    if (g_mode == Mode::Busy) StayBusy(hwnd);

    MSG msg;
    while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    Journal("exit");
    return 0;
}
