// The own-image check with wintrust.dll disabled (WINEDLLOVERRIDES=wintrust=d):
// a signed image whose signature verifies still fails the check.

#include "ImageVerifier.h"
#include "LibraryBindings.h"
#include "testpki_files.h"

TEST(MissingWintrust, SignedImageFails) {
    const std::string path = krtest::TestPkiPath("image-signed.exe");
    UImageFile image;
    ASSERT_TRUE(image.Open(std::wstring(path.begin(), path.end())));
    EXPECT_FALSE(UImageVerifier(image).Verify());
    EXPECT_EQ(0, UImageHlpLibrary::ReferenceCount());
    EXPECT_EQ(0, UCrypt32Library::ReferenceCount());
}
