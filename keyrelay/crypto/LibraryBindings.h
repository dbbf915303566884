// Process-wide late bindings of CRYPT32.DLL and IMAGEHLP.DLL. keyrelay links
// neither: a library is loaded from the system folder by its first user,
// freed by its last, and every function is looked up by name at each call,
// so a system without the library still starts the program.
//
// Wrappers take the function's own parameters and return its result. With
// the library not loaded they return 0 with last error ERROR_DLL_NOT_FOUND;
// with the function missing, 0 with the error GetProcAddress left. Callers
// hold a reference (Load) while they call. Single-threaded by design.
#pragma once

#include <windows.h>
// after windows.h:
#include <imagehlp.h>
#include <wincrypt.h>

// One process-wide reference count and module handle per library.
struct ULibraryState {
    const char* name;
    LONG referenceCount;
    HMODULE module;
};

namespace krcrypto {
// Counts a user; the first one loads the library. True when it is loaded.
BOOL LoadShared(ULibraryState& state);
// Drops a user; the last one frees the library. Always true.
BOOL FreeShared(ULibraryState& state);
}  // namespace krcrypto

// What every binding shares: Load, Free and the state of its library, one
// per Binding class whatever the number of its instances.
template <typename Binding>
class ULibraryBinding {
public:
    BOOL Load() { return krcrypto::LoadShared(s_state); }
    BOOL Free() { return krcrypto::FreeShared(s_state); }
    static LONG ReferenceCount() { return s_state.referenceCount; }
    static HMODULE Module() { return s_state.module; }

protected:
    static ULibraryState s_state;
};

class UCrypt32Library : public ULibraryBinding<UCrypt32Library> {
public:
    UCrypt32Library() = default;
    // Leaves the library alone: the process is ending.
    virtual ~UCrypt32Library() = default;
    UCrypt32Library(const UCrypt32Library&) = delete;
    UCrypt32Library& operator=(const UCrypt32Library&) = delete;

    HCRYPTMSG CryptMsgOpenToDecode(DWORD dwMsgEncodingType, DWORD dwFlags, DWORD dwMsgType,
                                   HCRYPTPROV_LEGACY hCryptProv, PCERT_INFO pRecipientInfo,
                                   PCMSG_STREAM_INFO pStreamInfo);
    BOOL CryptMsgUpdate(HCRYPTMSG hCryptMsg, const BYTE* pbData, DWORD cbData, BOOL fFinal);
    BOOL CryptMsgGetParam(HCRYPTMSG hCryptMsg, DWORD dwParamType, DWORD dwIndex, void* pvData,
                          DWORD* pcbData);
    HCERTSTORE CertOpenStore(LPCSTR lpszStoreProvider, DWORD dwEncodingType,
                             HCRYPTPROV_LEGACY hCryptProv, DWORD dwFlags, const void* pvPara);
    PCCERT_CONTEXT CertGetSubjectCertificateFromStore(HCERTSTORE hCertStore,
                                                      DWORD dwCertEncodingType, PCERT_INFO pCertId);
    BOOL CryptMsgControl(HCRYPTMSG hCryptMsg, DWORD dwFlags, DWORD dwCtrlType,
                         const void* pvCtrlPara);
    BOOL CertFreeCertificateContext(PCCERT_CONTEXT pCertContext);
    BOOL CertCloseStore(HCERTSTORE hCertStore, DWORD dwFlags);
    BOOL CryptMsgClose(HCRYPTMSG hCryptMsg);
};

class UImageHlpLibrary : public ULibraryBinding<UImageHlpLibrary> {
public:
    UImageHlpLibrary() = default;
    virtual ~UImageHlpLibrary() = default;
    UImageHlpLibrary(const UImageHlpLibrary&) = delete;
    UImageHlpLibrary& operator=(const UImageHlpLibrary&) = delete;

    BOOL ImageEnumerateCertificates(HANDLE FileHandle, WORD TypeFilter, PDWORD CertificateCount,
                                    PDWORD Indices, DWORD IndexCount);
    BOOL ImageGetCertificateData(HANDLE FileHandle, DWORD CertificateIndex,
                                 LPWIN_CERTIFICATE Certificate, PDWORD RequiredLength);
};

// The two libraries' states, defined with their names in LibraryBindings.cpp.
template <>
ULibraryState ULibraryBinding<UCrypt32Library>::s_state;
template <>
ULibraryState ULibraryBinding<UImageHlpLibrary>::s_state;

// The process's bindings.
extern UCrypt32Library g_Crypt32Library;
extern UImageHlpLibrary g_ImageHlpLibrary;
