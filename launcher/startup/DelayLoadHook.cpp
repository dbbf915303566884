// The hooks of the delay-load helper for Setup. Every system function that
// the launcher can start and paint without (a scaled display then gets the
// design-size pictures enlarged) is delay-imported: launcher/late-imports.txt
// lists them, and cmake/DelayImports.cmake makes from that list the
// delay-import libraries that bind them late. These hooks decide where a
// library comes from and what a missing one means: the notification hook
// loads it through the system-folder loader, so that a copy lying beside
// Setup.exe on the disc is never taken, nor a library that it imports in
// turn; the failure hook answers a library or function that cannot be had
// with that function's fallback below, which fails as the function itself
// fails. Callers then take the path they take for any failed call: no sound,
// no tooltips, no browser window, no answer to a screen reader; the launcher
// goes on. (The DPI functions of newer systems are looked up in user32 by
// name instead, Dpi.h; COM loads the servers of the classes it creates.)
// Linked into the program itself, so that it replaces the helper's defaults.
#include <windows.h>
// after windows.h:
#include <bcrypt.h>
#include <commctrl.h>
#include <delayimp.h>
#include <mmsystem.h>
#include <oleacc.h>
#include <shellapi.h>

#include <cstring>

#include "SystemLibrary.h"

namespace {

const HRESULT kNotLoaded = HRESULT_FROM_WIN32(ERROR_PROC_NOT_FOUND);

template <typename Result>
Result Fail(Result result) {
    SetLastError(ERROR_PROC_NOT_FOUND);
    return result;
}

// The fallbacks, one per delay-imported function, named No_<function>.
int WINAPI No_ImageList_AddMasked(HIMAGELIST, HBITMAP, COLORREF) { return Fail(-1); }
HIMAGELIST WINAPI No_ImageList_Create(int, int, UINT, int, int) {
    return Fail<HIMAGELIST>(nullptr);
}
BOOL WINAPI No_ImageList_Destroy(HIMAGELIST) { return Fail(FALSE); }
BOOL WINAPI No_InitCommonControlsEx(const INITCOMMONCONTROLSEX*) { return Fail(FALSE); }
BOOL WINAPI No_SetWindowSubclass(HWND, SUBCLASSPROC, UINT_PTR, DWORD_PTR) { return Fail(FALSE); }
BOOL WINAPI No_RemoveWindowSubclass(HWND, SUBCLASSPROC, UINT_PTR) { return Fail(FALSE); }
// Never reached without a subclass; the window's default handling all the same.
LRESULT WINAPI No_DefSubclassProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    return DefWindowProcA(hwnd, message, wParam, lParam);
}
HRESULT WINAPI No_CoCreateInstance(REFCLSID, LPUNKNOWN, DWORD, REFIID, LPVOID* out) {
    if (out) *out = nullptr;
    return kNotLoaded;
}
HRESULT WINAPI No_CoInitialize(LPVOID) { return kNotLoaded; }
void WINAPI No_CoUninitialize() {}
HRESULT WINAPI No_OleInitialize(LPVOID) { return kNotLoaded; }
void WINAPI No_OleUninitialize() {}
BSTR WINAPI No_SysAllocStringLen(const OLECHAR*, UINT) { return Fail<BSTR>(nullptr); }
void WINAPI No_SysFreeString(BSTR) {}
UINT WINAPI No_SysStringLen(BSTR) { return 0; }
void WINAPI No_VariantInit(VARIANTARG* v) {
    if (v) v->vt = VT_EMPTY;
}
BOOL WINAPI No_sndPlaySoundA(LPCSTR, UINT) { return Fail(FALSE); }
HRESULT WINAPI No_CreateStdAccessibleObject(HWND, LONG, REFIID, void** out) {
    if (out) *out = nullptr;
    return kNotLoaded;
}
LRESULT WINAPI No_LresultFromObject(REFIID, WPARAM, LPUNKNOWN) { return kNotLoaded; }
BOOL WINAPI No_ShellExecuteExA(SHELLEXECUTEINFOA*) { return Fail(FALSE); }
BOOL WINAPI No_ShellExecuteExW(SHELLEXECUTEINFOW*) { return Fail(FALSE); }
// bcrypt's calls fail as a missing entry point does.
const NTSTATUS kNoEntry = static_cast<NTSTATUS>(0xC0000139L);  // STATUS_ENTRYPOINT_NOT_FOUND
NTSTATUS WINAPI No_BCryptOpenAlgorithmProvider(BCRYPT_ALG_HANDLE* out, LPCWSTR, LPCWSTR, ULONG) {
    if (out) *out = nullptr;
    return kNoEntry;
}
NTSTATUS WINAPI No_BCryptCloseAlgorithmProvider(BCRYPT_ALG_HANDLE, ULONG) { return kNoEntry; }
NTSTATUS WINAPI No_BCryptGetProperty(BCRYPT_HANDLE, LPCWSTR, PUCHAR, ULONG, ULONG*, ULONG) {
    return kNoEntry;
}
NTSTATUS WINAPI No_BCryptCreateHash(BCRYPT_ALG_HANDLE, BCRYPT_HASH_HANDLE* out, PUCHAR, ULONG,
                                    PUCHAR, ULONG, ULONG) {
    if (out) *out = nullptr;
    return kNoEntry;
}
NTSTATUS WINAPI No_BCryptHashData(BCRYPT_HASH_HANDLE, PUCHAR, ULONG, ULONG) { return kNoEntry; }
NTSTATUS WINAPI No_BCryptFinishHash(BCRYPT_HASH_HANDLE, PUCHAR, ULONG, ULONG) { return kNoEntry; }
NTSTATUS WINAPI No_BCryptDestroyHash(BCRYPT_HASH_HANDLE) { return kNoEntry; }

struct Fallback {
    const char* name;
    FARPROC function;
};

// Built from the delay-import lists: a function without a fallback of its
// own type does not compile.
#define LAZY_IMPORT(name)                                                              \
    {#name, reinterpret_cast<FARPROC>(                                                 \
                reinterpret_cast<void*>(static_cast<decltype(&::name)>(&No_##name)))},
const Fallback kFallbacks[] = {
#include "lazy_imports.inc"
};
#undef LAZY_IMPORT

FARPROC WINAPI DelayLoadNotify(unsigned notify, PDelayLoadInfo info) {
    if (notify != dliNotePreLoadLibrary || info == nullptr) return nullptr;
    // Null lets the helper try its own LoadLibraryA, which the search lock
    // of start-up (DllSearch.h) keeps to the system folder as well.
    return reinterpret_cast<FARPROC>(syslib::LoadSystemLibrary(info->szDll));
}

FARPROC WINAPI DelayLoadFailed(unsigned notify, PDelayLoadInfo info) {
    if (info == nullptr) return nullptr;
    // A library that cannot be loaded is stood in for by this image, which
    // exports none of its functions: each comes back here as a missing
    // function and gets its fallback.
    if (notify == dliFailLoadLib) return reinterpret_cast<FARPROC>(GetModuleHandleA(nullptr));
    if (notify != dliFailGetProc || !info->dlp.fImportByName) return nullptr;
    for (const Fallback& fallback : kFallbacks)
        if (std::strcmp(fallback.name, info->dlp.szProcName) == 0) return fallback.function;
    return nullptr;
}

}  // namespace

// Newer Microsoft headers declare the hooks const; MinGW's does not. The
// headers' declarations give the definitions their C linkage.
extern "C" {
#if defined(_MSC_VER)
const PfnDliHook __pfnDliNotifyHook2 = DelayLoadNotify;
const PfnDliHook __pfnDliFailureHook2 = DelayLoadFailed;
#else
PfnDliHook __pfnDliNotifyHook2 = DelayLoadNotify;
PfnDliHook __pfnDliFailureHook2 = DelayLoadFailed;
#endif
}
