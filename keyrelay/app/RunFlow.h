// The whole run of the certificate tool, from the silent switch to the exit
// code: own-image check, payload resources, client requests, history, log
// and the message box.
#pragma once

#include <windows.h>
#include <oleauto.h>

#include "Conversions.h"
#include "Resource.h"

namespace keyrelay {

// String-table ids of the run's texts (Resource.h, which strings.rc shares).
enum MessageId : unsigned {
    kMsgToolDamaged = IDS_TOOL_DAMAGED,
    kMsgNoAction = IDS_NO_ACTION,
    kMsgNoCertificate = IDS_NO_CERTIFICATE,
    kMsgCertificateAlloc = IDS_CERTIFICATE_ALLOC,
    kMsgNoTarget = IDS_NO_TARGET,
    kMsgTargetAlloc = IDS_TARGET_ALLOC,
    kMsgNoCertificateManager = IDS_NO_CERTIFICATE_MANAGER,
    kMsgUnknownAction = IDS_UNKNOWN_ACTION,
    kMsgAddFailed = IDS_ADD_FAILED,
    kMsgDeleteFailed = IDS_DELETE_FAILED,
    kMsgRevokeFailed = IDS_REVOKE_FAILED,
    kMsgSuccessText = IDS_SUCCESS_TEXT,
    kMsgSuccessCaption = IDS_SUCCESS_CAPTION,
    kMsgUpdateFailed = IDS_UPDATE_FAILED,
    kMsgFailureCaption = IDS_FAILURE_CAPTION,
    kMsgRelationshipWord = IDS_RELATIONSHIP_WORD,
    kMsgUserAddFailed = IDS_USER_ADD_FAILED,
    kMsgUserDeleteFailed = IDS_USER_DELETE_FAILED,
    kMsgUserRevokeFailed = IDS_USER_REVOKE_FAILED,
    kMsgUserEarlyFailure = IDS_USER_EARLY_FAILURE,
    kMsgSuccess = IDS_SUCCESS,
};

// Resource ids of the payload (RT_RCDATA, language 1033), read from the
// bytes of the verified file.
enum PayloadId : WORD {
    kResAction = IDR_ACTION,
    kResTarget = IDR_TARGET,
    kResCertificate = IDR_CERTIFICATE,
};

// True when the command line (after the program name) asks for a silent run.
bool IsSilentCommandLine(const char* commandLine);

// SysAllocStringByteLen as a plain function.
BSTR AllocateBytes(const char* bytes, UINT length);

// How the run makes its certificate and target strings. Test builds replace
// one to reach its failure; a release uses these.
struct RunAllocators {
    BSTR (*certificate)(const char* bytes, UINT length) = AllocateBytes;
    HRESULT (*target)(BSTR* out, const char* text) = AnsiToBstr;
};

// Runs the tool once; returns the process exit code (0 success, -1 failure).
int RunKeyRelay(HINSTANCE instance, const char* commandLine,
                const RunAllocators& allocators = RunAllocators());

}  // namespace keyrelay
