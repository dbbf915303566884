// The CRYPT32 and IMAGEHLP bindings; see LibraryBindings.h.
#include "LibraryBindings.h"

#include "SystemLibrary.h"

namespace krcrypto {

BOOL LoadShared(ULibraryState& state) {
    if (++state.referenceCount == 1) {
        state.module = syslib::LoadSystemLibrary(state.name);
    }
    return state.module != nullptr;
}

BOOL FreeShared(ULibraryState& state) {
    // An unmatched Free must not drive the count below zero: the next Load
    // would then not load the library.
    if (state.referenceCount <= 0) return TRUE;
    if (--state.referenceCount == 0 && state.module != nullptr) {
        ::FreeLibrary(state.module);
        state.module = nullptr;
    }
    return TRUE;
}

}  // namespace krcrypto

namespace {

// Looks `name` up now; the call expression runs it or yields 0 (the last
// error then says why).
#define KR_CALL_LATE(state, name, ...)                                              \
    do {                                                                            \
        auto fn = syslib::FindFunction<decltype(&::name)>((state).module, #name); \
        if (fn == nullptr) return 0;                                                \
        return fn(__VA_ARGS__);                                                     \
    } while (0)

}  // namespace

UCrypt32Library g_Crypt32Library;
UImageHlpLibrary g_ImageHlpLibrary;

// Constant-initialised, so usable before and after the global objects live.
template <>
ULibraryState ULibraryBinding<UCrypt32Library>::s_state = {"CRYPT32.DLL", 0, nullptr};
template <>
ULibraryState ULibraryBinding<UImageHlpLibrary>::s_state = {"IMAGEHLP.DLL", 0, nullptr};

HCRYPTMSG UCrypt32Library::CryptMsgOpenToDecode(DWORD dwMsgEncodingType, DWORD dwFlags,
                                                DWORD dwMsgType, HCRYPTPROV_LEGACY hCryptProv,
                                                PCERT_INFO pRecipientInfo,
                                                PCMSG_STREAM_INFO pStreamInfo) {
    KR_CALL_LATE(s_state, CryptMsgOpenToDecode, dwMsgEncodingType, dwFlags, dwMsgType, hCryptProv,
                 pRecipientInfo, pStreamInfo);
}

BOOL UCrypt32Library::CryptMsgUpdate(HCRYPTMSG hCryptMsg, const BYTE* pbData, DWORD cbData,
                                     BOOL fFinal) {
    KR_CALL_LATE(s_state, CryptMsgUpdate, hCryptMsg, pbData, cbData, fFinal);
}

BOOL UCrypt32Library::CryptMsgGetParam(HCRYPTMSG hCryptMsg, DWORD dwParamType, DWORD dwIndex,
                                       void* pvData, DWORD* pcbData) {
    KR_CALL_LATE(s_state, CryptMsgGetParam, hCryptMsg, dwParamType, dwIndex, pvData, pcbData);
}

HCERTSTORE UCrypt32Library::CertOpenStore(LPCSTR lpszStoreProvider, DWORD dwEncodingType,
                                          HCRYPTPROV_LEGACY hCryptProv, DWORD dwFlags,
                                          const void* pvPara) {
    KR_CALL_LATE(s_state, CertOpenStore, lpszStoreProvider, dwEncodingType, hCryptProv, dwFlags,
                 pvPara);
}

PCCERT_CONTEXT UCrypt32Library::CertGetSubjectCertificateFromStore(HCERTSTORE hCertStore,
                                                                   DWORD dwCertEncodingType,
                                                                   PCERT_INFO pCertId) {
    KR_CALL_LATE(s_state, CertGetSubjectCertificateFromStore, hCertStore, dwCertEncodingType,
                 pCertId);
}

BOOL UCrypt32Library::CryptMsgControl(HCRYPTMSG hCryptMsg, DWORD dwFlags, DWORD dwCtrlType,
                                      const void* pvCtrlPara) {
    KR_CALL_LATE(s_state, CryptMsgControl, hCryptMsg, dwFlags, dwCtrlType, pvCtrlPara);
}

BOOL UCrypt32Library::CertFreeCertificateContext(PCCERT_CONTEXT pCertContext) {
    KR_CALL_LATE(s_state, CertFreeCertificateContext, pCertContext);
}

BOOL UCrypt32Library::CertCloseStore(HCERTSTORE hCertStore, DWORD dwFlags) {
    KR_CALL_LATE(s_state, CertCloseStore, hCertStore, dwFlags);
}

BOOL UCrypt32Library::CryptMsgClose(HCRYPTMSG hCryptMsg) {
    KR_CALL_LATE(s_state, CryptMsgClose, hCryptMsg);
}

BOOL UImageHlpLibrary::ImageEnumerateCertificates(HANDLE FileHandle, WORD TypeFilter,
                                                  PDWORD CertificateCount, PDWORD Indices,
                                                  DWORD IndexCount) {
    KR_CALL_LATE(s_state, ImageEnumerateCertificates, FileHandle, TypeFilter, CertificateCount,
                 Indices, IndexCount);
}

BOOL UImageHlpLibrary::ImageGetCertificateData(HANDLE FileHandle, DWORD CertificateIndex,
                                               LPWIN_CERTIFICATE Certificate,
                                               PDWORD RequiredLength) {
    KR_CALL_LATE(s_state, ImageGetCertificateData, FileHandle, CertificateIndex, Certificate,
                 RequiredLength);
}
