// The running image's path and file identity; see OwnImagePath.h.
#include "OwnImagePath.h"

#include <cstring>
#include <cwchar>
#include <vector>

#include "ModulePath.h"
#include "Scoped.h"

namespace krcrypto {

namespace {

// The wide path in the ANSI code page, only when every character has its own
// exact form there. A UTF-8 code page spells every character; it takes
// neither the best-fit flag nor the default-character report.
bool ExactAnsiForm(const std::wstring& wide, std::string* ansi) {
    const bool utf8 = ::GetACP() == CP_UTF8;
    const DWORD flags = utf8 ? WC_ERR_INVALID_CHARS : WC_NO_BEST_FIT_CHARS;
    BOOL usedDefault = FALSE;
    BOOL* reportDefault = utf8 ? nullptr : &usedDefault;
    const int wideLength = static_cast<int>(wide.size());
    const int length = ::WideCharToMultiByte(CP_ACP, flags, wide.data(), wideLength, nullptr, 0,
                                             nullptr, reportDefault);
    if (length <= 0 || usedDefault) return false;
    std::vector<char> buffer(static_cast<size_t>(length));
    if (::WideCharToMultiByte(CP_ACP, flags, wide.data(), wideLength, buffer.data(), length,
                              nullptr, reportDefault) != length ||
        usedDefault)
        return false;
    ansi->assign(buffer.data(), buffer.size());
    return true;
}

// The ANSI path read back as the trust stage reads it.
bool ReadsBackAs(const std::string& ansi, const std::wstring& wide) {
    const int ansiLength = static_cast<int>(ansi.size());
    const int length = ::MultiByteToWideChar(CP_ACP, 0, ansi.data(), ansiLength, nullptr, 0);
    if (length <= 0 || static_cast<size_t>(length) != wide.size()) return false;
    std::vector<wchar_t> buffer(static_cast<size_t>(length));
    return ::MultiByteToWideChar(CP_ACP, 0, ansi.data(), ansiLength, buffer.data(), length) ==
               length &&
           std::wmemcmp(buffer.data(), wide.data(), wide.size()) == 0;
}

}  // namespace

bool GetOwnImagePath(HMODULE module, char* ansi, DWORD ansiChars, std::wstring* wide) {
    if (ansi == nullptr || ansiChars == 0 || wide == nullptr) return false;
    // A path that fills the buffer was cut (with or without its NUL).
    const DWORD ansiLength = ::GetModuleFileNameA(module, ansi, ansiChars);
    ansi[ansiChars - 1] = '\0';
    if (ansiLength == 0 || ansiLength >= ansiChars) return false;
    try {
        std::string exact;
        *wide = modulepath::ModulePathW(module);
        return !wide->empty() && ExactAnsiForm(*wide, &exact) &&
               exact.size() == ansiLength && std::memcmp(exact.data(), ansi, ansiLength) == 0 &&
               ReadsBackAs(exact, *wide);
    } catch (...) {
        return false;  // no memory for the buffers
    }
}

bool IsSameFile(HANDLE file, const std::wstring& path) {
    // Opened for its attributes only, sharing everything: the running image
    // is open elsewhere already.
    scoped::FileHandle other(::CreateFileW(path.c_str(), FILE_READ_ATTRIBUTES,
                                           FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                           nullptr, OPEN_EXISTING, 0, nullptr));
    if (!other) return false;
    BY_HANDLE_FILE_INFORMATION first = {};
    BY_HANDLE_FILE_INFORMATION second = {};
    return ::GetFileInformationByHandle(file, &first) &&
           ::GetFileInformationByHandle(other.get(), &second) &&
           first.dwVolumeSerialNumber == second.dwVolumeSerialNumber &&
           first.nFileIndexHigh == second.nFileIndexHigh &&
           first.nFileIndexLow == second.nFileIndexLow;
}

}  // namespace krcrypto
