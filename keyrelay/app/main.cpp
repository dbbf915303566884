// Entry point of the certificate tool: one run, its result is the exit code.
#include <windows.h>

#include "RunFlow.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR commandLine, int) {
    try {
        return keyrelay::RunKeyRelay(instance, commandLine);
    } catch (...) {
        return -1;
    }
}
