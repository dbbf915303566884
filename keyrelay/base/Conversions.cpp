// Conversions between ANSI text, wide text and BSTRs, all in CP_ACP.
#include "Conversions.h"

#include <comdef.h>

#include <climits>

HRESULT AnsiToBstr(BSTR* out, const char* text) {
    if (!out || !text) return E_POINTER;
    const int n = ::MultiByteToWideChar(CP_ACP, 0, text, -1, nullptr, 0);
    if (n < 1) return E_UNEXPECTED;
    BSTR result = ::SysAllocStringLen(nullptr, static_cast<UINT>(n - 1));
    if (!result) return E_OUTOFMEMORY;
    ::MultiByteToWideChar(CP_ACP, 0, text, -1, result, n);
    result[n - 1] = L'\0';
    *out = result;
    return S_OK;
}

std::wstring NarrowToWide(const std::string& text) {
    if (text.empty() || text.size() > INT_MAX) return std::wstring();
    const int inLen = static_cast<int>(text.size());
    const int n = ::MultiByteToWideChar(CP_ACP, 0, text.data(), inLen, nullptr, 0);
    if (n < 1) return std::wstring();
    std::wstring result(static_cast<size_t>(n), L'\0');
    ::MultiByteToWideChar(CP_ACP, 0, text.data(), inLen, &result[0], n);
    const size_t nul = result.find(L'\0');
    if (nul != std::wstring::npos) result.resize(nul);
    return result;
}

std::string WideToNarrow(const std::wstring& text) {
    if (text.empty() || text.size() > INT_MAX) return std::string();
    const int inLen = static_cast<int>(text.size());
    const int n = ::WideCharToMultiByte(CP_ACP, 0, text.data(), inLen, nullptr, 0, nullptr, nullptr);
    if (n < 1) return std::string();
    std::string result(static_cast<size_t>(n), '\0');
    ::WideCharToMultiByte(CP_ACP, 0, text.data(), inLen, &result[0], n, nullptr, nullptr);
    const size_t nul = result.find('\0');
    if (nul != std::string::npos) result.resize(nul);
    return result;
}

std::string BstrToNarrow(BSTR text) {
    if (!text) return std::string();
    return WideToNarrow(std::wstring(text));  // up to the first NUL
}

BSTR NarrowToBstr(const std::string& text) {
    return ::SysAllocString(NarrowToWide(text).c_str());
}

BSTR NarrowToBstrOrThrow(const std::string& text) {
    BSTR result = NarrowToBstr(text);
    if (!result) _com_issue_error(E_OUTOFMEMORY);
    return result;
}
