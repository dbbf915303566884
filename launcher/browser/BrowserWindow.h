// What the launcher's main window needs of its browser windows (frmBrowser):
// open one on an address, let it see keyboard messages first, close them all.
#pragma once

#include <windows.h>

#include <string>

namespace browser {

// Creates a new browser window, sets its StartingAddress and shows it
// modeless. The caller keeps no reference; the window lives until the user
// or CloseAllBrowserWindows closes it. Returns nullptr when it could not be
// created.
HWND ShowBrowserWindow(HINSTANCE instance, const std::string& startingAddress);

// Gives the open browser windows the first look at a queued message
// (keyboard navigation, accelerators of the hosted control). Returns true
// when the message was handled and must not be dispatched.
bool PreTranslateBrowserMessage(MSG* msg);

// Closes every open browser window, the one loaded last first.
void CloseAllBrowserWindows();

}  // namespace browser
