// The signed-message decoder and the signer serial number; see SignedMessage.h.
#include "SignedMessage.h"

#include "CertRecord.h"
#include "LibraryBindings.h"

namespace {

const DWORD kEncoding = X509_ASN_ENCODING | PKCS_7_ASN_ENCODING;

// The last error of a failed call as a failing HRESULT. CryptoAPI errors
// already are HRESULTs; plain Win32 codes get their HRESULT form.
HRESULT LastFailure() {
    const DWORD error = ::GetLastError();
    if (error == 0) return E_FAIL;
    if (static_cast<HRESULT>(error) < 0) return static_cast<HRESULT>(error);
    return HRESULT_FROM_WIN32(error);
}

}  // namespace

USignedMessage::USignedMessage() {
    g_Crypt32Library.Load();
}

USignedMessage::~USignedMessage() {
    CloseAll();
    g_Crypt32Library.Free();
}

void USignedMessage::CloseSigner() {
    m_pSignerInfo.reset();
    if (m_hMessageStore != nullptr) {
        g_Crypt32Library.CertCloseStore(m_hMessageStore, CERT_CLOSE_STORE_FORCE_FLAG);
        m_hMessageStore = nullptr;
    }
}

void USignedMessage::CloseAll() {
    CloseSigner();
    if (m_hMessage != nullptr) {
        g_Crypt32Library.CryptMsgClose(m_hMessage);
        m_hMessage = nullptr;
    }
}

HRESULT USignedMessage::Decode(const BYTE* data, DWORD length, DWORD expectedType) {
    CloseAll();  // a second Decode starts afresh
    m_hMessage =
        g_Crypt32Library.CryptMsgOpenToDecode(kEncoding, 0, 0, m_hProvider, nullptr, nullptr);
    if (m_hMessage == nullptr) return LastFailure();
    if (!g_Crypt32Library.CryptMsgUpdate(m_hMessage, data, length, TRUE)) return LastFailure();
    DWORD type = 0;
    DWORD size = sizeof(type);
    if (!g_Crypt32Library.CryptMsgGetParam(m_hMessage, CMSG_TYPE_PARAM, 0, &type, &size)) {
        return LastFailure();
    }
    if (type != expectedType) return CRYPT_E_UNEXPECTED_MSG_TYPE;
    return S_OK;
}

HRESULT USignedMessage::OpenSigner() {
    if (m_hMessage == nullptr) return E_UNEXPECTED;
    CloseSigner();  // a second OpenSigner starts afresh
    DWORD size = 0;
    if (!g_Crypt32Library.CryptMsgGetParam(m_hMessage, CMSG_SIGNER_CERT_INFO_PARAM, 0, nullptr,
                                           &size)) {
        return LastFailure();
    }
    if (size < sizeof(CERT_INFO)) return CRYPT_E_BAD_MSG;
    m_pSignerInfo.reset(static_cast<CERT_INFO*>(::HeapAlloc(::GetProcessHeap(), 0, size)));
    if (!m_pSignerInfo) return E_OUTOFMEMORY;
    if (!g_Crypt32Library.CryptMsgGetParam(m_hMessage, CMSG_SIGNER_CERT_INFO_PARAM, 0,
                                           m_pSignerInfo.get(), &size)) {
        const HRESULT hr = LastFailure();
        m_pSignerInfo.reset();
        return hr;
    }
    m_hMessageStore =
        g_Crypt32Library.CertOpenStore(CERT_STORE_PROV_MSG, kEncoding, m_hProvider, 0, m_hMessage);
    if (m_hMessageStore == nullptr) return LastFailure();
    return S_OK;
}

HRESULT USignedMessage::VerifySignature() {
    if (m_hMessage == nullptr || m_hMessageStore == nullptr || !m_pSignerInfo) {
        return E_UNEXPECTED;
    }
    PCCERT_CONTEXT signer = g_Crypt32Library.CertGetSubjectCertificateFromStore(
        m_hMessageStore, kEncoding, m_pSignerInfo.get());
    if (signer == nullptr) return E_FAIL;
    HRESULT hr = S_OK;
    if (!g_Crypt32Library.CryptMsgControl(m_hMessage, 0, CMSG_CTRL_VERIFY_SIGNATURE,
                                          signer->pCertInfo)) {
        hr = LastFailure();
    }
    g_Crypt32Library.CertFreeCertificateContext(signer);
    return hr;
}

bool GetSignerSerialNumber(const void* record, std::size_t recordBytes, char* text,
                           std::size_t size) {
    static const char kError[] = "Error";
    krcrypto::CertificateRecordView view;
    if (record == nullptr || !krcrypto::ParseCertificateRecord(record, recordBytes, &view)) {
        krcrypto::CopyTextCut(kError, text, size);
        return false;
    }
    if (text == nullptr || size == 0) return false;
    USignedMessage message;
    if (FAILED(message.Decode(view.content, static_cast<DWORD>(view.contentLength), CMSG_SIGNED)) ||
        FAILED(message.OpenSigner())) {
        krcrypto::CopyTextCut(kError, text, size);
        return false;
    }
    const CRYPT_INTEGER_BLOB& serial = message.SignerIdentity()->SerialNumber;
    krcrypto::CopyTextCut("", text, size);
    krcrypto::FormatSerialNumber(serial.pbData, serial.cbData, text, size);
    return true;
}
