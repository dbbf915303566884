// The bindings with CRYPT32 and IMAGEHLP disabled (WINEDLLOVERRIDES=...=d):
// every call fails cleanly with ERROR_DLL_NOT_FOUND and the counts balance.

#include <vector>

#include "Gui.h"
#include "ImageVerifier.h"
#include "LibraryBindings.h"
#include "SignedMessage.h"
#include "testpki_files.h"

TEST(MissingLibraries, CallsFailWithDllNotFoundAndTheCountsBalance) {
    const std::vector<unsigned char> record =
        testkit::ReadBytes(krtest::TestPkiPath("cert-md5.bin"));
    ASSERT_GT(record.size(), 8u);
    {
        USignedMessage message;
        EXPECT_EQ(1, UCrypt32Library::ReferenceCount());
        EXPECT_EQ(
            HRESULT_FROM_WIN32(ERROR_DLL_NOT_FOUND),
            message.Decode(record.data() + 8, static_cast<DWORD>(record.size() - 8), CMSG_SIGNED));
        EXPECT_LT(message.OpenSigner(), 0);
        EXPECT_LT(message.VerifySignature(), 0);
    }
    char text[128];
    EXPECT_FALSE(GetSignerSerialNumber(record.data(), record.size(), text, sizeof(text)));
    EXPECT_STREQ("Error", text);
    EXPECT_EQ(0, UCrypt32Library::ReferenceCount());
    // A failed load still counts until freed.
    EXPECT_FALSE(g_Crypt32Library.Load());
    EXPECT_FALSE(g_Crypt32Library.Load());
    EXPECT_EQ(2, UCrypt32Library::ReferenceCount());
    g_Crypt32Library.Free();
    EXPECT_TRUE(g_Crypt32Library.Free());
    EXPECT_EQ(0, UCrypt32Library::ReferenceCount());

    EXPECT_FALSE(g_ImageHlpLibrary.Load());
    SetLastError(0);
    char found[MAX_PATH];
    EXPECT_EQ(nullptr,
              g_ImageHlpLibrary.FindExecutableImage("C:\\windows\\notepad.exe", nullptr, found));
    EXPECT_EQ(static_cast<DWORD>(ERROR_DLL_NOT_FOUND), GetLastError());
    DWORD count = 0, indices[20];
    SetLastError(0);
    EXPECT_FALSE(g_ImageHlpLibrary.ImageEnumerateCertificates(nullptr, 0xFF, &count, indices, 20));
    EXPECT_EQ(static_cast<DWORD>(ERROR_DLL_NOT_FOUND), GetLastError());
    g_ImageHlpLibrary.Free();
    EXPECT_FALSE(UImageVerifier(krtest::TestPkiPath("image-signed.exe").c_str()).Verify());
    EXPECT_EQ(0, UImageHlpLibrary::ReferenceCount());
}
