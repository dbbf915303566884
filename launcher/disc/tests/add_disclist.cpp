// Test helper: gives a copy of Setup.exe a disc list, as the disc build does.
// Usage: add_disclist SETUP.EXE LIST  (LIST: the list's bytes, CR LF lines)
#include <windows.h>

#include "Resource.h"
#include "Scoped.h"

int wmain(int argc, wchar_t** argv) {
    if (argc != 3) return 2;
    static char data[1 << 16];
    DWORD size = 0;
    {
        scoped::FileHandle in(CreateFileW(argv[2], GENERIC_READ, FILE_SHARE_READ, nullptr,
                                          OPEN_EXISTING, 0, nullptr));
        if (!in || !ReadFile(in.get(), data, sizeof(data), &size, nullptr)) return 1;
    }
    HANDLE update = BeginUpdateResourceW(argv[1], FALSE);  // EndUpdateResource frees it
    if (!update) return 1;
    BOOL added = UpdateResourceW(update, MAKEINTRESOURCEW(10), MAKEINTRESOURCEW(IDR_DISCLIST),
                                 MAKELANGID(LANG_NEUTRAL, SUBLANG_NEUTRAL), data, size);
    return EndUpdateResourceW(update, !added) && added ? 0 : 1;
}
