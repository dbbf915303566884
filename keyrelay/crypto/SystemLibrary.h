// Loading a Windows library by name from the system folder only, never from
// the program's own folder or the search path: a tool started from a
// downloads folder must not run a DLL that someone placed beside it.
#pragma once

#include <windows.h>

namespace krcrypto {

// LoadLibraryExA(name, LOAD_LIBRARY_SEARCH_SYSTEM32) where the system knows
// that flag, else the full path in GetSystemDirectoryA. Null on failure,
// with the last error set.
HMODULE LoadSystemLibrary(const char* name);

// The second way alone: the full path in the system folder. Used by
// LoadSystemLibrary on systems without the flag; callable for tests.
HMODULE LoadFromSystemDirectory(const char* name);

// Looks an export up; with a null module sets ERROR_DLL_NOT_FOUND.
// The result is null when either fails (the last error says why).
FARPROC FindExport(HMODULE module, const char* name);

// FindExport cast to the function's own pointer type.
template <typename Fn>
Fn FindFunction(HMODULE module, const char* name) {
    return reinterpret_cast<Fn>(reinterpret_cast<void*>(FindExport(module, name)));
}

}  // namespace krcrypto
