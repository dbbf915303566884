// Uses the late bindings the way keyrelay does, for the planted-library
// tests; the exit code tells the outcome:
//   kr_crypto_probe bindings RECORD SERIAL  decode RECORD and check its signature
//                                           and signer SERIAL, open the probe's own
//                                           image (0, or bits: 1 serial, 2 signature,
//                                           4 image)
//   kr_crypto_probe verify IMAGE            UImageVerifier on IMAGE (0 verified, 1 not)
//   kr_crypto_probe fallback                both libraries by their full system path
//   kr_crypto_probe naive                   bare LoadLibraryA of the three names (a
//                                           control: a planted copy is then taken)
#include <windows.h>

#include <cstring>
#include <string>

#include "CertRecord.h"
#include "Gui.h"
#include "ImageVerifier.h"
#include "LibraryBindings.h"
#include "SignedMessage.h"
#include "SystemLibrary.h"

int main(int argc, char** argv) {
    const std::string mode = argc >= 2 ? argv[1] : "";
    if (mode == "naive" || mode == "fallback") {
        int missing = 0;
        for (const char* name : {"CRYPT32.DLL", "IMAGEHLP.DLL", "wintrust.dll"}) {
            if (mode == "fallback" && name[0] == 'w') continue;
            HMODULE m = mode == "naive" ? LoadLibraryA(name) : krcrypto::LoadFromSystemDirectory(name);
            missing += m == nullptr;
            if (m) FreeLibrary(m);
        }
        return missing;
    }
    if (mode == "verify" && argc == 3) return UImageVerifier(argv[2]).Verify() ? 0 : 1;
    if (mode != "bindings" || argc != 4) return 100;

    const std::vector<unsigned char> record = testkit::ReadBytes(argv[2]);
    char serial[128];
    GetSignerSerialNumber(record.data(), record.size(), serial, sizeof(serial));
    HRESULT verify = E_FAIL;
    krcrypto::CertificateRecordView view;
    if (krcrypto::ParseCertificateRecord(record.data(), record.size(), &view)) {
        USignedMessage message;
        message.Decode(view.content, static_cast<DWORD>(view.contentLength), CMSG_SIGNED);
        message.OpenSigner();
        verify = message.VerifySignature();
    }
    g_ImageHlpLibrary.Load();
    char self[MAX_PATH] = "", found[MAX_PATH] = "";
    GetModuleFileNameA(nullptr, self, MAX_PATH);
    HANDLE image = g_ImageHlpLibrary.FindExecutableImage(self, nullptr, found);
    const bool opened = image != nullptr && image != INVALID_HANDLE_VALUE;
    if (opened) CloseHandle(image);
    g_ImageHlpLibrary.Free();
    return (std::strcmp(serial, argv[3]) ? 1 : 0) | (verify != S_OK ? 2 : 0) | (opened ? 0 : 4);
}
