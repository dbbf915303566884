// String-table loading for TString.
#include "TString.h"

#include "UException.h"

bool TString::LoadString(const UINT& id, const HINSTANCE& instance) {
    const int nMax = 512;
    // Each RT_STRING block holds sixteen strings.
    if (!::FindResourceA(instance, MAKEINTRESOURCEA(id / 16 + 1), MAKEINTRESOURCEA(6)))
        return false;
    char buffer[nMax];
    // At most nMax - 1 = 511 characters and the NUL fit.
    const int nLen = ::LoadStringA(instance, id, buffer, nMax);
    if (nLen < 1) return false;
    // A text that filled the buffer may have been cut: refuse it.
    if (nMax - 1 - nLen < 1)
        throw UException::AHResultException(
            "TString::LoadString error: 'nMax - nLen >= sizeof(TCHAR)' is false", E_FAIL);
    buffer[nLen] = '\0';
    assign(buffer, static_cast<size_t>(nLen));
    return true;
}
