/* A DLL planted beside a program under the name of a system library
   (crypt32.dll, imagehlp.dll, wintrust.dll): it must never be loaded. If it
   is, it leaves "<its file name>.loaded" beside itself. It exports nothing:
   a program that took it fails to bind as well. */
#include <windows.h>

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID reserved) {
    char path[MAX_PATH + 8];
    const DWORD n = GetModuleFileNameA(instance, path, MAX_PATH);
    HANDLE file;
    (void)reserved;
    if (reason != DLL_PROCESS_ATTACH || n == 0 || n >= MAX_PATH) return TRUE;
    lstrcatA(path, ".loaded");
    file = CreateFileA(path, GENERIC_WRITE, FILE_SHARE_READ, NULL, CREATE_ALWAYS,
                       FILE_ATTRIBUTE_NORMAL, NULL);
    if (file != INVALID_HANDLE_VALUE) CloseHandle(file);
    return TRUE;
}
