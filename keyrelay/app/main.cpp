// Entry point of the certificate tool: one run, its result is the exit code.
#include <windows.h>

#include "DllSearch.h"
#include "RunFlow.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR commandLine, int) {
    dllsearch::RestrictToSystemFolder();  // before COM or the crypto libraries load anything
    try {
        return keyrelay::RunKeyRelay(instance, commandLine);
    } catch (...) {
        return -1;
    }
}
