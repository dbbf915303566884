// The tool's narrow (ANSI code page) string, with loading from the string
// table of a module.
#pragma once

#include <windows.h>

#include <string>

// windows.h maps LoadString to LoadStringA/W; here it is our member's name.
#ifdef LoadString
#undef LoadString
#endif

class TString : public std::string {
public:
    using std::string::string;
    TString() = default;
    TString(const std::string& s) : std::string(s) {}

    // Replaces the content with string id of module instance. Returns false,
    // leaving the content as it was, when the table block or the string is
    // missing or empty; throws UException::AHResultException (E_FAIL) when the
    // text has 511 characters or more and may therefore have been cut.
    bool LoadString(const UINT& id, const HINSTANCE& instance);
};
