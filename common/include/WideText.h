// Text of a code page (the ANSI code page unless told) as UTF-16, for the
// wide calls. Characters the code page cannot map become U+FFFD.
#pragma once

#include <windows.h>

#include <string>

namespace widetext {

inline std::wstring Widen(const std::string& text, UINT codePage = CP_ACP) {
    if (text.empty()) return std::wstring();
    const int length = static_cast<int>(text.size());
    const int n = MultiByteToWideChar(codePage, 0, text.data(), length, nullptr, 0);
    if (n <= 0) return std::wstring();
    std::wstring wide(static_cast<size_t>(n), L'\0');
    MultiByteToWideChar(codePage, 0, text.data(), length, &wide[0], n);
    return wide;
}

}  // namespace widetext
