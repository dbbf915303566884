// The own-image check with wintrust.dll disabled (WINEDLLOVERRIDES=wintrust=d):
// a signed image whose signature verifies still fails the check.

#include "ImageVerifier.h"
#include "LibraryBindings.h"
#include "testpki_files.h"

TEST(MissingWintrust, SignedImageFails) {
    EXPECT_FALSE(UImageVerifier(krtest::TestPkiPath("image-signed.exe").c_str()).Verify());
    EXPECT_EQ(0, UImageHlpLibrary::ReferenceCount());
    EXPECT_EQ(0, UCrypt32Library::ReferenceCount());
}
