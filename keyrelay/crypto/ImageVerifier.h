// UImageVerifier checks that an image file carries an intact publisher
// signature: its first attribute certificate (read through IMAGEHLP) holds a
// PKCS #7 signature that verifies, and wintrust.dll's WinVerifyTrust accepts
// the file as published software. Every stage reads the one open handle of
// a UImageFile. keyrelay runs it on its own image before it acts on
// anything the image carries.
#pragma once

#include <windows.h>
#include <wintrust.h>  // WIN_CERTIFICATE

#include "ImageFile.h"
#include "Scoped.h"

class UImageVerifier {
public:
    // Takes a reference on the IMAGEHLP binding for the verifier's life (a
    // failed load shows later as a failing check). The image file must stay
    // open while the verifier lives; one that is not open fails the check.
    explicit UImageVerifier(const UImageFile& image);
    virtual ~UImageVerifier();
    UImageVerifier(const UImageVerifier&) = delete;
    UImageVerifier& operator=(const UImageVerifier&) = delete;

    // True only when the three stages pass, in order: read the signature
    // block, verify its signature, ask for a trust decision (up to 101
    // attempts 50 ms apart). Never throws, shows nothing.
    virtual bool Verify();

private:
    bool ReadSignatureBlock();
    bool SignatureVerifies() const;
    bool TrustDecisionPasses() const;

    const UImageFile& m_image;
    scoped::HeapBlock<WIN_CERTIFICATE> m_pSignatureBlock;  // null until read
    DWORD m_signatureBlockSize;
};
