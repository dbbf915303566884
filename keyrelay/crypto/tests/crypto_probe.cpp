// Uses the late bindings the way keyrelay does, for the planted-library
// tests; the exit code tells the outcome:
//   kr_crypto_probe verify IMAGE  UImageVerifier on IMAGE, through all three
//                                 bindings (0 verified, 1 not)
//   kr_crypto_probe fallback      CRYPT32 and IMAGEHLP by their full system
//                                 path (the number that failed to load)
//   kr_crypto_probe naive         bare LoadLibraryA of the three names (a
//                                 control: a planted copy is then taken)
//   kr_crypto_probe fullpath      IMAGEHLP by its full system path alone (a
//                                 control: its own imports are then looked
//                                 for beside the program first)
#include <windows.h>

#include <string>

#include "ImageVerifier.h"
#include "SystemLibrary.h"

int main(int argc, char** argv) {
    const std::string mode = argc >= 2 ? argv[1] : "";
    UImageFile image;
    if (mode == "verify" && argc == 3)
        return image.Open(std::wstring(argv[2], argv[2] + lstrlenA(argv[2]))) &&
               UImageVerifier(image).Verify() ? 0 : 1;
    if (mode == "fullpath") {
        char path[MAX_PATH];
        const UINT n = GetSystemDirectoryA(path, MAX_PATH - 16);
        if (n == 0 || n >= MAX_PATH - 16) return 100;
        lstrcatA(path, "\\IMAGEHLP.DLL");
        HMODULE m = LoadLibraryA(path);
        if (m) FreeLibrary(m);
        return m == nullptr;
    }
    if (mode != "naive" && mode != "fallback") return 100;
    int missing = 0;
    for (const char* name : {"CRYPT32.DLL", "IMAGEHLP.DLL", "wintrust.dll"}) {
        if (mode == "fallback" && name[0] == 'w') continue;
        HMODULE m = mode == "naive" ? LoadLibraryA(name) : syslib::LoadFromSystemDirectory(name);
        missing += m == nullptr;
        if (m) FreeLibrary(m);
    }
    return missing;
}
