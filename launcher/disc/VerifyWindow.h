// Verify disc: every file of the launcher's list checked, from the window's
// system menu (a small window with progress, the current file and Cancel)
// or without a window as "Setup.exe /verify".
#pragma once

#include <windows.h>

#include <string>

namespace discverify {

// The system menu's command (below 0xF000, a multiple of 16).
constexpr UINT kVerifyCommand = 0x0230;

// Adds "Verify disc..." to window's system menu when image carries a list.
void AddMenuItem(HWND window, HMODULE image);

// The Verify disc window, modal to owner; root is the disc's root folder.
void ShowVerifyWindow(HWND owner, HMODULE image, const std::wstring& root);

// Whether a command line (GetCommandLineW) asks for "/verify".
bool IsVerifyCommandLine(const wchar_t* commandLine);

// Setup.exe /verify: checks every listed file below the current folder (the
// disc's root), writes one line
// "<damaged|missing|unreadable|unchecked> <path>" for each bad one to standard output
// (when the process has one) and returns the exit code: 0 all good, 1 a file
// damaged or missing, 2 no list (or a malformed one).
int VerifyFromCommandLine(HMODULE image);

}  // namespace discverify
