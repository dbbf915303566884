// UImageVerifier checks that an image file carries an intact publisher
// signature: its first attribute certificate (read through IMAGEHLP) holds a
// PKCS #7 signature that verifies, and wintrust.dll's WinVerifyTrust accepts
// the file as published software. keyrelay runs it on its own image before
// it acts on anything the image carries.
#pragma once

#include <windows.h>
#include <wintrust.h>  // WIN_CERTIFICATE

#include <string>

#include "Scoped.h"

class UImageVerifier {
public:
    // Takes a reference on the IMAGEHLP binding for the verifier's life (a
    // failed load shows later as a failing check). With runningImage (the
    // wide path of the file the process was started from), the file that
    // the read stage opens must be that very file, or the check fails.
    explicit UImageVerifier(const char* path, const wchar_t* runningImage = nullptr);
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

    std::string m_path;
    bool m_pathGiven;
    std::wstring m_runningImage;  // empty: any file at m_path
    scoped::HeapBlock<WIN_CERTIFICATE> m_pSignatureBlock;  // null until read
    DWORD m_signatureBlockSize;
};
