// Shared helpers for tests that drive windows: message pumping, waiting,
// finding windows, real mouse and keyboard input, reading the screen.
#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "Testkit.h"

namespace testkit {

// Dispatches every queued message of this thread. preTranslate, when given,
// sees each message first and swallows it by returning true.
using PreTranslate = bool (*)(MSG*);
void Pump(PreTranslate preTranslate = nullptr);
// Pumps until done() holds or timeoutMs has passed; returns done().
bool PumpUntil(const std::function<bool()>& done, DWORD timeoutMs = kPatienceMs,
               PreTranslate preTranslate = nullptr);
// Waits without pumping (for another process's windows and files).
bool WaitFor(const std::function<bool()>& done, DWORD timeoutMs = kPatienceMs);

// Visible top-level windows of process pid (0: any) whose class is className.
std::vector<HWND> TopWindows(DWORD pid, const char* className);
// The first descendant of parent whose class is className (case ignored).
HWND FindChild(HWND parent, const char* className);
// A window's text, asked of the window itself (works across processes).
std::string WindowText(HWND hwnd);

// Real input through SendInput, at screen points.
void MoveMouse(POINT screen);
void Click(POINT screen);
// Presses and releases vk, with Shift or Alt held when asked.
void Key(WORD vk, bool shift = false, bool alt = false);
// The colour of one screen pixel.
COLORREF ScreenPixel(POINT screen);
// The screen's DPI, and the one the test's runner set the display to
// (EXPECT_DPI, else 96).
int ScreenDpi();
int ExpectedDpi();

// The complete lines of a text file (CRLF or LF); a last line still being
// written (no line end yet) is left out.
std::vector<std::string> ReadLines(const std::string& path);
std::vector<unsigned char> ReadBytes(const std::string& path);

}  // namespace testkit
