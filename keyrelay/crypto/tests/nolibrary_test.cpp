// The bindings with CRYPT32 and IMAGEHLP disabled (WINEDLLOVERRIDES=...=d):
// decoding fails with ERROR_DLL_NOT_FOUND, the image check fails, and the
// counts balance.

#include <vector>

#include "Gui.h"
#include "ImageVerifier.h"
#include "LibraryBindings.h"
#include "SignedMessage.h"
#include "testpki_files.h"

TEST(MissingLibraries, CallsFailWithDllNotFoundAndTheCountsBalance) {
    const std::vector<unsigned char> record =
        testkit::ReadBytes(krtest::TestPkiPath("cert-md5.bin"));
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
    EXPECT_EQ(0, UCrypt32Library::ReferenceCount());  // a failed load counts until freed
    const std::string path = krtest::TestPkiPath("image-signed.exe");
    UImageFile image;
    EXPECT_TRUE(image.Open(std::wstring(path.begin(), path.end())));
    EXPECT_FALSE(UImageVerifier(image).Verify());
    EXPECT_EQ(0, UImageHlpLibrary::ReferenceCount());
}
