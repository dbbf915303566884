// Conversions between ANSI (CP_ACP) text, wide text and BSTRs, as every call
// into the client needs them.
#pragma once

#include <windows.h>
#include <oleauto.h>

#include <string>

// text to a new BSTR in *out (the caller's to free). S_OK; E_UNEXPECTED when
// the text cannot be measured; E_OUTOFMEMORY. *out is untouched on failure.
HRESULT AnsiToBstr(BSTR* out, const char* text);

// Whole-text conversions; the result stops at the first NUL of the
// converted text. Empty in, empty out.
std::wstring NarrowToWide(const std::string& text);
std::string WideToNarrow(const std::wstring& text);
// Reads the BSTR up to its first NUL; a null BSTR is the empty text.
std::string BstrToNarrow(BSTR text);
// A new BSTR owned by the caller; an empty text gives an empty, non-null
// BSTR. Null only when the allocation failed.
BSTR NarrowToBstr(const std::string& text);

// The same, raising _com_error(E_OUTOFMEMORY) instead of returning null.
BSTR NarrowToBstrOrThrow(const std::string& text);
