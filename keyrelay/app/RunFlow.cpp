// The run of the certificate tool. Each step that fails throws its message
// id; the outcome step turns the id into the log record, the message box and
// the exit code.
#include "RunFlow.h"

#include "CertRecord.h"
#include "ClientComponents.h"
#include "MessageText.h"
#include "Scoped.h"

namespace keyrelay {

namespace {

const char kUnknownError[] = "Unknown error. (999)";
const char kFallbackCaption[] = "Certificate Manager";
const char kVendorPath[] = "/com/brenvik-solvane";

const size_t kNameChars = 256;
const size_t kActionChars = 32;
const size_t kTargetChars = 512;
const size_t kCaptionChars = 128;

// Loads a string-table text into buffer; false when the id has no text.
bool LoadText(HINSTANCE instance, unsigned id, char* buffer, int chars) {
    buffer[0] = '\0';
    return LoadStringA(instance, id, buffer, chars) > 0;
}

// What the run carries from step to step; freed in the outcome step in the
// order manager, certificate, target, root target.
struct RunState {
    unsigned userMessageId = kMsgUserEarlyFailure;
    char relationshipName[kNameChars] = {};
    char action[kActionChars] = {};
    char targetPath[kTargetChars] = {};
    scoped::ComPtr<ICertificateManager> manager;
    scoped::Bstr certificate;
    scoped::Bstr target;
    scoped::Bstr rootTarget;

    void Release() {
        manager.reset();
        certificate.reset();
        target.reset();
        rootTarget.reset();
    }
};

typedef HRESULT (STDMETHODCALLTYPE ICertificateManager::*CertificateRequest)(BSTR, long, BSTR);

// Sends one request for the target and, for the vendor path, for "/" too.
void Request(RunState& run, CertificateRequest request, unsigned failureId) {
    ICertificateManager* manager = run.manager.get();
    if (FAILED((manager->*request)(run.target.get(), 0, run.certificate.get())))
        throw failureId;
    if (run.rootTarget &&
        FAILED((manager->*request)(run.rootTarget.get(), 0, run.certificate.get())))
        throw failureId;
}

// Steps 3 to 11 of the run: everything that can fail with a message id.
void RunSteps(HINSTANCE instance, RunState& run, const RunAllocators& allocate) {
    LoadText(instance, kMsgRelationshipWord, run.relationshipName, kNameChars);
    // One open handle on the file that holds the running image serves every
    // stage of the check and the payload, and keeps the file from being
    // written, renamed or deleted until the steps end.
    UImageFile image;
    if (!image.OpenRunning(instance)) throw static_cast<unsigned>(kMsgToolDamaged);
    // The verifier (and its library reference) lives to the end of the steps.
    UImageVerifier verifier(image);
    if (!verifier.Verify()) throw static_cast<unsigned>(kMsgToolDamaged);

    krcrypto::ByteRange certificate;
    if (!image.Payload(kResCertificate, &certificate))
        throw static_cast<unsigned>(kMsgNoCertificate);
    // The record's own length decides how much is handed on; a length that
    // does not fit the resource means the certificate cannot be had.
    krcrypto::CertificateRecordView record;
    if (!krcrypto::ParseCertificateRecord(certificate.data, certificate.size, &record))
        throw static_cast<unsigned>(kMsgNoCertificate);
    run.certificate.reset(
        allocate.certificate(reinterpret_cast<const char*>(certificate.data), record.length));
    if (!run.certificate) throw static_cast<unsigned>(kMsgCertificateAlloc);

    krcrypto::ByteRange action;
    if (!image.Payload(kResAction, &action)) throw static_cast<unsigned>(kMsgNoAction);
    CopyResourceText(action.data, action.size, run.action, kActionChars);

    krcrypto::ByteRange target;
    if (!image.Payload(kResTarget, &target)) throw static_cast<unsigned>(kMsgNoTarget);
    CopyResourceText(target.data, target.size, run.targetPath, kTargetChars);
    if (FAILED(allocate.target(run.target.put(), run.targetPath)) || !run.target)
        throw static_cast<unsigned>(kMsgTargetAlloc);

    GetRelationshipCompanyName(instance, run.target.get(), run.relationshipName, kNameChars);

    if (lstrcmpA(run.targetPath, kVendorPath) == 0) {
        if (FAILED(AnsiToBstr(run.rootTarget.put(), "/"))) run.rootTarget.reset();
    }

    if (FAILED(CoCreateInstance(CLSID_CertificateManager, nullptr, kClientClassContext,
                                IID_ICertificateManager, run.manager.put_void())) ||
        !run.manager)
        throw static_cast<unsigned>(kMsgNoCertificateManager);

    if (lstrcmpA(run.action, "add") == 0) {
        run.userMessageId = kMsgUserAddFailed;
        Request(run, &ICertificateManager::AddCertificate, kMsgAddFailed);
    } else if (lstrcmpA(run.action, "delete") == 0) {
        run.userMessageId = kMsgUserDeleteFailed;
        Request(run, &ICertificateManager::DeleteCertificate, kMsgDeleteFailed);
    } else if (lstrcmpA(run.action, "revoke") == 0) {
        run.userMessageId = kMsgUserRevokeFailed;
        Request(run, &ICertificateManager::RevokeCertificate, kMsgRevokeFailed);
    } else {
        throw static_cast<unsigned>(kMsgUnknownAction);
    }

    RecordHistory(run.certificate.get(), run.action, run.targetPath);
}

}  // namespace

bool IsSilentCommandLine(const char* commandLine) {
    if (!commandLine) return false;
    return lstrcmpiA(commandLine, "/s") == 0 || lstrcmpiA(commandLine, "-s") == 0;
}

BSTR AllocateBytes(const char* bytes, UINT length) {
    return SysAllocStringByteLen(bytes, length);
}

int RunKeyRelay(HINSTANCE instance, const char* commandLine, const RunAllocators& allocators) {
    const bool showResult = !IsSilentCommandLine(commandLine);

    // Declared before the run's state, so that every interface and string is
    // released before CoUninitialize, also when an exception passes.
    scoped::ComApartment com;
    if (FAILED(com.result())) return -1;

    unsigned resultId = kMsgSuccess;
    RunState run;
    try {
        RunSteps(instance, run, allocators);
    } catch (unsigned id) {
        resultId = id;
    } catch (...) {
        resultId = kMsgUpdateFailed;
    }
    run.Release();
    const bool succeeded = resultId == kMsgSuccess;

    char message[kMessageChars];
    if (!LoadText(instance, resultId, message, kMessageChars))
        lstrcpynA(message, kUnknownError, kMessageChars);
    SubstituteRelationship(message, kMessageChars, run.relationshipName);
    LogRunResult(instance, run.relationshipName, message, static_cast<int>(resultId + 50),
                 !succeeded);

    if (showResult) {
        if (!LoadText(instance, succeeded ? kMsgSuccessText : run.userMessageId, message,
                      kMessageChars))
            lstrcpynA(message, kUnknownError, kMessageChars);
        SubstituteRelationship(message, kMessageChars, run.relationshipName);
        char caption[kCaptionChars];
        if (!LoadText(instance, succeeded ? kMsgSuccessCaption : kMsgFailureCaption, caption,
                      kCaptionChars))
            lstrcpynA(caption, kFallbackCaption, kCaptionChars);
        MessageBoxA(nullptr, message, caption, succeeded ? MB_OK : MB_OK | MB_ICONEXCLAMATION);
    }
    return succeeded ? 0 : -1;
}

}  // namespace keyrelay
