// USignedMessage decodes a PKCS #7 SignedData message (the content of a
// certificate record or of an image's attribute certificate) with the
// CryptoAPI message functions, reached only through g_Crypt32Library, and
// checks that its signer 0 signed it with a certificate the message carries.
// It does not judge the certificate chain or trust.
#pragma once

#include <windows.h>
// after windows.h:
#include <wincrypt.h>

#include <cstddef>

#include "Scoped.h"

class USignedMessage {
public:
    // Takes a reference on the CRYPT32 binding (a failed load shows later,
    // as failing calls).
    USignedMessage();
    // Frees the signer identity, closes the store and the message, and drops
    // the binding reference; from any state.
    virtual ~USignedMessage();
    USignedMessage(const USignedMessage&) = delete;
    USignedMessage& operator=(const USignedMessage&) = delete;

    // Decodes one complete DER message; CRYPT_E_UNEXPECTED_MSG_TYPE when its
    // type is not `expectedType` (CMSG_SIGNED for every caller).
    HRESULT Decode(const BYTE* data, DWORD length, DWORD expectedType);
    // Reads the signer identity (issuer and serial number of signer 0) and
    // opens a store over the message's certificates. Needs Decode.
    HRESULT OpenSigner();
    // Verifies signer 0's signature with its certificate from the message;
    // E_FAIL when the message does not carry that certificate. Needs OpenSigner.
    HRESULT VerifySignature();

    // The signer identity after OpenSigner, else null. Owned by the decoder.
    const CERT_INFO* SignerIdentity() const { return m_pSignerInfo.get(); }

private:
    // Frees the signer identity and closes the message store.
    void CloseSigner();
    // CloseSigner, then closes the message.
    void CloseAll();

    HCERTSTORE m_hMessageStore = nullptr;
    scoped::HeapBlock<CERT_INFO> m_pSignerInfo;
    HCRYPTPROV m_hProvider = 0;          // always the default provider
    HCRYPTMSG m_hMessage = nullptr;
};

// Writes the serial number of the certificate that signed the record's
// message into `text` as upper-case hex, most significant byte first, cut to
// whole bytes that fit `size` characters with the NUL. `recordBytes` is the
// number of bytes that hold the record: a record whose dwLength is below its
// header or past those bytes is not decoded. When the message cannot be
// decoded, writes "Error" (cut to fit, NUL-terminated) and returns false.
bool GetSignerSerialNumber(const void* record, std::size_t recordBytes, char* text,
                           std::size_t size);
