// Uses the late bindings the way keyrelay does, for the planted-DLL test:
//   kr_crypto_probe bindings RECORD OUT  decode RECORD, check the signature,
//                                        open the probe's own image; results to OUT
//   kr_crypto_probe verify IMAGE OUT     UImageVerifier on IMAGE; "verify=0|1" to OUT
//   kr_crypto_probe fallback             both libraries by their full system path
//   kr_crypto_probe naive                bare LoadLibraryA of both names (a
//                                        control: a planted copy is then taken)
#include <windows.h>

#include <cstdio>
#include <cstring>
#include <fstream>
#include <iterator>
#include <vector>

#include "CertRecord.h"
#include "ImageVerifier.h"
#include "LibraryBindings.h"
#include "SignedMessage.h"
#include "SystemLibrary.h"

int main(int argc, char** argv) {
    if (argc >= 2 && std::strcmp(argv[1], "naive") == 0) {
        HMODULE a = LoadLibraryA("CRYPT32.DLL");
        HMODULE b = LoadLibraryA("IMAGEHLP.DLL");
        HMODULE c = LoadLibraryA("wintrust.dll");
        if (a) FreeLibrary(a);
        if (b) FreeLibrary(b);
        if (c) FreeLibrary(c);
        return 0;
    }
    if (argc >= 2 && std::strcmp(argv[1], "fallback") == 0) {
        HMODULE a = krcrypto::LoadFromSystemDirectory("CRYPT32.DLL");
        HMODULE b = krcrypto::LoadFromSystemDirectory("IMAGEHLP.DLL");
        const int result = a != nullptr && b != nullptr ? 0 : 1;
        if (a) FreeLibrary(a);
        if (b) FreeLibrary(b);
        return result;
    }
    if (argc < 4) return 2;
    if (std::strcmp(argv[1], "verify") == 0) {
        const bool verified = UImageVerifier(argv[2]).Verify();
        FILE* out = std::fopen(argv[3], "wb");
        if (out == nullptr) return 3;
        std::fprintf(out, "verify=%d\n", verified ? 1 : 0);
        std::fclose(out);
        return 0;
    }
    std::ifstream in(argv[2], std::ios::binary);
    std::vector<unsigned char> record((std::istreambuf_iterator<char>(in)),
                                      std::istreambuf_iterator<char>());

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
    char self[MAX_PATH] = "";
    GetModuleFileNameA(nullptr, self, MAX_PATH);
    char found[MAX_PATH] = "";
    HANDLE image = g_ImageHlpLibrary.FindExecutableImage(self, nullptr, found);
    const bool opened = image != nullptr && image != INVALID_HANDLE_VALUE;
    if (opened) CloseHandle(image);
    g_ImageHlpLibrary.Free();

    FILE* out = std::fopen(argv[3], "wb");
    if (out == nullptr) return 3;
    std::fprintf(out, "serial=%s\nverify=%08lX\nimage=%d\n", serial,
                 static_cast<unsigned long>(verify), opened ? 1 : 0);
    std::fclose(out);
    return 0;
}
