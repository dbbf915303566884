// Scale for the keyrelay benchmark: a Win32 program that starts COM, ends it
// and exits, which is what any COM client pays before doing anything.
#include <windows.h>
#include <objbase.h>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    if (SUCCEEDED(CoInitialize(nullptr))) CoUninitialize();
    return 0;
}
