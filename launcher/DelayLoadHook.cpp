// The delay-imported system libraries (the common controls, OLE) are loaded
// through the system-folder loader when first called, as every other
// library the launcher loads late: a copy lying beside Setup.exe on the disc
// is never taken, nor a library that they import in turn. Linked into the
// program itself, so that it replaces the helper's empty default.
#include <windows.h>
// after windows.h:
#include <delayimp.h>

#include "SystemLibrary.h"

namespace {

FARPROC WINAPI DelayLoadNotify(unsigned notify, PDelayLoadInfo info) {
    if (notify != dliNotePreLoadLibrary || info == nullptr) return nullptr;
    // Null lets the helper try its own LoadLibraryA, which the search lock
    // of start-up (DllSearch.h) already keeps to the system folder.
    return reinterpret_cast<FARPROC>(syslib::LoadSystemLibrary(info->szDll));
}

}  // namespace

// Newer Microsoft headers declare the hook const; MinGW's does not. The
// headers' declaration gives the definition its C linkage.
extern "C" {
#if defined(_MSC_VER)
const PfnDliHook __pfnDliNotifyHook2 = DelayLoadNotify;
#else
PfnDliHook __pfnDliNotifyHook2 = DelayLoadNotify;
#endif
}
