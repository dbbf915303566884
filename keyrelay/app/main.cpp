// Entry point of the certificate tool: one run, its result is the exit code.
#include <windows.h>

#include "DllSearch.h"
#include "RunFlow.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR commandLine, int) {
    dllsearch::RestrictToSystemFolder();  // before COM or the crypto libraries load anything
    keyrelay::RunAllocators allocators;
    // Test builds only: one string of the run cannot be had, as when memory runs out.
#ifdef KEYRELAY_REFUSE_CERTIFICATE_ALLOCATION
    allocators.certificate = [](const char*, UINT) -> BSTR { return nullptr; };
#endif
#ifdef KEYRELAY_REFUSE_TARGET_ALLOCATION
    allocators.target = [](BSTR*, const char*) -> HRESULT { return E_OUTOFMEMORY; };
#endif
    try {
        return keyrelay::RunKeyRelay(instance, commandLine, allocators);
    } catch (...) {
        return -1;
    }
}
