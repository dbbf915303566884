// Helpers for the browser window tests: a message loop like the launcher's
// (browser windows see keyboard messages first), waiting on conditions,
// reading what the window shows, and user input posted to its controls.
#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

namespace browsertest {

// Handles every queued message the way the launcher's loop does.
void Pump();
// Pumps until done() holds or timeoutMs passes; returns done().
bool PumpUntil(const std::function<bool()>& done, DWORD timeoutMs = 10000);

std::string Text(HWND hwnd);
std::vector<std::string> ListItems(HWND combo);
int ListIndex(HWND combo);
HWND EditOf(HWND combo);
// A child's rectangle in its parent's client pixels.
RECT ChildRect(HWND child);
SIZE ClientSize(HWND hwnd);

// Typing: each character as WM_CHAR; keys as WM_KEYDOWN/WM_KEYUP (Alt keys
// as WM_SYSKEYDOWN), all posted to target and handled by Pump.
void TypeText(HWND target, const std::string& text);
void PressKey(HWND target, UINT vk, bool alt = false);
// A left click in the middle of toolbar button `index` (0-based).
void ClickToolbarButton(HWND toolbar, int index);

}  // namespace browsertest
