// Text of a code page (the ANSI code page unless told) as UTF-16, for the
// wide calls, and back. Characters the code page cannot map become U+FFFD
// one way and the code page's default character the other.
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

inline std::string Narrow(const std::wstring& text, UINT codePage = CP_ACP) {
    if (text.empty()) return std::string();
    const int length = static_cast<int>(text.size());
    const int n =
        WideCharToMultiByte(codePage, 0, text.data(), length, nullptr, 0, nullptr, nullptr);
    if (n <= 0) return std::string();
    std::string narrow(static_cast<size_t>(n), '\0');
    WideCharToMultiByte(codePage, 0, text.data(), length, &narrow[0], n, nullptr, nullptr);
    return narrow;
}

}  // namespace widetext
