// The launcher's start-up (main window, message loop).
#pragma once

#include <windows.h>

namespace launcher {

// Creates and loads frmMain, shows it as the starter asked (showCommand of
// WinMain: normal, or minimised from a shortcut set so) and runs the message
// loop until the window has closed. Returns the process exit code.
int Run(HINSTANCE instance, int showCommand);

}  // namespace launcher
