// Entry point of Setup.exe.
#include <windows.h>

#include "Startup.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int showCommand) {
    try {
        return launcher::Run(instance, showCommand);
    } catch (...) {
        return 1;  // out of memory at start-up: nothing sensible is left to do
    }
}
