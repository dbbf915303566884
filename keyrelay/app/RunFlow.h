// The whole run of the certificate tool, from the silent switch to the exit
// code: own-image check, payload resources, client requests, history, log
// and the message box.
#pragma once

#include <windows.h>
#include <oleauto.h>

#include "Conversions.h"

namespace keyrelay {

// String-table ids of the run's texts.
enum MessageId : unsigned {
    kMsgToolDamaged = 5,
    kMsgNoAction = 6,
    kMsgNoCertificate = 7,
    kMsgCertificateAlloc = 8,
    kMsgNoTarget = 9,
    kMsgTargetAlloc = 10,
    kMsgNoCertificateManager = 11,
    kMsgUnknownAction = 12,
    kMsgAddFailed = 13,
    kMsgDeleteFailed = 14,
    kMsgRevokeFailed = 15,
    kMsgSuccessText = 16,
    kMsgSuccessCaption = 17,
    kMsgUpdateFailed = 18,
    kMsgFailureCaption = 19,
    kMsgRelationshipWord = 20,
    kMsgUserAddFailed = 22,
    kMsgUserDeleteFailed = 23,
    kMsgUserRevokeFailed = 24,
    kMsgUserEarlyFailure = 25,
    kMsgSuccess = 26,
};

// Resource ids of the payload (RT_RCDATA, language 1033), read from the
// bytes of the verified file.
enum PayloadId : WORD {
    kResAction = 100,
    kResTarget = 200,
    kResCertificate = 300,
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
