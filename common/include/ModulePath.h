// A module's own path, wide: a program may lie in a folder named outside the
// ANSI code page or deeper than MAX_PATH, where the ANSI call maps or cuts
// the name. Header-only, like Scoped.h.
#pragma once

#include <windows.h>

#include <string>

namespace modulepath {

// GetModuleFileNameW with a buffer grown until the path fits; empty when it
// cannot be had. Throws only when memory runs out.
inline std::wstring ModulePathW(HMODULE module) {
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        const DWORD n = ::GetModuleFileNameW(module, &path[0], static_cast<DWORD>(path.size()));
        if (n == 0) return std::wstring();
        if (n < path.size()) return path.substr(0, n);
        if (path.size() >= 32768) return std::wstring();  // no Windows path is longer
        path.resize(path.size() * 2);
    }
}

}  // namespace modulepath
