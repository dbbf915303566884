/* A DLL planted beside a program under the name of a system library
   (crypt32.dll, imagehlp.dll, wintrust.dll): it must never be loaded. If it is, it leaves
   "planted-<name>.txt" beside itself, with a line per load and per call.
   Every export returns 0: failure, or "trusted" for WinVerifyTrust. */
#include <string.h>
#include <windows.h>

static HMODULE g_self;

static void Record(const char* what) {
    char path[MAX_PATH];
    DWORD n = GetModuleFileNameA(g_self, path, MAX_PATH);
    char* slash;
    char* dot;
    char marker[MAX_PATH + 16];
    HANDLE file;
    DWORD written;
    if (n == 0 || n >= MAX_PATH) return;
    slash = strrchr(path, '\\');
    if (slash == NULL) return;
    dot = strrchr(slash, '.');
    if (dot != NULL) *dot = '\0';
    *slash = '\0';
    wsprintfA(marker, "%s\\planted-%s.txt", path, slash + 1);
    file = CreateFileA(marker, FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, NULL,
                       OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, NULL);
    if (file == INVALID_HANDLE_VALUE) return;
    WriteFile(file, what, (DWORD)strlen(what), &written, NULL);
    WriteFile(file, "\r\n", 2, &written, NULL);
    CloseHandle(file);
}

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID reserved) {
    (void)reserved;
    if (reason == DLL_PROCESS_ATTACH) {
        g_self = instance;
        Record("loaded");
    }
    return TRUE;
}

/* One entry per parameter count; the .def files name the exports. */
DWORD WINAPI Planted1(DWORD a) {
    (void)a;
    Record("called");
    return 0;
}
DWORD WINAPI Planted2(DWORD a, DWORD b) {
    (void)a;
    (void)b;
    Record("called");
    return 0;
}
DWORD WINAPI Planted3(DWORD a, DWORD b, DWORD c) {
    (void)a;
    (void)b;
    (void)c;
    Record("called");
    return 0;
}
DWORD WINAPI Planted4(DWORD a, DWORD b, DWORD c, DWORD d) {
    (void)a;
    (void)b;
    (void)c;
    (void)d;
    Record("called");
    return 0;
}
DWORD WINAPI Planted5(DWORD a, DWORD b, DWORD c, DWORD d, DWORD e) {
    (void)a;
    (void)b;
    (void)c;
    (void)d;
    (void)e;
    Record("called");
    return 0;
}
DWORD WINAPI Planted6(DWORD a, DWORD b, DWORD c, DWORD d, DWORD e, DWORD f) {
    (void)a;
    (void)b;
    (void)c;
    (void)d;
    (void)e;
    (void)f;
    Record("called");
    return 0;
}
