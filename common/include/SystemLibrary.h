// Loading a Windows library at run time from the system folder only, for
// every program that loads one late. A program started from a downloads
// folder or from removable media must never run a DLL that someone placed
// beside it: neither the library itself nor a library that it imports in
// turn. Header-only, like Scoped.h: each program compiles its own copy.
#pragma once

#include <windows.h>

#include <cstring>
#include <vector>

namespace syslib {

#ifndef LOAD_LIBRARY_SEARCH_SYSTEM32
#define LOAD_LIBRARY_SEARCH_SYSTEM32 0x00000800
#endif

// The flag exists where AddDllDirectory does (Windows 8, or Windows 7 with
// KB2533623); older systems reject it with ERROR_INVALID_PARAMETER.
inline bool SystemSearchFlagSupported() {
    HMODULE kernel = ::GetModuleHandleA("kernel32.dll");
    return kernel != nullptr && ::GetProcAddress(kernel, "AddDllDirectory") != nullptr;
}

// A file name without any folder part.
inline bool IsPlainName(const char* name) {
    return name != nullptr && *name != '\0' && std::strpbrk(name, "\\/:") == nullptr;
}

// The second way alone: the full path in the system folder, with the search
// for the library's own imports starting in that folder
// (LOAD_WITH_ALTERED_SEARCH_PATH), not in the program's. Used where the
// system lacks LOAD_LIBRARY_SEARCH_SYSTEM32; callable for tests. The path is
// wide, so a system folder outside the ANSI code page still works.
inline HMODULE LoadFromSystemDirectory(const char* name) {
    if (!IsPlainName(name)) {
        ::SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    const UINT needed = ::GetSystemDirectoryW(nullptr, 0);
    if (needed == 0) return nullptr;
    std::vector<wchar_t> path(needed + 1 + std::strlen(name) + 1);
    UINT length = ::GetSystemDirectoryW(path.data(), needed);
    if (length == 0 || length >= needed) {
        ::SetLastError(ERROR_DLL_NOT_FOUND);
        return nullptr;
    }
    if (path[length - 1] != L'\\') path[length++] = L'\\';
    // System library names are ASCII; anything else is not one of them.
    for (const char* c = name; *c != '\0'; ++c) {
        if (static_cast<unsigned char>(*c) >= 0x80) {
            ::SetLastError(ERROR_INVALID_PARAMETER);
            return nullptr;
        }
        path[length++] = static_cast<wchar_t>(*c);
    }
    path[length] = L'\0';
    return ::LoadLibraryExW(path.data(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
}

// LoadLibraryExA(name, LOAD_LIBRARY_SEARCH_SYSTEM32) where the system knows
// that flag (the library's imports then come from the system folder too),
// else LoadFromSystemDirectory. Only a plain file name is accepted. Null on
// failure, with the last error set. The caller owns the module.
inline HMODULE LoadSystemLibrary(const char* name) {
    if (!IsPlainName(name)) {
        ::SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    if (SystemSearchFlagSupported())
        return ::LoadLibraryExA(name, nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
    return LoadFromSystemDirectory(name);
}

// Looks an export up; with a null module sets ERROR_DLL_NOT_FOUND. The
// result is null when either fails (the last error says why).
inline FARPROC FindExport(HMODULE module, const char* name) {
    if (module == nullptr) {
        ::SetLastError(ERROR_DLL_NOT_FOUND);
        return nullptr;
    }
    return ::GetProcAddress(module, name);
}

// FindExport cast to the function's own pointer type.
template <typename Fn>
Fn FindFunction(HMODULE module, const char* name) {
    return reinterpret_cast<Fn>(reinterpret_cast<void*>(FindExport(module, name)));
}

}  // namespace syslib
