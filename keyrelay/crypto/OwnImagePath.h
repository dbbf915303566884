// The path of the running image, in the two forms the own-image check needs:
// wide (the file's real name) and ANSI (what IMAGEHLP and the trust stage
// take). GetModuleFileNameA silently cuts a long path and maps a name
// outside the ANSI code page to its nearest letters, so its result may name
// another file; here it is kept only when it names the same one.
#pragma once

#include <windows.h>

#include <string>

namespace krcrypto {

// Fills ansi (ansiChars chars, NUL-terminated) with GetModuleFileNameA and
// *wide with GetModuleFileNameW (a growing buffer). False when either fails,
// the ANSI path is cut, or it is not exactly the wide path in the ANSI code
// page (no best-fit letter, no default character, and back to the same wide
// path).
bool GetOwnImagePath(HMODULE module, char* ansi, DWORD ansiChars, std::wstring* wide);

// True when file is the same file as the one at path (volume serial number
// and file index); false when either cannot be read.
bool IsSameFile(HANDLE file, const std::wstring& path);

}  // namespace krcrypto
