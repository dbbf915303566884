// The own-image signature check; see ImageVerifier.h.
#include "ImageVerifier.h"

#include <wintrust.h>

#include "CertRecord.h"
#include "LibraryBindings.h"
#include "Scoped.h"
#include "SignedMessage.h"
#include "SystemLibrary.h"
#include "TrustAttempts.h"

namespace {

// The first form of the Authenticode trust interface: verify a file as
// published software without user interface, the subject a PE image file.
const GUID kPublishedSoftwareNoBadUi = {
    0xC6B2E8D0, 0xE005, 0x11CF, {0xA1, 0x34, 0x00, 0xC0, 0x4F, 0xD7, 0xBF, 0x43}};
const GUID kSubjectTypePeImage = {
    0x43C9A1E0, 0x8DA0, 0x11CF, {0x87, 0x36, 0x00, 0xAA, 0x00, 0xA4, 0x85, 0xEB}};

const DWORD kMaxCertificates = 20;

using WinVerifyTrustFn = decltype(&::WinVerifyTrust);  // the header's type, stdcall included

}  // namespace

UImageVerifier::UImageVerifier(const UImageFile& image)
    : m_image(image), m_signatureBlockSize(0) {
    g_ImageHlpLibrary.Load();
}

UImageVerifier::~UImageVerifier() {
    m_pSignatureBlock.reset();
    g_ImageHlpLibrary.Free();
}

bool UImageVerifier::Verify() {
    if (m_image.Handle() == INVALID_HANDLE_VALUE) return false;
    return ReadSignatureBlock() && SignatureVerifies() && TrustDecisionPasses();
}

bool UImageVerifier::ReadSignatureBlock() {
    m_pSignatureBlock.reset();
    m_signatureBlockSize = 0;
    const HANDLE image = m_image.Handle();
    DWORD count = 0;
    DWORD indices[kMaxCertificates] = {};
    if (!g_ImageHlpLibrary.ImageEnumerateCertificates(image, CERT_SECTION_TYPE_ANY, &count,
                                                      indices, kMaxCertificates) ||
        count == 0) {
        return false;
    }
    DWORD size = 0;
    g_ImageHlpLibrary.ImageGetCertificateData(image, indices[0], nullptr, &size);
    if (size < krcrypto::kRecordHeaderSize) return false;
    m_pSignatureBlock.reset(
        static_cast<WIN_CERTIFICATE*>(::HeapAlloc(::GetProcessHeap(), HEAP_ZERO_MEMORY, size)));
    if (!m_pSignatureBlock) return false;
    DWORD read = size;
    if (!g_ImageHlpLibrary.ImageGetCertificateData(image, indices[0], m_pSignatureBlock.get(),
                                                   &read)) {
        m_pSignatureBlock.reset();
        return false;
    }
    m_signatureBlockSize = size;
    return true;
}

bool UImageVerifier::SignatureVerifies() const {
    // The block's own dwLength is trusted only inside the bytes read.
    krcrypto::CertificateRecordView view;
    if (!krcrypto::ParseCertificateRecord(m_pSignatureBlock.get(), m_signatureBlockSize, &view)) {
        return false;
    }
    USignedMessage message;
    message.Decode(view.content, static_cast<DWORD>(view.contentLength), CMSG_SIGNED);
    message.OpenSigner();
    return message.VerifySignature() == S_OK;
}

bool UImageVerifier::TrustDecisionPasses() const {
    scoped::Module wintrust(syslib::LoadSystemLibrary("wintrust.dll"));
    if (!wintrust) return false;
    const WinVerifyTrustFn winVerifyTrust =
        syslib::FindFunction<WinVerifyTrustFn>(wintrust.get(), "WinVerifyTrust");
    if (winVerifyTrust == nullptr) return false;

    // The provider reads the file through the handle; the path only names it.
    WIN_TRUST_SUBJECT_FILE subject = {m_image.Handle(), m_image.Path().c_str()};
    GUID subjectType = kSubjectTypePeImage;
    WIN_TRUST_ACTDATA_CONTEXT_WITH_SUBJECT actionData = {nullptr, &subjectType, &subject};
    GUID action = kPublishedSoftwareNoBadUi;

    return krcrypto::AskTrustWithRetries(
        [&]() -> long {
            return winVerifyTrust(static_cast<HWND>(INVALID_HANDLE_VALUE), &action, &actionData);
        },
        [](unsigned ms) { ::Sleep(ms); });
}
