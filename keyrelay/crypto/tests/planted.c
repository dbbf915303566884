/* A DLL planted beside a program under the name of a system library
   (crypt32.dll, imagehlp.dll, wintrust.dll): it must never be loaded. If it
   is, it leaves "<its file name>.loaded" beside itself, a line per load and
   per call. Every export returns 0: failure, or "trusted" for WinVerifyTrust. */
#include <windows.h>

static HMODULE g_self;

static DWORD Record(const char* what) {
    char path[MAX_PATH + 8];
    DWORD n = GetModuleFileNameA(g_self, path, MAX_PATH), written;
    HANDLE file;
    if (n == 0 || n >= MAX_PATH) return 0;
    lstrcatA(path, ".loaded");
    file = CreateFileA(path, FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, NULL,
                       OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, NULL);
    if (file == INVALID_HANDLE_VALUE) return 0;
    WriteFile(file, what, (DWORD)lstrlenA(what), &written, NULL);
    CloseHandle(file);
    return 0;
}

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID reserved) {
    (void)reserved;
    if (reason == DLL_PROCESS_ATTACH) {
        g_self = instance;
        Record("loaded\r\n");
    }
    return TRUE;
}

/* One entry per parameter count; the .def files name the exports. */
DWORD WINAPI Planted1(DWORD a) { return Record("called\r\n") + 0 * a; }
DWORD WINAPI Planted2(DWORD a, DWORD b) { return Record("called\r\n") + 0 * (a + b); }
DWORD WINAPI Planted3(DWORD a, DWORD b, DWORD c) { return Record("called\r\n") + 0 * (a + b + c); }
DWORD WINAPI Planted4(DWORD a, DWORD b, DWORD c, DWORD d) {
    return Record("called\r\n") + 0 * (a + b + c + d);
}
DWORD WINAPI Planted5(DWORD a, DWORD b, DWORD c, DWORD d, DWORD e) {
    return Record("called\r\n") + 0 * (a + b + c + d + e);
}
DWORD WINAPI Planted6(DWORD a, DWORD b, DWORD c, DWORD d, DWORD e, DWORD f) {
    return Record("called\r\n") + 0 * (a + b + c + d + e + f);
}
