// Locks the DLL search of a program to the system folder. Called first thing
// in WinMain: a library that a system DLL loads later by bare name (uxtheme,
// a signature provider ...) must never come from the program's own folder,
// which may be a downloads folder or removable media. Header-only, like
// Scoped.h: each program compiles its own copy.
#pragma once

#include <windows.h>

namespace dllsearch {

// SetDefaultDllDirectories is looked up at run time: systems without it
// (before the update that added it) still start, with only the current
// folder taken out of the search.
inline void RestrictToSystemFolder() {
    using SetDefaultDllDirectoriesFn = BOOL(WINAPI*)(DWORD);
    HMODULE kernel32 = GetModuleHandleA("kernel32.dll");
    auto setDefault = kernel32 ? reinterpret_cast<SetDefaultDllDirectoriesFn>(
                                     reinterpret_cast<void*>(
                                         GetProcAddress(kernel32, "SetDefaultDllDirectories")))
                               : nullptr;
    if (setDefault) setDefault(LOAD_LIBRARY_SEARCH_SYSTEM32);
    SetDllDirectoryA("");  // takes the current folder out of the search path
}

}  // namespace dllsearch
