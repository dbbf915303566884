// System-folder library loading; see SystemLibrary.h.
#include "SystemLibrary.h"

#include <cstring>

namespace krcrypto {

namespace {

#ifndef LOAD_LIBRARY_SEARCH_SYSTEM32
#define LOAD_LIBRARY_SEARCH_SYSTEM32 0x00000800
#endif

// The flag exists where AddDllDirectory does (Windows 8, or Windows 7 with
// KB2533623); older systems reject it with ERROR_INVALID_PARAMETER.
bool SystemSearchFlagSupported() {
    HMODULE kernel = ::GetModuleHandleA("kernel32.dll");
    return kernel != nullptr && ::GetProcAddress(kernel, "AddDllDirectory") != nullptr;
}

// A file name without any folder part.
bool IsPlainName(const char* name) {
    return name != nullptr && *name != '\0' && std::strpbrk(name, "\\/:") == nullptr;
}

}  // namespace

HMODULE LoadSystemLibrary(const char* name) {
    if (!IsPlainName(name)) {
        ::SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    if (SystemSearchFlagSupported()) {
        return ::LoadLibraryExA(name, nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
    }
    return LoadFromSystemDirectory(name);
}

HMODULE LoadFromSystemDirectory(const char* name) {
    if (!IsPlainName(name)) {
        ::SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    char path[MAX_PATH];
    const UINT dirLength = ::GetSystemDirectoryA(path, MAX_PATH);
    const size_t nameLength = std::strlen(name);
    if (dirLength == 0 || dirLength + 1 + nameLength >= MAX_PATH) {
        ::SetLastError(ERROR_DLL_NOT_FOUND);
        return nullptr;
    }
    size_t pos = dirLength;
    if (path[pos - 1] != '\\') path[pos++] = '\\';
    std::memcpy(path + pos, name, nameLength + 1);
    // The library's own imports are then looked for in its folder first.
    return ::LoadLibraryExA(path, nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
}

FARPROC FindExport(HMODULE module, const char* name) {
    if (module == nullptr) {
        ::SetLastError(ERROR_DLL_NOT_FOUND);
        return nullptr;
    }
    return ::GetProcAddress(module, name);
}

}  // namespace krcrypto
