// Floor of the keyrelay benchmark: a COM program that also loads what the
// tool's own-image check must load (IMAGEHLP for the certificate table,
// CRYPT32 with a cryptographic provider for the signature, WINTRUST for the
// trust decision) and does nothing with it. What keyrelay takes beyond this
// is its own work and the client's.
#include <objbase.h>
#include <wincrypt.h>
#include <windows.h>

static void LoadAndFree(const char* name) {
    if (HMODULE module = LoadLibraryExA(name, nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32))
        FreeLibrary(module);
}

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    if (FAILED(CoInitialize(nullptr))) return 1;
    LoadAndFree("imagehlp.dll");
    HCRYPTPROV provider = 0;
    if (CryptAcquireContextA(&provider, nullptr, nullptr, PROV_RSA_FULL, CRYPT_VERIFYCONTEXT))
        CryptReleaseContext(provider, 0);
    HMODULE crypt32 = LoadLibraryExA("crypt32.dll", nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
    LoadAndFree("wintrust.dll");
    if (crypt32) FreeLibrary(crypt32);
    CoUninitialize();
    return 0;
}
